#include "app/app.h"
#include "app/programinfo.h"
#include "platform/atspiguard.h"
#include "platform/filesizesignal.h"
#include "platform/medialoader.h"
#include "platform/scalerestart.h"
#include "platform/services.h"
#include "platform/shutdownsignals.h"

#include <QApplication>
#include <QDir>
#include <QScopeGuard>
#include <QThread>

#include <cstdlib>
#include <memory>
#include <vector>

namespace {

plovista::App *g_running = nullptr;

// Qt ends the process with exit() when its X server goes away (the server
// ended with the session): the drill on screen is recorded all the same.
// Nothing here touches the window system, which is gone.
void recordOnExit()
{
    if (g_running && qApp && QThread::currentThread() == qApp->thread())
        g_running->recordDrillOnScreen(plovista::Ending::Forced);
}

} // namespace

// The program takes no options: it works in its current directory. The
// launcher names the class folder an administrator set, if any, in
// PLOVISTA_CLASS_FOLDER; it is the current directory, unless the launcher
// could not enter it, which the program then tells.
int main(int argc, char *argv[])
{
    plovista::ignoreFileSizeSignal();
    // Qt takes its own options out of argv.
    const std::vector<char *> arguments(argv, argv + argc + 1);
    auto application = std::make_unique<QApplication>(argc, argv);
    plovista::fitScaleToScreen(application, arguments, argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(plovista::ProgramTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(plovista::ProgramMajorVersion).arg(plovista::ProgramMinorVersion));
    // The desktop entry's name (packaging/CMakeLists.txt), by which a desktop
    // ties the windows to the entry and its icon.
    QApplication::setDesktopFileName(QStringLiteral(PLOVISTA_APP_ID));

    using namespace plovista;
    AtSpiGuard screenReaderGuard;
    // Speech, sound and printing outlive the windows that use them; they
    // load once the start screen is painted.
    MediaLoader media;
    const QString classFolder = qEnvironmentVariable("PLOVISTA_CLASS_FOLDER");
    App app(classFolder.isEmpty() ? QDir::currentPath() : classFolder, realServices(media));
    app.setClassFolder(!classFolder.isEmpty());
    // A second signal puts the display back without the interface thread,
    // should that thread be too busy to take the first.
    ShutdownSignals shutdown([&app] { app.endProgram(Ending::Forced); }, [&app] { app.restoreDisplayFromAnyThread(); });
    g_running = &app;
    std::atexit(recordOnExit);
    const QScopeGuard noLongerRunning([] { g_running = nullptr; });
    media.loadAfterFirstPaint();
    app.start();
    return QApplication::exec();
}
