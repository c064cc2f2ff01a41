#include "app/namecheck.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "speech/greeting.h"
#include "speech/namelexicon.h"
#include "speech/speech.h"
#include "support/corefakes.h"

#include <QTest>

using namespace plovista;
using namespace plovista::test;

class TestSpeechCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void switchedSpeech_data()
    {
        QTest::addColumn<bool>("peedy");
        QTest::addColumn<bool>("peedySwitch");
        QTest::addColumn<bool>("voice");
        QTest::addColumn<bool>("voiceSwitch");
        QTest::addColumn<bool>("peedySpeaks");
        QTest::addColumn<bool>("voiceSpeaks");
        QTest::newRow("both on") << true << true << true << true << true << true;
        QTest::newRow("peedy off") << false << true << true << true << false << true;
        QTest::newRow("peedy's switch off") << true << false << true << true << false << true;
        QTest::newRow("voice off") << true << true << false << true << true << false;
        QTest::newRow("voice's switch off") << true << true << true << false << true << false;
        QTest::newRow("all off") << false << false << false << false << false << false;
    }
    void switchedSpeech()
    {
        QFETCH(bool, peedy);
        QFETCH(bool, peedySwitch);
        QFETCH(bool, voice);
        QFETCH(bool, voiceSwitch);
        QFETCH(bool, peedySpeaks);
        QFETCH(bool, voiceSpeaks);
        // Each pair of switches governs its own kind of speech only.
        for (int kind = 0; kind < 3; ++kind) {
            Settings settings {QString()};
            settings.setForThisRun(keys::PeedyEnabled, peedy);
            settings.setForThisRun(keys::VoiceEnabled, voice);
            const Setting<bool> *pairs[3][2] = {{&keys::PeedyFeedback, &keys::VoiceFeedback},
                                                {&keys::PeedyComments, &keys::VoiceComments},
                                                {&keys::PeedyRewards, &keys::VoiceRewards}};
            for (int other = 0; other < 3; ++other) {
                settings.setForThisRun(*pairs[other][0], other == kind ? peedySwitch : !peedySwitch);
                settings.setForThisRun(*pairs[other][1], other == kind ? voiceSwitch : !voiceSwitch);
            }
            FakeCharacter character;
            FakeVoice voiceOut;
            Speech speech(settings, character, voiceOut);
            const QStringList anims = {QStringLiteral("LookLeft")};
            if (kind == 0)
                speech.SayFeedback(anims, QStringLiteral("Good"), QStringLiteral("Good job"));
            else if (kind == 1)
                speech.SayComment(anims, QStringLiteral("Good"), QStringLiteral("Good job"));
            else
                speech.SayReward(anims, QStringLiteral("Good"), QStringLiteral("Good job"));
            QCOMPARE(character.log, peedySpeaks ? QStringList({"play LookLeft", "speak Good"}) : QStringList());
            QCOMPARE(voiceOut.spoken, voiceSpeaks ? QStringList({"Good job"}) : QStringList());
        }
    }

    void voiceTextDefaultsToPeedysText()
    {
        Settings settings {QString()};
        settings.setForThisRun(keys::VoiceEnabled, true);
        settings.setForThisRun(keys::VoiceComments, true);
        FakeCharacter character;
        FakeVoice voice;
        Speech speech(settings, character, voice);
        speech.SayComment({}, QStringLiteral("Your name is too short."));
        QCOMPARE(voice.spoken, QStringList({"Your name is too short."}));
    }

    void perchUsesPerchTop()
    {
        Settings settings {QString()};
        settings.setForThisRun(keys::PerchStyle, QStringLiteral("XP"));
        FakeCharacter character;
        FakeVoice voice;
        Speech speech(settings, character, voice);
        speech.PerchPeedy();
        QCOMPARE(character.log, QStringList({"move 40,157"}));
    }

    // His drawing is loaded once, before his first appearance, and never for
    // a student who only hears the voice.
    void peedysDrawingLoadsWhenFirstNeeded()
    {
        Settings settings {QString()};
        settings.setForThisRun(keys::VoiceEnabled, true);
        settings.setForThisRun(keys::VoiceFeedback, true);
        FakeCharacter character;
        FakeVoice voice;
        Speech speech(settings, character, voice);
        speech.setCharacterFile(QStringLiteral("Peedy"), QStringLiteral("peedy.svg"));
        speech.HidePeedy();
        speech.StopPeedy();
        speech.SayFeedback({QStringLiteral("Pleased")}, QStringLiteral("Good"));
        QVERIFY(character.loads.isEmpty());
        settings.setForThisRun(keys::PeedyEnabled, true);
        speech.PerchPeedy();
        QCOMPARE(character.loads, QStringList({"Peedy peedy.svg"}));
        speech.ShowPeedy();
        speech.PeedyPlays(QStringLiteral("Greet"));
        QCOMPARE(character.loads, QStringList({"Peedy peedy.svg"}));
        QCOMPARE(character.log, QStringList({"hide", "stop", "move 40,0", "show", "play Greet"}));
    }

    void quietPeedyOnlyWhenHeIsEnabled()
    {
        Settings settings {QString()};
        settings.setForThisRun(keys::PerchStyle, QStringLiteral("Standard"));
        FakeCharacter character;
        FakeVoice voice;
        Speech speech(settings, character, voice);
        speech.QuietPeedy();
        QVERIFY(character.log.isEmpty());
        settings.setForThisRun(keys::PeedyEnabled, true);
        speech.QuietPeedy();
        QCOMPARE(character.log, QStringList({"stop", "move 40,150"}));
    }

    void greetingRows()
    {
        const QString base = defaultBaseGreeting(QString());
        QCOMPARE(base, QStringLiteral("Hello. I am ~so happy to work with you.,?"));
        for (int r : {4, 5, 6, 14})
            QCOMPARE(greetingRow(r, base, QStringLiteral("Ann")), base);
        QCOMPARE(greetingRow(1, base, QStringLiteral("Ann")), QStringLiteral("It's ~you! I am ~so happy!,Ann?"));
        QCOMPARE(greetingRow(2, base, QString()), greetingRow(10, base, QString()));
        QCOMPARE(greetingRow(15, base, QString()), QStringLiteral("I am here to ~work with you. Let's get started!,?"));
        QCOMPARE(greetingRowFor(0.0), 1);
        QCOMPARE(greetingRowFor(0.9999), 15);
        QCOMPARE(greetingRowFor(0.2), 4);
    }

    void greetingChoice()
    {
        GreetingSettings mixedIn {
            QStringLiteral("IntegrateYes"), QStringLiteral("Aloha!"), QStringLiteral("Aloha!"), {}};
        QCOMPARE(startupGreeting(mixedIn, 4), QStringLiteral("Aloha!"));
        QCOMPARE(startupGreeting(mixedIn, 1), QStringLiteral("It's ~you! I am ~so happy!,?"));
        GreetingSettings custom {QStringLiteral("IntegrateNo"), QStringLiteral("Aloha!"), defaultBaseGreeting({}), {}};
        for (int r = 1; r <= 15; ++r)
            QCOMPARE(startupGreeting(custom, r), QStringLiteral("Aloha!"));
        GreetingSettings none {QStringLiteral("IntegrateNo"), QString(), defaultBaseGreeting({}), {}};
        QCOMPARE(startupGreeting(none, 9), QStringLiteral("Hi! How are ~you?,?"));
    }

    // Names the spelling-to-sound rules get wrong are said as the lexicon
    // spells them, as whole words in any case; each can be typed as a name.
    void namesAreSaidAsTheLexiconSpellsThem()
    {
        QVERIFY(nameLexicon().size() >= 50);
        for (const NameSaying &saying : nameLexicon()) {
            const QString typed = QString::fromLatin1(saying.name) + QStringLiteral(" Smith");
            QVERIFY2(!checkName(typed), saying.name);
            QCOMPARE(firstNameOf(typed), QString::fromLatin1(saying.name));
            QCOMPARE(respellNames(QString::fromLatin1(saying.name)), QString::fromLatin1(saying.sayAs));
        }
        QCOMPARE(respellNames(QStringLiteral("Hello. I am ~so happy to work with you.,Siobhan?")),
                 QStringLiteral("Hello. I am ~so happy to work with you.,Shivawn?"));
        QCOMPARE(respellNames(QStringLiteral("Hi! How are ~you?,NGUYEN?")), QStringLiteral("Hi! How are ~you?,Win?"));
        QCOMPARE(respellNames(QStringLiteral("Xinyi and Ann, 8times5")), QStringLiteral("Xinyi and Ann, 8times5"));
    }
};

QTEST_GUILESS_MAIN(TestSpeechCore)
#include "test_speechcore.moc"
