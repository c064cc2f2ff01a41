#include "app/assistform.h"
#include "app/company.h"
#include "settings/settingkeys.h"
#include "support/harness.h"

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace plovista;
using namespace plovista::test;

namespace {
QLineEdit *nameBox(Harness &h)
{
    return h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"));
}
void typeAndEnter(Harness &h, const QString &name)
{
    QLineEdit *box = nameBox(h);
    box->clear();
    box->setFocus();
    box->insert(name); // as if pasted: the key filter is tested on its own
    QTest::keyClick(box, Qt::Key_Return);
}
} // namespace

class TestCompany : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void keyFilterLetsOnlyNameCharactersThrough()
    {
        Harness h;
        h.start();
        QLineEdit *box = nameBox(h);
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Bo1b, S-m.ith!"));
        QCOMPARE(box->text(), QStringLiteral("Bob Sm.ith"));
        QTest::keyClick(box, Qt::Key_Backspace);
        QCOMPARE(box->text(), QStringLiteral("Bob Sm.it"));
    }

    void editingKeysThatTypeNothingStillWork()
    {
        Harness h;
        h.start();
        QLineEdit *box = nameBox(h);
        box->setFocus();
        QTest::keyClicks(box, QStringLiteral("Bobx"));
        QTest::keyClick(box, Qt::Key_Left);
        // Under X the Delete key carries the control character 127 as its text.
        QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier, QStringLiteral("\x7f"));
        QApplication::sendEvent(box, &del);
        QCOMPARE(box->text(), QStringLiteral("Bob"));
        // Tab moves on to the next control instead of being swallowed.
        QTest::keyClick(box, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != box);
        QCOMPARE(box->text(), QStringLiteral("Bob"));
    }

    void aKeyCutsPeedyShort()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.start();
        h.character->log.clear();
        QTest::keyClicks(nameBox(h), QStringLiteral("B"));
        QCOMPARE(h.character->log, QStringList({"stop"}));
    }

    void rejectedNamesSpeakAndShowTheirBox_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("spoken");
        QTest::addColumn<QString>("title");
        QTest::newRow("empty") << ""
                               << "Please type your first and last name."
                               << "Missing Name";
        QTest::newRow("lower") << "bob Smith"
                               << "Please begin your name with a capital letter."
                               << "Capitalize Name";
        QTest::newRow("short") << "Bob"
                               << "Your name is too short."
                               << "";
        QTest::newRow("capital code") << "KQ"
                                      << "Your name is too short."
                                      << "";
        QTest::newRow("code and blank") << "kq "
                                        << "Please begin your name with a capital letter."
                                        << "Capitalize Name";
        QTest::newRow("period") << "Bob Smith."
                                << "Your name has incorrect characters. Please fix it."
                                << "Invalid Characters";
        QTest::newRow("pasted wide character") << "Bob Sm\u0101th"
                                               << "Your name has incorrect characters. Please fix it."
                                               << "Invalid Characters";
        QTest::newRow("no blank") << "Bobsmith"
                                  << "Please put a space between your first and last name."
                                  << "Space Missing";
        QTest::newRow("lower last") << "Bob smith"
                                    << "Please begin your last name with a capital letter."
                                    << "Capitalize Name";
        QTest::newRow("two blanks") << "Bob  Smith"
                                    << "Please leave only one space between your first and last name."
                                    << "Capitalize Name";
    }
    void rejectedNamesSpeakAndShowTheirBox()
    {
        QFETCH(QString, name);
        QFETCH(QString, spoken);
        QFETCH(QString, title);
        Harness h;
        h.start();
        typeAndEnter(h, name);
        QCOMPARE(h.voice->spoken, QStringList({spoken}));
        if (title.isEmpty()) {
            QVERIFY(h.boxes->asked.empty());
        } else {
            QCOMPARE(h.boxes->titles(), QStringList({title}));
            QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::Ok);
        }
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(company->isEnabled());
        QCOMPARE(QApplication::focusWidget(), nameBox(h));
        QVERIFY(!h.window(QStringLiteral("MainMenu")));
        QVERIFY(!h.window(QStringLiteral("GetPassW")));
        // The rejection is over: the next name is taken.
        typeAndEnter(h, QStringLiteral("Bob Smith"));
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
    }

    // The one rejection told by speech alone reaches the student in a box
    // when no channel would speak it.
    void aShortNameIsShownWhenNothingSpeaks_data()
    {
        QTest::addColumn<bool>("peedy");
        QTest::addColumn<bool>("peedyComments");
        QTest::addColumn<bool>("voice");
        QTest::addColumn<bool>("voiceComments");
        QTest::addColumn<bool>("boxed");
        QTest::newRow("both off") << false << true << false << true << true;
        QTest::newRow("comments off") << true << false << true << false << true;
        QTest::newRow("voice speaks") << false << false << true << true << false;
        QTest::newRow("peedy speaks") << true << true << false << false << false;
    }
    void aShortNameIsShownWhenNothingSpeaks()
    {
        QFETCH(bool, peedy);
        QFETCH(bool, peedyComments);
        QFETCH(bool, voice);
        QFETCH(bool, voiceComments);
        QFETCH(bool, boxed);
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, peedy);
        h.settings().setForThisRun(keys::PeedyComments, peedyComments);
        h.settings().setForThisRun(keys::VoiceEnabled, voice);
        h.settings().setForThisRun(keys::VoiceComments, voiceComments);
        typeAndEnter(h, QStringLiteral("Bob"));
        if (boxed) {
            QCOMPARE(h.boxes->titles(), QStringList({"Name Too Short"}));
            QCOMPARE(h.boxes->asked.front().text, QStringLiteral("Your name is too short."));
            QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::Ok);
        } else {
            QVERIFY(h.boxes->asked.empty());
        }
        QCOMPARE(QApplication::focusWidget(), nameBox(h));
    }

    void voiceSpeaksWhileTheBoxIsUp()
    {
        Harness h;
        h.start();
        QStringList heardMeanwhile;
        h.boxes->onAsk = [&](const FakeMessageBoxes::Asked &) { heardMeanwhile = h.voice->spoken; };
        typeAndEnter(h, QString());
        QCOMPARE(heardMeanwhile, QStringList({"Please type your first and last name."}));
    }

    void peedyRejectsWithHisGestures()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("TTS"), "False\r\n");
        h.writeRaw(QStringLiteral("NoGreet"), "True\r\n");
        h.start();
        h.character->log.clear();
        typeAndEnter(h, QStringLiteral("Bobsmith"));
        QCOMPARE(h.character->log,
                 QStringList({"move 40,150", "show", "stop", "move 40,150", "play LookDownLeftBlink",
                              "play GestureLeft", "speak Please put a space between your first and last name."}));
        QVERIFY(h.voice->spoken.isEmpty());

        // With Peedy's comments off only the box remains.
        h.settings().setForThisRun(keys::PeedyComments, false);
        h.character->log.clear();
        h.boxes->asked.clear();
        typeAndEnter(h, QStringLiteral("Bobsmith"));
        QVERIFY(h.character->spoken().isEmpty());
        QCOMPARE(h.boxes->titles(), QStringList({"Space Missing"}));
    }

    void goodNameOpensTheOperationMenu()
    {
        Harness h;
        h.start();
        typeAndEnter(h, QStringLiteral("Bob Smith"));
        QWidget *menu = h.window(QStringLiteral("MainMenu"));
        QVERIFY(menu && menu->isVisible());
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(!company->isEnabled());
        QVERIFY(!h.find<QWidget>(QStringLiteral("Frame1"))->isVisibleTo(company));
        QCOMPARE(h.state().StudentName, QStringLiteral("Bob Smith"));
        QCOMPARE(h.state().FirstName, QStringLiteral("Bob"));
        QCOMPARE(h.state().SpokenName, QStringLiteral("Bob"));
        QVERIFY(h.boxes->asked.empty());

        // Closing the menu comes back to the name box.
        menu->close();
        QVERIFY(company->isEnabled());
        QVERIFY(h.find<QWidget>(QStringLiteral("Frame1"))->isVisibleTo(company));
    }

    void customSpokenNameWinsEvenWhenEmpty()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PName"), "Captain\r\n");
        h.start();
        typeAndEnter(h, QStringLiteral("Bob Smith"));
        QCOMPARE(h.state().SpokenName, QStringLiteral("Captain"));

        Harness empty;
        empty.start();
        empty.writeRaw(QStringLiteral("PName"), "\"\"\r\n");
        typeAndEnter(empty, QStringLiteral("Bob Smith"));
        QCOMPARE(empty.state().SpokenName, QString());
    }

    void accessCodeOpensThePasswordWindow()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("PShowT"), "False\r\n");
        h.start();
        h.character->log.clear();
        typeAndEnter(h, QStringLiteral("kq"));
        QWidget *password = h.window(QStringLiteral("GetPassW"));
        QVERIFY(password && password->isVisible());
        QCOMPARE(password->windowTitle(), QStringLiteral("Password"));
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("GetPassW"), QStringLiteral("Label1"))->text(),
                 QStringLiteral("Enter the password..."));
        QVERIFY(!h.findIn<QWidget>(QStringLiteral("GetPassW"), QStringLiteral("Text2"))->isVisibleTo(password));
        QVERIFY(!h.findIn<QWidget>(QStringLiteral("GetPassW"), QStringLiteral("Command1"))->isEnabled());
        QVERIFY(!h.window(QStringLiteral("Company"))->isEnabled());
        QVERIFY(h.voice->spoken.isEmpty()); // no name check
        QVERIFY(h.boxes->asked.empty());
        // Peedy is absent while the teacher works.
        QVERIFY(h.character->log.contains(QStringLiteral("hide")));
        QVERIFY(!h.find<QWidget>(QStringLiteral("Shape1"))->isVisibleTo(h.window(QStringLiteral("Company"))));
    }

    void helpOpensTheAssistBox()
    {
        Harness h;
        h.start();
        h.findIn<QPushButton>(QStringLiteral("Company"), QStringLiteral("HelpButt"))->click();
        QWidget *assist = h.window(QStringLiteral("AssistForm"));
        QVERIFY(assist && assist->isVisible());
        QCOMPARE(assist->windowTitle(), QStringLiteral("Help"));
        QVERIFY(h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))
                    ->text()
                    .startsWith(QStringLiteral("To begin the math facts exercises")));
        // The box leaves in sight the name box and the button its text talks about.
        for (const char *control : {"Text1", "StartButt"}) {
            auto *widget = h.findIn<QWidget>(QStringLiteral("Company"), QLatin1String(control));
            const QRect onScreen(widget->mapToGlobal(QPoint(0, 0)), widget->size());
            QVERIFY2(!assist->frameGeometry().intersects(onScreen), control);
        }
        QVERIFY(assist->screen()->availableGeometry().contains(assist->frameGeometry()));
    }

    // A focused push button takes Enter itself; Start, the default button,
    // takes it from the name box.
    void enterPressesTheFocusedButton()
    {
        Harness h;
        h.start();
        nameBox(h)->insert(QStringLiteral("Bob Smith"));
        auto *help = h.findIn<QPushButton>(QStringLiteral("Company"), QStringLiteral("HelpButt"));
        help->setFocus();
        QTest::keyClick(help, Qt::Key_Return);
        QVERIFY(h.window(QStringLiteral("AssistForm"))->isVisible());
        QVERIFY(!h.window(QStringLiteral("MainMenu")));

        auto *quit = h.findIn<QPushButton>(QStringLiteral("Company"), QStringLiteral("QuitButt"));
        quit->setFocus();
        h.boxes->answers = {MsgNo};
        QTest::keyClick(quit, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program"}));
        QVERIFY(!h.window(QStringLiteral("MainMenu")));

        nameBox(h)->setFocus();
        QTest::keyClick(nameBox(h), Qt::Key_Return);
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
    }

    void menuItemsShowTheirTexts_data()
    {
        QTest::addColumn<QString>("item");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("start");
        QTest::newRow("password") << "Password"
                                  << "Password"
                                  << "A password is required";
        QTest::newRow("menu bar") << "MenuBarMenu"
                                  << "Menu Bar"
                                  << "The information contained in the  Menu Bar";
        QTest::newRow("colors") << "Colors"
                                << "Screen Colors"
                                << "The best 'Colors' setting";
        QTest::newRow("speed") << "Speed"
                               << "Speed Goal"
                               << "The speed goal, or average";
        QTest::newRow("tests") << "Tests"
                               << "Printed Tests"
                               << "The printed tests can be used";
        QTest::newRow("speech") << "SpeechSupport"
                                << "Speech Support"
                                << "This program is currently set to use the default voice";
        QTest::newRow("author") << "Author"
                                << "The Author"
                                << "Plovista was written";
    }
    void menuItemsShowTheirTexts()
    {
        QFETCH(QString, item);
        QFETCH(QString, title);
        QFETCH(QString, start);
        Harness h;
        h.start();
        h.find<QAction>(item)->trigger();
        QWidget *assist = h.window(QStringLiteral("AssistForm"));
        QCOMPARE(assist->windowTitle(), title);
        QVERIFY(h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))->text().startsWith(start));
    }

    void menuBarParagraphsAreSeparatedByAnEmptyLine()
    {
        Harness h;
        h.start();
        h.find<QAction>(QStringLiteral("Uninstall"))->trigger();
        const QString text = h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))->text();
        QCOMPARE(text.count(QStringLiteral("\n\n")), 2);
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Uninstall Plovista"));
        // Debian's package manager and the folders this run uses, not another system's.
        const QStringList parts = text.split(QStringLiteral("\n\n"));
        QVERIFY(parts[0].endsWith(QStringLiteral("sudo apt remove plovista")));
        QVERIFY(parts[1].endsWith(h.systemInfo->folder));
        QVERIFY(parts[2].contains(QStringLiteral("   ") + h.folder() + QStringLiteral("   ")));
    }

    void quitAnsweredNoKeepsEverything()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("NoGreet"), "True\r\n");
        h.start();
        h.character->log.clear();
        h.boxes->answers = {MsgNo};
        h.findIn<QPushButton>(QStringLiteral("Company"), QStringLiteral("QuitButt"))->click();
        QCOMPARE(h.boxes->asked.front().text, QStringLiteral("Do you want to quit?"));
        QCOMPARE(h.boxes->asked.front().title, QStringLiteral("Quit Program"));
        QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::YesNo);
        QCOMPARE(h.character->log, QStringList({"stop", "move 40,150", "speak Do you want to quit?"}));
        QVERIFY(h.voice->spoken.isEmpty());
        QVERIFY(!h.programEnded());
        QVERIFY(h.window(QStringLiteral("Company"))->isVisible());
    }

    void quitAnsweredYesRestoresTheDisplayAndEnds()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Display"), "Change\r\n");
        h.start();
        QCOMPARE(h.display->mode->width, 800);
        h.boxes->answers = {MsgYes};
        h.findIn<QPushButton>(QStringLiteral("Company"), QStringLiteral("QuitButt"))->click();
        QVERIFY(h.programEnded());
        QCOMPARE(*h.display->mode, (DisplayMode {1024, 768}));
        QCOMPARE(h.display->applied.back(), (DisplayMode {1024, 768}));
    }

    void closingTheWindowAsksToo()
    {
        Harness h;
        h.start();
        QWidget *company = h.window(QStringLiteral("Company"));
        h.boxes->answers = {MsgNo};
        company->close();
        QVERIFY(company->isVisible());
        QVERIFY(!h.programEnded());
        h.boxes->answers = {MsgYes};
        company->close();
        QVERIFY(h.programEnded());
    }

    void theDisabledStartScreenCannotBeClosed()
    {
        Harness h;
        h.start();
        typeAndEnter(h, QStringLiteral("Bob Smith"));
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(!company->isEnabled());
        company->close();
        QVERIFY(h.boxes->asked.empty());
        QVERIFY(company->isVisible());
        QVERIFY(!h.find<QWidget>(QStringLiteral("Frame1"))->isVisibleTo(company));
        QVERIFY(!h.programEnded());
    }

    void minimisingAStudentWindowHidesPeedyAndTheStartScreen()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("NoGreet"), "True\r\n");
        h.start();
        typeAndEnter(h, QStringLiteral("Bob Smith"));
        QWidget *menu = h.window(QStringLiteral("MainMenu"));
        h.character->log.clear();
        menu->setWindowState(Qt::WindowMinimized);
        QCOMPARE(h.character->log, QStringList({"stop", "hide"}));
        QVERIFY(!h.window(QStringLiteral("Company"))->isVisible());
        h.character->log.clear();
        menu->setWindowState(Qt::WindowNoState);
        QCOMPARE(h.character->log, QStringList({"show"}));
        QVERIFY(h.window(QStringLiteral("Company"))->isVisible());
    }

    void teacherWindowsKeepPeedyAwayWithoutHisSwitch()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("PShowT"), "False\r\n");
        h.start();
        typeAndEnter(h, QStringLiteral("kq"));
        QWidget *password = h.window(QStringLiteral("GetPassW"));
        h.character->log.clear();
        password->setWindowState(Qt::WindowMinimized);
        password->setWindowState(Qt::WindowNoState);
        QVERIFY(h.character->log.isEmpty());
        QVERIFY(h.window(QStringLiteral("Company"))->isVisible());
    }
};

QTEST_MAIN(TestCompany)
#include "test_company.moc"
