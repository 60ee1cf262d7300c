#include "app/application.h"

#include "browser/browser_features.h"
#include "platform/prompt.h"
#include "version.h"

#include <QLibraryInfo>
#include <QTranslator>

#include <cstdlib>
#include <exception>

namespace gradecast {

namespace {

[[noreturn]] void endWithFailure(const QString &what)
{
    Tell(nullptr, QStringLiteral("程式發生錯誤，必須結束：\n%1").arg(what), QMessageBox::Critical);
    std::_Exit(EXIT_FAILURE);
}

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    // The desktop matches a window to its menu entry by the Wayland app id
    // (the entry's name) or by the X11 class (the application name, which the
    // entry names as StartupWMClass).
    setApplicationName(QStringLiteral("Gradecast"));
    setDesktopFileName(QStringLiteral("io.github.gradecast.Gradecast"));
    setApplicationVersion(QString::fromLatin1(VersionText));
    EquipProgram(this);
    // Qt's own buttons and dialogs speak Traditional Chinese like the rest of
    // the program.
    auto *translator = new QTranslator(this);
    if (translator->load(QStringLiteral("qtbase_zh_TW"),
                         QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        installTranslator(translator);
}

bool Application::notify(QObject *receiver, QEvent *event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception &failure) {
        endWithFailure(QString::fromLocal8Bit(failure.what()));
    } catch (...) {
        endWithFailure(QStringLiteral("unknown failure"));
    }
}

} // namespace gradecast
