#include "app/app.h"
#include "app/programinfo.h"
#include "platform/atspiguard.h"
#include "platform/filesizesignal.h"
#include "platform/services.h"
#include "platform/shutdownsignals.h"
#include "platform/speechengine.h"

#include <QApplication>
#include <QDir>
#include <QTimer>

// The program takes no options and no environment variables of its own: it
// works in its current directory.
int main(int argc, char *argv[])
{
    plovista::ignoreFileSizeSignal();
    QApplication application(argc, argv);
    QApplication::setApplicationName(QString::fromLatin1(plovista::ProgramTitle));
    QApplication::setApplicationVersion(
        QStringLiteral("%1.%2").arg(plovista::ProgramMajorVersion).arg(plovista::ProgramMinorVersion));
    QApplication::setDesktopFileName(QStringLiteral("plovista"));

    using namespace plovista;
    AtSpiGuard screenReaderGuard;
    // The engine starts on its own thread and outlives both speakers.
    SpeechEngine speechEngine;
    App app(QDir::currentPath(), realServices(&speechEngine));
    ShutdownSignals shutdown([&app] { app.endProgram(); });
    app.start();
    // The voice loads once the first screen is up (queued behind the start
    // screen's own finishing touches).
    QTimer::singleShot(0, &speechEngine, &SpeechEngine::begin);
    return QApplication::exec();
}
