// Start-up probe: the real program's start screen over its real services, in
// the current folder as the program itself works. Prints the milliseconds from process start until the
// screen is shown with the name box taking keys, and the resident memory then; and once more when the
// speech engine, started after that as the program starts it, has made its first sentence ("voiced",
// with the synthesiser it chose).

#include "app/app.h"
#include "platform/services.h"
#include "platform/speechengine.h"
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
    SpeechEngine speechEngine;
    App app(QDir::currentPath(), realServices(&speechEngine));
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
    QTimer::singleShot(0, &speechEngine, &SpeechEngine::begin);
    const int channel = speechEngine.openChannel();
    QObject::connect(&speechEngine, &SpeechEngine::ready, &speechEngine, [&](SpeechEngine::Synthesizer chosen) {
        QObject::connect(&speechEngine, &SpeechEngine::synthesized, &speechEngine, [chosen] {
            std::printf("voiced %.1f ms %ld kB (%s)\n", bench::millisecondsSinceProcessStart(),
                        bench::residentKilobytes(),
                        chosen == SpeechEngine::Synthesizer::Natural ? "natural voice" : "espeak-ng");
            QApplication::exit(0);
        });
        QObject::connect(&speechEngine, &SpeechEngine::failed, &speechEngine, [] {
            std::printf("voiced FAILED: the first sentence was not made\n");
            QApplication::exit(1);
        });
        speechEngine.synthesize(channel, SpeechVoice {}, QStringLiteral("Hello."));
    });
    return QApplication::exec();
}
