#include "browser/downloads.h"

#include "browser/certificates.h"
#include "browser/server_text.h"
#include "platform/dialog_hook.h"
#include "platform/prompt.h"
#include "platform/web_browser.h"
#include "settings/file_name.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QHash>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineCertificateError>
#include <QWebEngineDownloadRequest>
#include <QWebEngineLoadingInfo>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineView>

#include <filesystem>

namespace gradecast {

namespace {

// A download that is over in this time shows no progress window.
constexpr int ProgressDelayMs = 800;
// The engine's code for a load it stopped itself, as when a load turns into a download.
constexpr int LoadAborted = -3;
// The engine's reason for a transfer that ended before the length the server
// announced, which it reports under no name of its own.
constexpr int TransferCutOff = 38;
// The engine writes to the name it is given with this added, and renames the
// file when it is complete.
constexpr std::size_t EngineSuffixBytes = sizeof(".download") - 1;
// The page's own encoding, as the page last named it.
constexpr const char *PageEncoding = "gradecastPageEncoding";

QString chooseSavePath(QWidget *parent, const QString &suggestedPath)
{
    const WindowDialog open(parent);
    const QString chosen = DialogHook<SaveFileChooser>()
        ? DialogHook<SaveFileChooser>()(parent, suggestedPath)
        : QFileDialog::getSaveFileName(parent, QStringLiteral("另存新檔"), suggestedPath);
    return open.windowClosing() ? QString() : chosen;
}

void noteEncoding(QWebEnginePage *page)
{
    page->runJavaScript(QStringLiteral("document.characterSet"),
                        QWebEngineScript::ApplicationWorld,
                        [page = QPointer(page)](const QVariant &encoding) {
                            if (page)
                                page->setProperty(PageEncoding, encoding);
                        });
}

QByteArray pageEncoding(const QWebEnginePage *page)
{
    return page ? page->property(PageEncoding).toString().toLatin1() : QByteArray();
}

// The name the server gave the file, made safe to offer in a folder; page, if
// any, the page the download came from.
QString offeredName(const QWebEngineDownloadRequest *request, QWebEnginePage *page)
{
    const QString given = ServerText(request->suggestedFileName(), pageEncoding(page));
    return QString::fromStdU16String(SafeFileName(given.toStdU16String(),
                                                  request->url().fileName().toStdU16String(),
                                                  FileNameLimit));
}

// A name beside target that no file has: the download is written there and
// gets its own name only when it is complete. It fits the file system with the
// engine's own suffix, however long the target's name.
QString partialName(const QFileInfo &target)
{
    const QDir folder = target.absoluteDir();
    const auto withSuffix = [&](const QString &suffix) {
        const std::size_t room = FileNameLimit - EngineSuffixBytes - suffix.toUtf8().size();
        return QString::fromStdU16String(FitFileName(target.fileName().toStdU16String(), room))
            + suffix;
    };
    QString name = withSuffix(QStringLiteral(".part"));
    for (int i = 1; folder.exists(name); ++i)
        name = withSuffix(QStringLiteral(".%1.part").arg(i));
    return name;
}

// Why a download stopped, in the teacher's words.
QString stopReason(int reason)
{
    using Request = QWebEngineDownloadRequest;
    switch (reason) {
    case Request::FileAccessDenied:
        return QStringLiteral("沒有寫入這個資料夾的權限");
    case Request::FileNoSpace:
        return QStringLiteral("磁碟空間不足");
    case Request::FileNameTooLong:
        return QStringLiteral("檔名太長");
    case Request::FileTooLarge:
        return QStringLiteral("檔案太大");
    case TransferCutOff:
        return QStringLiteral("網路連線中斷");
    }
    if (reason >= Request::FileFailed && reason < Request::NetworkFailed)
        return QStringLiteral("無法寫入檔案");
    if (reason >= Request::NetworkFailed && reason < Request::ServerFailed)
        return QStringLiteral("網路連線中斷");
    if (reason >= Request::ServerFailed && reason < Request::UserCanceled)
        return QStringLiteral("伺服器無法提供這個檔案");
    return QStringLiteral("下載中斷");
}

void tellLater(QPointer<QWidget> window, const QString &text)
{
    // Not from inside the engine's report: the box waits for the teacher.
    QTimer::singleShot(0, qApp,
                       [window, text] { Tell(window.data(), text, QMessageBox::Warning); });
}

// Second tries waiting for their download: the page, the window, the file,
// and whether the teacher kept the name offered, which was only a guess.
struct Retry {
    QPointer<QWidget> window;
    QString target;
    bool nameOffered = false;
};

void retryAsPageLoad(const QUrl &url, const Retry &retry, const QString &failure);

// Follows one download to its end, where the teacher chose to save it. The
// engine retries a broken transfer by itself and asks for each try again: the
// tries of one download all land here.
class Download : public QObject
{
public:
    // carrier: the page of a second try, which goes with the download.
    Download(QWidget *window, const QString &target, bool nameOffered, QWebEnginePage *carrier)
        : QObject(qApp)
        , m_window(window)
        , m_target(target)
        , m_partial(QFileInfo(target).absoluteDir().filePath(partialName(QFileInfo(target))))
        , m_carrier(carrier)
        , m_nameOffered(nameOffered)
    {
        QTimer::singleShot(ProgressDelayMs, this, &Download::openProgress);
    }

