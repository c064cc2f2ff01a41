#include "settings/settingkeys.h"
#include "speech/controlpeedy.h"
#include "speech/getgreeting.h"
#include "support/harness.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace plovista;
using namespace plovista::test;

namespace {

const QString Control = QStringLiteral("ControlPeedy");
const QString Greeting = QStringLiteral("GetGreeting");
const OsVersion WindowsXp {true, 5, 1, 2600};

QCheckBox *box(Harness &h, const QString &name, const QString &window = Control)
{
    return h.findIn<QCheckBox>(window, name);
}

void click(QWidget *widget)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(6, widget->height() / 2));
}

void open(Harness &h)
{
    h.app().controlPeedy().openFromUtilityMenu();
}

void accept(Harness &h, const QString &window = Control)
{
    h.findIn<QPushButton>(window, QStringLiteral("AcceptButt"))->click();
}

QMap<QString, QByteArray> files(const Harness &h)
{
    QMap<QString, QByteArray> all;
    for (const QString &name : QDir(h.folder() + QStringLiteral("/Files")).entryList(QDir::Files))
        all.insert(name, h.readRaw(name));
    return all;
}

bool perchDrawn(Harness &h)
{
    return h.findIn<QWidget>(QStringLiteral("Company"), QStringLiteral("Shape1"))->isVisibleTo(h.window("Company"));
}

// Every kind of saying, after the logs are cleared.
void sayEverything(Harness &h)
{
    h.character->log.clear();
    h.voice->spoken.clear();
    h.app().speech().SayFeedback({QStringLiteral("LookLeft")}, QStringLiteral("Right!"));
    h.app().speech().SayComment({}, QStringLiteral("Comment"));
    h.app().speech().SayReward({QStringLiteral("Congratulate")}, QStringLiteral("Reward"));
}

} // namespace

class TestSpeechSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void switchingFromPeedyToTheVoice()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("TTS"), "False\r\n");
        h.writeRaw(QStringLiteral("VCom"), "False\r\n");
        h.writeRaw(QStringLiteral("PFback"), "False\r\n");
        h.start();
        open(h);
        QCOMPARE(h.window(Control)->windowTitle(), QStringLiteral("Control Speech"));
        QCheckBox *peedy = box(h, QStringLiteral("StudentEnabledBox"));
        QCheckBox *voice = box(h, QStringLiteral("VoiceEnabledBox"));
        QVERIFY(peedy->isChecked() && !voice->isChecked());
        QVERIFY(box(h, QStringLiteral("PeedyGreetingBox"))->isEnabled());
        QVERIFY(!box(h, QStringLiteral("VoiceFeedbackBox"))->isEnabled());
        QVERIFY(!box(h, QStringLiteral("PeedyPerch"))->isVisibleTo(h.window(Control))); // not an XP desktop

        click(voice);
        QVERIFY(voice->isChecked() && !peedy->isChecked() && peedy->isEnabled());
        QVERIFY(!box(h, QStringLiteral("TeacherEnabledBox"))->isEnabled());
        QVERIFY(box(h, QStringLiteral("VoiceRewardsBox"))->isEnabled());
        click(box(h, QStringLiteral("VoiceCommentsBox")));

        const QMap<QString, QByteArray> before = files(h);
        h.character->log.clear();
        accept(h);
        QCOMPARE(h.readRaw(QStringLiteral("TTS")), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PShow")), QByteArray("False\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("VFback")), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("VCom")), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("VRew")), QByteArray("True\r\n"));
        for (const char *peedysOwn : {"PShowT", "PFback", "PCom", "PRew"})
            QCOMPARE(h.readRaw(QString::fromLatin1(peedysOwn)), before.value(QString::fromLatin1(peedysOwn)));
        QCOMPARE(h.character->log, QStringList({"speak See you later!", "hide"}));
        QVERIFY(!perchDrawn(h));
        QCOMPARE(h.sound->played.size(), 1);
        QCOMPARE(h.sound->played.first(), h.folder() + QStringLiteral("/Pop.wav"));
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Changes, if any, have been recorded."));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Peedy Changes Recorded"));
        QVERIFY(!h.window(Control)->isVisible());

        sayEverything(h);
        QCOMPARE(h.voice->spoken, QStringList({"Right!", "Comment", "Reward"}));
        QVERIFY(h.character->log.isEmpty());
    }

    void oneClickMakesPeedyTheChannelAndTeacherOffHidesHim()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShowT"), "False\r\n");
        h.start();
        open(h);
        QCheckBox *peedy = box(h, QStringLiteral("StudentEnabledBox"));
        QCheckBox *voice = box(h, QStringLiteral("VoiceEnabledBox"));
        QVERIFY(voice->isChecked() && !peedy->isChecked());
        QVERIFY(!box(h, QStringLiteral("PeedyGreetingBox"))->isEnabled());

        click(peedy);
        QVERIFY(peedy->isChecked() && !voice->isChecked() && voice->isEnabled());
        QVERIFY(!box(h, QStringLiteral("VoiceFeedbackBox"))->isEnabled());
        QVERIFY(box(h, QStringLiteral("TeacherEnabledBox"))->isEnabled());
        QVERIFY(h.boxes->asked.empty());

        const QMap<QString, QByteArray> before = files(h);
        h.character->log.clear();
        accept(h);
        QCOMPARE(h.readRaw(QStringLiteral("PShow")), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("TTS")), QByteArray("False\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PShowT")), QByteArray("False\r\n"));
        for (const char *voicesOwn : {"VFback", "VCom", "VRew"})
            QCOMPARE(h.readRaw(QString::fromLatin1(voicesOwn)), before.value(QString::fromLatin1(voicesOwn)));
        QCOMPARE(h.character->log, QStringList({"hide"}));
        QVERIFY(!perchDrawn(h));
        QVERIFY(!h.app().peedyBelongsOn(Audience::Teacher));

        // With Teacher checked he comes back on his perch at once.
        open(h);
        click(box(h, QStringLiteral("TeacherEnabledBox")));
        h.character->log.clear();
        accept(h);
        QCOMPARE(h.character->log, QStringList({"move 40,150", "show"}));
        QVERIFY(perchDrawn(h));
        sayEverything(h);
        QVERIFY(h.voice->spoken.isEmpty());
        QCOMPARE(h.character->spoken(), QStringList({"Right!", "Comment", "Reward"}));
    }

    void bothUncheckedSilencesEverySaying()
    {
        Harness h;
        h.start();
        open(h);
        click(box(h, QStringLiteral("VoiceEnabledBox")));
        QVERIFY(!box(h, QStringLiteral("VoiceCommentsBox"))->isEnabled());
        QVERIFY(!box(h, QStringLiteral("PeedyCommentsBox"))->isEnabled());
        QVERIFY(box(h, QStringLiteral("StudentEnabledBox"))->isEnabled());
        accept(h);
        QCOMPARE(h.readRaw(QStringLiteral("PShow")), QByteArray("False\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("TTS")), QByteArray("False\r\n"));
        sayEverything(h);
        QVERIFY(h.voice->spoken.isEmpty());
        QVERIFY(h.character->log.isEmpty());
    }

    void thePerchPathSavesNothingElse()
    {
        Harness h(Harness::Options {true, WindowsXp});
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.start();
        QCOMPARE(h.app().speech().perchTop(), 157);
        open(h);
        QCheckBox *perch = box(h, QStringLiteral("PeedyPerch"));
        QVERIFY(perch->isVisibleTo(h.window(Control)));
        QCOMPARE(perch->toolTip(), QStringLiteral(" Adjust for XP or Standard display style. "));
        click(perch);
        click(box(h, QStringLiteral("VoiceEnabledBox")));
        const QMap<QString, QByteArray> before = files(h);
        h.boxes->answers = {MsgYes};
        accept(h);
        QCOMPARE(h.boxes->asked.back().text,
                 QStringLiteral("Are you using  Windows Standard or Classic Style  display?"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Adjust Perch"));
        QCOMPARE(h.boxes->asked.back().icon, MsgIcon::Question);
        QMap<QString, QByteArray> after = files(h);
        QCOMPARE(after.take(QStringLiteral("Perch")), QByteArray("Standard\r\n"));
        QVERIFY(before.contains(QStringLiteral("Perch")));
        after.insert(QStringLiteral("Perch"), before.value(QStringLiteral("Perch")));
        QCOMPARE(after, before);
        QCOMPARE(h.app().speech().perchTop(), 150);
        QCOMPARE(h.character->log.last(), QStringLiteral("move 40,150"));
        QVERIFY(!perch->isChecked());
        QVERIFY(h.sound->played.isEmpty());
        QVERIFY(!h.window(Control)->isVisible());
    }

    void openingReadsTheFilesAnew()
    {
        Harness h;
        h.start();
        open(h);
        QVERIFY(box(h, QStringLiteral("PeedyCommentsBox"))->isChecked());
        QVERIFY(box(h, QStringLiteral("VoiceRewardsBox"))->isChecked());
        h.writeRaw(QStringLiteral("PCom"), "Maybe\r\n");
        h.writeRaw(QStringLiteral("VRew"), "False\r\n");
        // A check of Peedy's box left from a visit that was not saved.
        click(box(h, QStringLiteral("StudentEnabledBox")));
        h.window(Control)->close();
        QVERIFY(h.window(QStringLiteral("Company"))->isEnabled());

        open(h);
        QVERIFY(box(h, QStringLiteral("PeedyCommentsBox"))->isChecked()); // neither word: left as it was
        QVERIFY(h.settings().value(keys::PeedyComments));
        QVERIFY(!box(h, QStringLiteral("VoiceRewardsBox"))->isChecked());
        QVERIFY(!h.settings().value(keys::VoiceRewards));
        QVERIFY(!box(h, QStringLiteral("StudentEnabledBox"))->isChecked());
        QVERIFY(box(h, QStringLiteral("VoiceEnabledBox"))->isChecked());
    }

    void withoutPeedysFilesTheVoiceIsSaved()
    {
        Harness h(Harness::Options {false});
        h.writeRaw(QStringLiteral("TTS"), "False\r\n");
        h.start();
        open(h);
        QCheckBox *peedy = box(h, QStringLiteral("StudentEnabledBox"));
        QVERIFY(!peedy->isChecked() && !box(h, QStringLiteral("VoiceEnabledBox"))->isChecked());
        h.boxes->asked.clear();
        h.boxes->answers = {MsgYes};
        click(peedy);
        QCOMPARE(h.boxes->asked.size(), size_t(2));
        QCOMPARE(h.boxes->asked[0].text,
                 QStringLiteral("Your computer is missing Peedy's files.\n\n"
                                "Do you want to restore the necessary files to enable this "
                                "program feature?"));
        QCOMPARE(h.boxes->asked[0].title, QStringLiteral("Restore Peedy's Files?"));
        QVERIFY(h.boxes->asked[1].text.contains(QStringLiteral("installed with the program")));
        QVERIFY(h.boxes->asked[1].text.contains(QStringLiteral("belong in  %1   ").arg(h.systemInfo->folder)));
        QVERIFY(peedy->isChecked());

        accept(h);
        QCOMPARE(h.readRaw(QStringLiteral("TTS")), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PShow")), QByteArray("False\r\n"));
        QVERIFY(h.character->spoken().isEmpty());
    }

    void aSettingThatCannotBeSavedIsNamed()
    {
        Harness h;
        h.start();
        QDir(h.folder() + QStringLiteral("/Files")).remove(QStringLiteral("VFback"));
        QDir().mkpath(h.settingsPath(QStringLiteral("VFback")));
        open(h);
        accept(h);
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Changes Not Recorded"));
        QVERIFY(h.boxes->asked.back().text.contains(QStringLiteral("VFback: ")));
        for (const auto &asked : h.boxes->asked)
            QVERIFY(!asked.text.startsWith(QStringLiteral("Changes, if any")));
        QCOMPARE(h.readRaw(QStringLiteral("VRew")), QByteArray("True\r\n"));
    }

    void helpAndQuit()
    {
        Harness h(Harness::Options {true, WindowsXp});
        h.start();
        open(h);
        h.findIn<QAction>(Control, QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Control Speech"));
        QLabel *text = h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"));
        QStringList lines = text->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 16);
        QCOMPARE(lines[6], QStringLiteral("Teacher:  Is present while teacher is programming."));
        QCOMPARE(lines[7], QStringLiteral("Perch:  Adjust Peedy's perch for Windows XP or Standard display."));
        QCOMPARE(lines[8], QString());
        QCOMPARE(lines[12], QStringLiteral("Comments:  Makes additional performance comments."));
        QCOMPARE(lines[15], QStringLiteral("Check the desired boxes and press the Accept button."));
        h.app().startup().xpStyle = false;
        h.findIn<QAction>(Control, QStringLiteral("Help"))->trigger();
        lines = text->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 15);
        QCOMPARE(lines[7], QString());
        QCOMPARE(lines[11], QStringLiteral("Comments:  Makes additional comments."));

        h.findIn<QAction>(Control, QStringLiteral("Quit"))->trigger();
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Do you really want to quit?"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Quit"));
        QVERIFY(!h.window(QStringLiteral("AssistForm"))->isVisible());
        QVERIFY(h.window(Control)->isVisible() && !h.programEnded());
        h.boxes->answers = {MsgYes};
        h.findIn<QAction>(Control, QStringLiteral("Quit"))->trigger();
        QVERIFY(h.programEnded());
    }

    void greetingRoundTrip()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("PGreet"), "Hello there,\r\nfriends\r\n");
        h.writeRaw(QStringLiteral("PName"), "Ann\r\n");
        h.writeRaw(QStringLiteral("MGreet"), "IntegrateYes\r\n");
        h.start();
        h.state().FirstName = QStringLiteral("Bob");
        open(h);
        h.character->log.clear();
        click(box(h, QStringLiteral("PeedyGreetingBox")));
        QCOMPARE(h.character->log, QStringList({"move 40,150", "show"}));
        QVERIFY(h.window(Greeting)->isVisible() && !h.window(Control)->isVisible());
        QCOMPARE(h.window(Greeting)->windowTitle(), QStringLiteral("Customize Greetings"));
        auto *text1 = h.findIn<QPlainTextEdit>(Greeting, QStringLiteral("Text1"));
        auto *text2 = h.findIn<QLineEdit>(Greeting, QStringLiteral("Text2"));
        QCOMPARE(text1->toPlainText(), QStringLiteral("Hello there,friends"));
        QCOMPARE(text2->text(), QStringLiteral("Ann"));
        QVERIFY(box(h, QStringLiteral("IntegrateGreeting"), Greeting)->isChecked());
        QVERIFY(!box(h, QStringLiteral("NoGreeting"), Greeting)->isChecked());

        text1->setPlainText(QStringLiteral("Good morning, class!"));
        click(box(h, QStringLiteral("AllowUserName"), Greeting));
        QVERIFY(!text2->isVisibleTo(h.window(Greeting)));
        QVERIFY(!h.findIn<QWidget>(Greeting, QStringLiteral("PrevNameButt"))->isVisibleTo(h.window(Greeting)));
        click(box(h, QStringLiteral("NoGreeting"), Greeting));
        QVERIFY(!text1->isEnabled());
        QVERIFY(!box(h, QStringLiteral("IntegrateGreeting"), Greeting)->isEnabled());
        QVERIFY(!h.findIn<QWidget>(Greeting, QStringLiteral("PrevIntroButt"))->isEnabled());

        accept(h, Greeting);
        QCOMPARE(h.readRaw(QStringLiteral("MGreet")), QByteArray("IntegrateYes\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PName")), QByteArray("AllowUserName\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PGreet")), QByteArray("Good morning, class!\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("NoGreet")), QByteArray("True\r\n"));
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Changes, if any, have been recorded"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Changes Recorded"));
        QVERIFY(h.settings().value(keys::GreetingOff));
        QCOMPARE(h.state().SpokenName, QStringLiteral("Bob"));
        QVERIFY(!h.window(Greeting)->isVisible() && h.window(Control)->isVisible());
        QVERIFY(!box(h, QStringLiteral("PeedyGreetingBox"))->isChecked());

        // Opened again, the window shows what was saved.
        click(box(h, QStringLiteral("PeedyGreetingBox")));
        QVERIFY(box(h, QStringLiteral("AllowUserName"), Greeting)->isChecked());
        QVERIFY(!text2->isVisibleTo(h.window(Greeting)));
        click(box(h, QStringLiteral("AllowUserName"), Greeting));
        QVERIFY(text2->isVisibleTo(h.window(Greeting)));
        QVERIFY(text2->text().isEmpty());
        QVERIFY(box(h, QStringLiteral("NoGreeting"), Greeting)->isChecked());
    }

    void aShortOrEmptyIntegratedGreetingIsNotSaved()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.start();
        open(h);
        click(box(h, QStringLiteral("PeedyGreetingBox")));
        auto *text1 = h.findIn<QPlainTextEdit>(Greeting, QStringLiteral("Text1"));
        text1->setPlainText(QStringLiteral("Hi Bob"));
        click(box(h, QStringLiteral("IntegrateGreeting"), Greeting));
        const QMap<QString, QByteArray> before = files(h);
        h.boxes->answers = {MsgNo};
        accept(h, Greeting);
        QCOMPARE(h.boxes->asked.back().text,
                 QStringLiteral("Your custom greeting 'Hi Bob' is very brief.  Are you sure this is correct?"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Short Custom Greeting"));
        QCOMPARE(h.boxes->asked.back().buttons, MsgButtons::YesNo);
        QCOMPARE(files(h), before);
        QVERIFY(h.window(Greeting)->isVisible());

        text1->clear();
        accept(h, Greeting);
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Custom Greeting Box Empty"));
        QVERIFY(h.boxes->asked.back().text.endsWith(QStringLiteral("uncheck the  Integrate Custom Greeting  box. ")));
        QCOMPARE(files(h), before);
    }

    void previewsLimitsAndClosing()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.start();
        open(h);
        click(box(h, QStringLiteral("PeedyGreetingBox")));
        const QMap<QString, QByteArray> before = files(h);
        click(box(h, QStringLiteral("AllowUserName"), Greeting));
        h.character->log.clear();
        h.findIn<QPushButton>(Greeting, QStringLiteral("PrevNameButt"))->click();
        QCOMPARE(h.character->log,
                 QStringList({"stop", "play lookleft", "speak There is nothing in the box!  ", "play Explain",
                              "speak Type a name for me to say!"}));
        auto *text1 = h.findIn<QPlainTextEdit>(Greeting, QStringLiteral("Text1"));
        text1->setPlainText(QStringLiteral("I am ~so happy"));
        h.character->log.clear();
        h.findIn<QPushButton>(Greeting, QStringLiteral("PrevIntroButt"))->click();
        QCOMPARE(h.character->log, QStringList({"stop", "move 40,150", "speak I am ~so happy"}));
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.findIn<QPushButton>(Greeting, QStringLiteral("PrevIntroButt"))->click();
        QVERIFY(h.voice->spoken.isEmpty());
        QCOMPARE(h.character->spoken().size(), 1);

        auto *text2 = h.findIn<QLineEdit>(Greeting, QStringLiteral("Text2"));
        QTest::keyClicks(text2, QStringLiteral("Maximilian Alexander"));
        QCOMPARE(text2->text(), QStringLiteral("Maximilian Alex"));
        text1->setPlainText(QString(800, QLatin1Char('a')));
        QCOMPARE(text1->toPlainText().size(), 700);
        text1->setPlainText(QStringLiteral("one\ntwo"));
        QCOMPARE(text1->toPlainText(), QStringLiteral("one two"));

        h.findIn<QAction>(Greeting, QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(),
                 QStringLiteral("Change Greeting and User Name"));
        const QStringList lines =
            h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))->text().split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 24);
        QVERIFY(lines[11].contains(QStringLiteral("ohm' bray.  A word such as  ' perfect '")));

        h.window(Greeting)->close();
        QVERIFY(!h.window(QStringLiteral("AssistForm"))->isVisible());
        QVERIFY(h.window(Control)->isVisible());
        QVERIFY(!box(h, QStringLiteral("PeedyGreetingBox"))->isChecked());
        QCOMPARE(files(h), before);
    }
};

QTEST_MAIN(TestSpeechSettings)
#include "test_speechsettings.moc"
