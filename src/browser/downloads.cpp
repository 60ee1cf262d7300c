#include "browser/downloads.h"

#include "app/prompt.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QPointer>
#include <QProgressDialog>
#include <QStandardPaths>
#include <QTimer>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>
#include <QWebEngineView>

#include <filesystem>

namespace gradecast {

namespace {

// A download that is over in this time shows no progress window.
constexpr int ProgressDelayMs = 800;

SaveFileChooser &chooser()
{
    static SaveFileChooser current;
    return current;
}

QString chooseSavePath(QWidget *parent, const QString &suggestedPath)
{
    if (chooser())
        return chooser()(parent, suggestedPath);
    return QFileDialog::getSaveFileName(parent, QStringLiteral("另存新檔"), suggestedPath);
}

// A name beside target that no file has: the download is written there and
// gets its own name only when it is complete.
QString partialName(const QFileInfo &target)
{
    const QDir folder = target.absoluteDir();
    QString name = target.fileName() + QStringLiteral(".part");
    for (int i = 1; folder.exists(name); ++i)
        name = target.fileName() + QStringLiteral(".%1.part").arg(i);
    return name;
}

// Follows one accepted download to its end.
class Download : public QObject
{
public:
    Download(QWebEngineDownloadRequest *request, QWidget *window, const QString &target)
        : QObject(request)
        , m_request(request)
        , m_window(window)
        , m_target(target)
    {
        const QFileInfo info(target);
        m_partial = info.absoluteDir().filePath(partialName(info));
        request->setDownloadDirectory(info.absolutePath());
        request->setDownloadFileName(QFileInfo(m_partial).fileName());
        connect(request, &QWebEngineDownloadRequest::stateChanged, this, &Download::stateChanged);
        connect(request, &QWebEngineDownloadRequest::receivedBytesChanged, this,
                &Download::showProgress);
        QTimer::singleShot(ProgressDelayMs, this, &Download::openProgress);
        request->accept();
    }

private:
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
        connect(m_progress, &QProgressDialog::canceled, m_request,
                &QWebEngineDownloadRequest::cancel);
        showProgress();
        m_progress->show();
    }

    void showProgress()
    {
        if (!m_progress)
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
            tell(QStringLiteral("「%1」無法存到 %2：%3")
                     .arg(name(), QFileInfo(m_target).absolutePath(),
                          QString::fromLocal8Bit(failure.message())));
            return;
        }
        const QString why = state == QWebEngineDownloadRequest::DownloadCancelled
            ? QStringLiteral("已取消下載「%1」，沒有存檔。").arg(name())
            : QStringLiteral("「%1」沒有下載完成，沒有存檔：%2")
                  .arg(name(), m_request->interruptReasonString());
        // The engine keeps what an interrupted download has written, to
        // resume it; cancelling drops it.
        if (state == QWebEngineDownloadRequest::DownloadInterrupted)
            m_request->cancel();
        QFile::remove(m_partial);
        tell(why);
    }

    void tell(const QString &text)
    {
        // Not from inside the engine's report: the box waits for the teacher.
        QTimer::singleShot(0, qApp, [window = m_window, text] {
            Tell(window.data(), text, QMessageBox::Warning);
        });
    }

    QWebEngineDownloadRequest *m_request;
    QPointer<QWidget> m_window;
    QString m_target;
    QString m_partial;
    QPointer<QProgressDialog> m_progress;
    bool m_over = false;
};

void downloadRequested(QWebEngineDownloadRequest *request)
{
    QWebEngineView *view = request->page() ? QWebEngineView::forPage(request->page()) : nullptr;
    QWidget *window = view ? view->window() : nullptr;
    const QString folder = QStandardPaths::writableLocation(QStandardPaths::DownloadLocation);
    QDir().mkpath(folder);
    const QString target =
        chooseSavePath(window, QDir(folder).filePath(request->suggestedFileName()));
    if (target.isEmpty()) {
        request->cancel();
        return;
    }
    new Download(request, window, target);
}

} // namespace

SaveFileChooser SetSaveFileChooser(SaveFileChooser replacement)
{
    return std::exchange(chooser(), std::move(replacement));
}

void WatchDownloads()
{
    QObject::connect(QWebEngineProfile::defaultProfile(),
                     &QWebEngineProfile::downloadRequested, &downloadRequested);
}

} // namespace gradecast
