#include "app/appstate.h"
#include "settings/settingsstore.h"
#include "speech/speechsettings.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

using namespace plovista;

namespace {

QStringList asLines(const std::vector<SettingWrite> &writes)
{
    QStringList lines;
    for (const SettingWrite &w : writes)
        lines << w.name + QLatin1Char('=') + w.value;
    return lines;
}

} // namespace

class TestSpeechChoice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void onlyTheChosenChannelsSwitchesAreWritten()
    {
        SpeechBoxes boxes;
        boxes.teacher = false;
        boxes.peedyFeedback = true;
        boxes.peedyRewards = true;
        boxes.voiceComments = true;

        boxes.peedy = boxes.voice = true; // Peedy wins a tie
        QCOMPARE(asLines(speechChoiceWrites(boxes)),
                 QStringList({"PShow=True", "TTS=False", "PShowT=False", "PFback=True", "PCom=False", "PRew=True"}));
        boxes.peedy = false;
        QCOMPARE(asLines(speechChoiceWrites(boxes)),
                 QStringList({"TTS=True", "PShow=False", "VFback=False", "VCom=True", "VRew=False"}));
        boxes.voice = false;
        QCOMPARE(asLines(speechChoiceWrites(boxes)), QStringList({"TTS=False", "PShow=False"}));

        // The running switches follow, and the other channel's keep their values.
        AppState state;
        state.PeedyEnabled = state.PeedyTeacher = state.PeedyComments = true;
        boxes.voice = true;
        applySpeechChoice(state, boxes);
        QVERIFY(!state.PeedyEnabled);
        QVERIFY(state.VoiceEnabled);
        QVERIFY(state.VoiceComments);
        QVERIFY(state.PeedyTeacher);
        QVERIFY(state.PeedyComments);
    }

    void greetingFilesAndChecks()
    {
        GreetingBoxes boxes;
        boxes.greeting = QStringLiteral("Good morning,\r\nclass!\nReady?");
        boxes.name = QStringLiteral("Ann");
        boxes.integrate = true;
        QCOMPARE(
            asLines(greetingWrites(boxes)),
            QStringList({"MGreet=IntegrateYes", "PName=Ann", "PGreet=Good morning, class! Ready?", "NoGreet=False"}));
        boxes.allowUserName = true;
        boxes.noGreeting = true;
        boxes.integrate = false;
        QCOMPARE(asLines(greetingWrites(boxes)),
                 QStringList({"MGreet=IntegrateNo", "PName=AllowUserName", "PGreet=Good morning, class! Ready?",
                              "NoGreet=True"}));

        AppState state;
        state.FirstName = QStringLiteral("Bob");
        applyGreetingChoice(state, boxes);
        QCOMPARE(state.SpokenName, QStringLiteral("Bob"));
        QVERIFY(state.GreetingOff);

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

    void aFailedFileIsNamedAndTheOthersAreStillWritten()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.ensureFolders();
        QDir().mkpath(store.pathOf(QStringLiteral("PCom"))); // a folder where the file belongs
        const QStringList failures = writeSettings(store,
                                                   {{QStringLiteral("PFback"), QStringLiteral("True")},
                                                    {QStringLiteral("PCom"), QStringLiteral("False")},
                                                    {QStringLiteral("PRew"), QStringLiteral("False")}});
        QCOMPARE(failures.size(), 1);
        QVERIFY(failures.first().startsWith(QStringLiteral("PCom: ")));
        QCOMPARE(store.read(QStringLiteral("PRew")), std::optional<QString>(QStringLiteral("False")));

        const SavedNotice failed = savedNotice(failures, QStringLiteral("Saved."), QStringLiteral("Saved"));
        QVERIFY(failed.failed);
        QVERIFY(failed.text.contains(failures.first()));
        QVERIFY(failed.title != QStringLiteral("Saved"));
        QCOMPARE(savedNotice({}, QStringLiteral("Saved."), QStringLiteral("Saved")).text, QStringLiteral("Saved."));
    }
};

QTEST_GUILESS_MAIN(TestSpeechChoice)
#include "test_speechchoice.moc"