    static Download *of(const QWebEngineDownloadRequest *request)
    {
        return followed().value(request->id());
    }

    void follow(QWebEngineDownloadRequest *request)
    {
        if (m_request)
            m_request->disconnect(this);
        m_request = request;
        followed().insert(request->id(), this);
        request->setDownloadDirectory(QFileInfo(m_partial).absolutePath());
        request->setDownloadFileName(QFileInfo(m_partial).fileName());
        connect(request, &QWebEngineDownloadRequest::stateChanged, this, &Download::stateChanged);
        connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
                &Download::showProgress);
        request->accept();
    }

    static bool anyRunning() { return !followed().isEmpty(); }

    // The teacher ends the program: the engine removes what it wrote, and
    // no box tells of it.
    static void cancelAll()
    {
        for (Download *download : followed()) {
            if (download && download->m_request) {
                download->m_quiet = true;
                download->m_request->cancel();
            }
        }
    }

private:
    static QHash<quint32, QPointer<Download>> &followed()
    {
        static QHash<quint32, QPointer<Download>> downloads;
        return downloads;
    }

    QString name() const { return QFileInfo(m_target).fileName(); }

    void openProgress()
    {
        if (m_over)
            return;
        m_progress = new QProgressDialog(QStringLiteral("正在下載「%1」…").arg(name()),
                                         QStringLiteral("取消"), 0, 100, m_window);
        m_progress->setWindowModality(Qt::NonModal);
        m_progress->setAutoClose(false);
        m_progress->setAutoReset(false);
        m_progress->setMinimumDuration(0);
        m_progress->setWindowTitle(QStringLiteral("下載"));
        connect(m_progress, &QProgressDialog::canceled, this, [this] {
            if (m_request)
                m_request->cancel();
        });
        showProgress();
        m_progress->show();
    }

    void showProgress()
    {
        if (!m_progress || !m_request)
            return;
        const qint64 total = m_request->totalBytes();
        if (total <= 0) {
            m_progress->setRange(0, 0);
            return;
        }
        m_progress->setValue(int(m_request->receivedBytes() * 100 / total));
    }

    void stateChanged(QWebEngineDownloadRequest::DownloadState state)
    {
        if (m_over || state == QWebEngineDownloadRequest::DownloadInProgress
            || state == QWebEngineDownloadRequest::DownloadRequested)
            return;
        m_over = true;
        followed().remove(m_request->id());
        deleteLater();
        if (m_carrier)
            m_carrier->deleteLater();
        // Closing the progress window would report a cancel; this may run
        // inside its own cancel.
        if (m_progress) {
            m_progress->hide();
            m_progress->deleteLater();
        }
        if (state == QWebEngineDownloadRequest::DownloadCompleted) {
            // One step that replaces a file of that name (the save dialog has
            // asked) and leaves it whole if it fails.
            std::error_code failure;
            std::filesystem::rename(QFile::encodeName(m_partial).toStdString(),
                                    QFile::encodeName(m_target).toStdString(), failure);
            if (!failure)
                return;
            QFile::remove(m_partial);
            tellLater(m_window, QStringLiteral("「%1」無法存到 %2：%3")
                                    .arg(name(), QFileInfo(m_target).absolutePath(),
                                         QString::fromLocal8Bit(failure.message())));
            return;
        }
        const QString why = state == QWebEngineDownloadRequest::DownloadCancelled
            ? QStringLiteral("已取消下載「%1」，沒有存檔。").arg(name())
            : QStringLiteral("「%1」沒有下載完成，沒有存檔：%2。")
                  .arg(name(), stopReason(m_request->interruptReason()));
        const bool neverReachedTheServer =
            state == QWebEngineDownloadRequest::DownloadInterrupted
            && m_request->interruptReason() == QWebEngineDownloadRequest::NetworkFailed
            && m_request->receivedBytes() == 0;
        // The engine keeps what an interrupted download has written, to
        // resume it; cancelling drops it.
        if (state == QWebEngineDownloadRequest::DownloadInterrupted)
            m_request->cancel();
        QFile::remove(m_partial);
        if (m_quiet)
            return;
        // A link with a download attribute on a site whose certificate the
        // teacher accepted fails before it reaches the server: the engine
        // lets the certificate through for page loads only. A page load of
        // the same address brings the file.
        if (neverReachedTheServer && !m_carrier)
            retryAsPageLoad(m_request->url(), {m_window, m_target, m_nameOffered}, why);
        else
            tellLater(m_window, why);
    }

