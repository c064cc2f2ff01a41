#include "app/app.h"
#include "platform/desktopshell.h"
#include "platform/espeakvoice.h"
#include "platform/hostsysteminfo.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtprinting.h"
#include "platform/parrotcharacter.h"
#include "platform/qtsound.h"
#include "platform/shutdownsignals.h"
#include "platform/speechengine.h"
#include "platform/systemclock.h"
#include "platform/systemrandom.h"
#include "platform/x11display.h"

#include <QApplication>
#include <QDir>

// The program takes no options and no environment variables of its own: it
// works in its current directory.
int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Plovista"));
    QApplication::setApplicationVersion(QStringLiteral("7.1"));
    QApplication::setDesktopFileName(QStringLiteral("plovista"));

    using namespace plovista;
    // The engine starts on its own thread and outlives both speakers.
    SpeechEngine speechEngine;
    Services services;
    services.boxes = std::make_unique<QtMessageBoxes>();
    services.character = std::make_unique<ParrotCharacter>(speechEngine);
    services.voice = std::make_unique<EspeakVoice>(speechEngine);
    services.sound = std::make_unique<QtSound>();
    services.printing = std::make_unique<QtPrinting>();
    services.display = std::make_unique<X11Display>();
    services.systemInfo = std::make_unique<HostSystemInfo>();
    services.clock = std::make_unique<SystemClock>();
    services.random = std::make_unique<SystemRandom>();
    services.shell = std::make_unique<DesktopShell>();

    App app(QDir::currentPath(), std::move(services));
    ShutdownSignals shutdown([&app] { app.endProgram(); });
    app.start();
    return QApplication::exec();
}
