// Start-up probe: the real program's start screen over its real services, in
// the current folder as the program itself works. Prints the milliseconds from process start until the
// screen is shown with the name box taking keys, and the resident memory then.

#include "app/app.h"
#include "platform/desktopshell.h"
#include "platform/hostsysteminfo.h"
#include "platform/qtmessageboxes.h"
#include "platform/qtprinting.h"
#include "platform/qtsound.h"
#include "platform/silentspeech.h"
#include "platform/systemclock.h"
#include "platform/systemrandom.h"
#include "platform/x11display.h"
#include "startuptiming.h"

#include <QApplication>
#include <QLineEdit>
#include <QDir>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    using namespace plovista;
    Services services;
    services.boxes = std::make_unique<QtMessageBoxes>();
    services.character = std::make_unique<SilentCharacter>();
    services.voice = std::make_unique<SilentVoice>();
    services.sound = std::make_unique<QtSound>();
    services.printing = std::make_unique<QtPrinting>();
    services.display = std::make_unique<X11Display>();
    services.systemInfo = std::make_unique<HostSystemInfo>();
    services.clock = std::make_unique<SystemClock>();
    services.random = std::make_unique<SystemRandom>();
    services.shell = std::make_unique<DesktopShell>();
    App app(QDir::currentPath(), std::move(services));
    app.start();
    // Once the event loop has painted the screen, a typed key must land in the name box.
    QTimer::singleShot(0, [] {
        QWidget *company = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("Company"))
                company = top;
        auto *box = company ? qobject_cast<QLineEdit *>(company->focusWidget()) : nullptr;
        const bool ready = box && box->objectName() == QLatin1String("Text1") && box->isEnabled();
        std::printf("plovista %.1f ms %ld kB%s\n", bench::millisecondsSinceProcessStart(), bench::residentKilobytes(),
                    ready ? "" : " (name box not focused)");
        QApplication::exit(0);
    });
    return QApplication::exec();
}