    QPointer<QWebEngineDownloadRequest> m_request;
    QPointer<QWidget> m_window;
    QString m_target;
    QString m_partial;
    QPointer<QWebEnginePage> m_carrier;
    QPointer<QProgressDialog> m_progress;
    bool m_nameOffered;
    bool m_over = false;
    bool m_quiet = false;
};

QHash<QWebEnginePage *, Retry> &retries()
{
    static QHash<QWebEnginePage *, Retry> waiting;
    return waiting;
}

void retryAsPageLoad(const QUrl &url, const Retry &retry, const QString &failure)
{
    auto *page = new QWebEnginePage(QWebEngineProfile::defaultProfile(), qApp);
    retries().insert(page, retry);
    QObject::connect(page, &QWebEnginePage::certificateError, page, &AcceptKnownCertificate);
    // A load that turns into a download stops with the engine's own abort;
    // any other end means no file is coming.
    QObject::connect(page, &QWebEnginePage::loadingChanged, page,
                     [page, failure](const QWebEngineLoadingInfo &loading) {
                         const bool ended =
                             loading.status() == QWebEngineLoadingInfo::LoadSucceededStatus
                             || (loading.status() == QWebEngineLoadingInfo::LoadFailedStatus
                                 && loading.errorCode() != LoadAborted);
                         if (!ended || !retries().contains(page))
                             return;
                         tellLater(retries().take(page).window, failure);
                         page->deleteLater();
                     });
    page->load(url);
}

void downloadRequested(QWebEngineDownloadRequest *request)
{
    if (Download *download = Download::of(request)) {
        download->follow(request);
        return;
    }
    QWebEnginePage *page = request->page();
    if (page && retries().contains(page)) {
        const Retry retry = retries().take(page);
        // The first try offered the address's name; now the server has
        // named the file. A file of that name is not replaced unasked.
        const QFileInfo named(QFileInfo(retry.target).dir(), offeredName(request, nullptr));
        const QString target =
            retry.nameOffered && !named.exists() ? named.absoluteFilePath() : retry.target;
        (new Download(retry.window, target, false, page))->follow(request);
        return;
    }
    QWebEngineView *view = page ? QWebEngineView::forPage(page) : nullptr;
    // The dialog runs events: the window may go meanwhile.
    const QPointer<QWidget> window = view ? view->window() : nullptr;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    const QString offered = offeredName(request, page);
    const QString target = chooseSavePath(window, QDir(folder).filePath(offered));
    if (target.isEmpty()) {
        request->cancel();
        return;
    }
    const bool nameOffered = QFileInfo(target).fileName() == offered;
    (new Download(window, target, nameOffered, nullptr))->follow(request);
}

} // namespace

SaveFileChooser SetSaveFileChooser(SaveFileChooser replacement)
{
    return SetDialogHook(std::move(replacement));
}

bool DownloadRunning()
{
    return Download::anyRunning();
}

void CancelDownloads()
{
    Download::cancelAll();
}

bool DownloadsMayBeCutOff(QWidget *window)
{
    return !DownloadRunning()
        || AskYesNo(window, QStringLiteral("下載尚未完成，仍要結束嗎?"), QMessageBox::Warning,
                    QMessageBox::No);
}

void WatchDownloads()
{
    QObject::connect(QWebEngineProfile::defaultProfile(), &QWebEngineProfile::downloadRequested,
                     &downloadRequested);
}

void NoteDownloadEncoding(WebBrowser *browser)
{
    QWebEnginePage *page = browser->page();
    QObject::connect(page, &QWebEnginePage::loadFinished, page, [page] { noteEncoding(page); });
}

} // namespace gradecast
