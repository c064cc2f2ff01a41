// Start-up probe: the real program's start screen over its real services, in
// the current folder as the program itself works. Prints the milliseconds from process start until the
// screen is shown with the name box taking keys, and the resident memory then; and once more when the
// voice, loaded after the first paint as the program loads it, has made its first sentence ("voiced").

#include "app/app.h"
#include "platform/medialoader.h"
#include "platform/services.h"
#include "startuptiming.h"

#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QTimer>
#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    using namespace plovista;
    MediaLoader media;
    App app(QDir::currentPath(), realServices(media));
    media.loadAfterFirstPaint();
    app.start();
    // Once the event loop has painted the screen, a typed key must land in the name box.
    QTimer::singleShot(0, [] {
        QWidget *company = nullptr;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top->objectName() == QLatin1String("Company"))
                company = top;
        auto *box = company ? qobject_cast<QLineEdit *>(company->focusWidget()) : nullptr;
        const bool ready =
            box && box->objectName() == QLatin1String("Text1") && box->isEnabled() && company->isEnabled();
        // What took the keys instead: another window in sight.
        QStringList others;
        for (QWidget *top : QApplication::topLevelWidgets())
            if (top != company && top->isVisible())
                others << top->objectName();
        std::printf("plovista %.1f ms %ld kB%s\n", bench::millisecondsSinceProcessStart(), bench::residentKilobytes(),
                    ready ? ""
                          : qPrintable(QStringLiteral(" (name box not focused%1)")
                                           .arg(others.isEmpty() ? QString()
                                                                 : QStringLiteral("; open: ") + others.join(u", "))));
        std::fflush(stdout);
    });
    // The program's own voice makes a first sentence once its speech has
    // loaded after the first paint; without a sound server it is dropped once made.
    app.voice().speak(QStringLiteral("Hello."));
    app.voice().whenQuiet([&media] {
        if (!media.loaded() || !media.failure().isEmpty()) {
            std::printf("voiced FAILED: speech did not load (%s)\n", qPrintable(media.failure()));
            QApplication::exit(1);
            return;
        }
        std::printf("voiced %.1f ms %ld kB\n", bench::millisecondsSinceProcessStart(), bench::residentKilobytes());
        QApplication::exit(0);
    });
    return QApplication::exec();
}
