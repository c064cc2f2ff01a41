#include "settings/settingkeys.h"
#include "speech/speechsettings.h"

#include <QTemporaryDir>
#include <QTest>

using namespace plovista;

namespace {

QStringList asLines(const std::vector<SettingWrite> &writes)
{
    QStringList lines;
    for (const SettingWrite &w : writes)
        lines << w.name() + QLatin1Char('=') + w.line();
    return lines;
}

} // namespace

class TestSpeechChoice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void peedyWinsATieAndTheOtherChannelKeepsItsSwitches()
    {
        // Both "Enabled" boxes stay checked together only when Peedy's files
        // are missing or the files were edited by hand.
        SpeechBoxes boxes;
        boxes.peedy = boxes.voice = true;
        boxes.peedyRewards = true;
        QCOMPARE(asLines(speechChoiceWrites(boxes)),
                 QStringList({"PShow=True", "TTS=False", "PShowT=False", "PFback=False", "PCom=False", "PRew=True"}));

        QTemporaryDir dir;
        Settings settings(dir.path());
        settings.setForThisRun(keys::VoiceEnabled, true);
        settings.setForThisRun(keys::VoiceComments, true);
        settings.writeAll(speechChoiceWrites(boxes));
        QVERIFY(settings.value(keys::PeedyEnabled) && !settings.value(keys::VoiceEnabled));
        QVERIFY(settings.value(keys::PeedyRewards));
        QVERIFY(settings.value(keys::VoiceComments));
    }

    void theGreetingIsOneLineAndChecked()
    {
        GreetingBoxes boxes;
        boxes.greeting = QStringLiteral("Good morning,\r\nclass!\nReady?");
        boxes.name = QStringLiteral("Ann");
        boxes.integrate = true;
        QCOMPARE(
            asLines(greetingWrites(boxes)),
            QStringList({"MGreet=IntegrateYes", "PName=Ann", "PGreet=Good morning, class! Ready?", "NoGreet=False"}));
        // Only a greeting to be mixed in is checked.
        GreetingBoxes check;
        QCOMPARE(checkGreeting(check), GreetingCheck::Fine);
        check.integrate = true;
        QCOMPARE(checkGreeting(check), GreetingCheck::Empty);
        check.greeting = QStringLiteral("123456789");
        QCOMPARE(checkGreeting(check), GreetingCheck::Short);
        check.greeting += QLatin1Char('0');
        QCOMPARE(checkGreeting(check), GreetingCheck::Fine);
    }
};

QTEST_GUILESS_MAIN(TestSpeechChoice)
#include "test_speechchoice.moc"
