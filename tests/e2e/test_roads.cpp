// Whole roads through the real windows, as a student and a teacher go them,
// over the test doubles: what is on the screen, every file byte for byte,
// and what is said and printed.

#include "records/recordsview.h"
#include "support/firstrunfiles.h"
#include "support/teacherroad.h"
#include "support/windows.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QRegularExpression>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

// The five password characters of "AdWord".
QByteArray passwordIn(const QByteArray &adWord)
{
    QByteArray password;
    for (const int at : {5, 11, 17, 23, 29})
        password += adWord.mid(at, 1);
    return password;
}

// The window is up, and a screen reader can name everything in it.
bool seen(Harness &h, const char *name)
{
    QWidget *window = h.window(QLatin1String(name));
    if (!window || !window->isVisible()) {
        qWarning("%s is not on the screen", name);
        return false;
    }
    const QStringList faults = namingFaults(window);
    if (!faults.isEmpty())
        qWarning("unnamed: %s", qPrintable(faults.join(QLatin1String(", "))));
    return faults.isEmpty();
}
#define SEEN(name) QVERIFY2(seen(h, name), name)

template<typename T = QWidget>
T *control(Harness &h, const char *window, const char *name)
{
    T *found = h.findIn<T>(QLatin1String(window), QLatin1String(name));
    if (!found)
        qFatal("no %s in %s", name, window);
    return found;
}

QString text(Harness &h, const char *window, const char *label)
{
    return control<QLabel>(h, window, label)->text();
}

void typeInto(QWidget *box, const QString &typed)
{
    box->setFocus();
    QTest::keyClicks(box, typed);
}

void pressEnter(QWidget *widget)
{
    QTest::keyClick(widget, Qt::Key_Return);
}

// The scripted draws of a fact value, and of a feedback row among `rows`.
double valueDraw(int value, int low = 0)
{
    return (value - low + 0.5) / 10.0;
}
double rowDraw(int row, int rows)
{
    return (row - 0.5) / rows;
}

// The student's answer, typed and entered, and the pause let run out.
void answer(Harness &h, int value)
{
    auto *box = control<QLineEdit>(h, "FactsProblems", "Text1");
    QTest::keyClicks(box, QString::number(value));
    pressEnter(box);
    QTRY_VERIFY(!h.app().factsProblems().isPausing());
}

} // namespace

class TestRoads : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A first run in an empty folder: Ann Lee drills the times-7 facts in
    // the vertical format, misses two at the first try, reads her score,
    // looks at the records and quits.
    void aFirstRunAndAStudentsDrill()
    {
        Harness h;
        h.start();
        QCOMPARE(entries(h.folder()), QStringList({"Files", "SDat"}));
        QStringList names;
        for (const auto &[name, bytes] : FirstRunFiles) {
            names << QLatin1String(name);
            QCOMPARE(h.readRaw(QLatin1String(name)), bytes);
        }
        names << QStringLiteral("AdWord");
        names.sort();
        QCOMPARE(entries(h.folder() + QStringLiteral("/Files")), names);
        const QByteArray adWord = h.readRaw(QStringLiteral("AdWord"));
        QCOMPARE(adWord.size(), 37);
        QVERIFY(adWord.endsWith("\r\n"));
        QCOMPARE(passwordIn(adWord), QByteArray("maple"));
        QCOMPARE(entries(h.folder() + QStringLiteral("/SDat")), QStringList());
        // Peedy is off on a first run: no greeting, and the voice never greets.
        QCOMPARE(h.character->spoken(), QStringList());
        QCOMPARE(h.voice->spoken, QStringList());

        SEEN("Company");
        QCOMPARE(h.window(QStringLiteral("Company"))->windowTitle(), QStringLiteral("Brevandi Plovista"));
        auto *name = control<QLineEdit>(h, "Company", "Text1");
        QVERIFY(name->hasFocus());
        typeInto(name, QStringLiteral("Ann Lee"));
        pressEnter(name);

        SEEN("MainMenu");
        QVERIFY(control<QRadioButton>(h, "MainMenu", "MultOptButt")->isChecked());
        pressEnter(h.window(QStringLiteral("MainMenu"))->focusWidget());

        SEEN("ChooseMenuMF");
        QCOMPARE(h.window(QStringLiteral("ChooseMenuMF"))->windowTitle(), QStringLiteral("Multiplication Menu"));
        QCOMPARE(control<QCheckBox>(h, "ChooseMenuMF", "Check1")->text(), QStringLiteral("A x B = C"));
        control<QCheckBox>(h, "ChooseMenuMF", "Check2")->click();
        QVERIFY(!control<QCheckBox>(h, "ChooseMenuMF", "Check1")->isChecked());
        control<QRadioButton>(h, "ChooseMenuMF", "Option7")->click();
        QCOMPARE(control<QRadioButton>(h, "ChooseMenuMF", "Option7")->text(), QStringLiteral("x7"));
        h.app().factsProblems().setPauses(0ms, 0ms);
        control<QPushButton>(h, "ChooseMenuMF", "AcceptButt")->click();

        SEEN("FactsProblems");
        QCOMPARE(h.window(QStringLiteral("FactsProblems"))->windowTitle(),
                 QStringLiteral("Vertical Mode,  Range: 0 --> 9"));
        auto *button = control<QPushButton>(h, "FactsProblems", "NextProbButt");
        QCOMPARE(button->text(), QStringLiteral("Start"));
        QCOMPARE(text(h, "FactsProblems", "Label8"), QStringLiteral("10"));

        // The facts drawn, a "Yes!" for every right answer and a "Wrong" for
        // the two missed ones (the voice's rows 2 of 10 and 3 of 7).
        const int values[] = {3, 8, 0, 9, 5, 1, 7, 2, 6, 4};
        const int missed[] = {0, 7};
        h.random->draws = {valueDraw(values[0])};
        QStringList said;
        h.clock->time = QDateTime(QDate(2026, 12, 6), QTime(10, 15, 0));
        pressEnter(button);
        QCOMPARE(button->text(), QStringLiteral("Check"));
        QCOMPARE(text(h, "FactsProblems", "Label8"), QStringLiteral("9"));
        for (int i = 0; i < 10; ++i) {
            const int value = values[i];
            const QString reading = QStringLiteral("%1times7").arg(value);
            said << reading;
            QCOMPARE(text(h, "FactsProblems", "FactsVariable") + text(h, "FactsProblems", "FactsSign") +
                         text(h, "FactsProblems", "FactsConstant"),
                     QStringLiteral("%1X7").arg(value));
            if (std::find(std::begin(missed), std::end(missed), value) != std::end(missed)) {
                h.random->draws.push_back(rowDraw(3, 7));
                answer(h, value * 7 + 1);
                said << QStringLiteral("Wrong") << QStringLiteral("%1times7,is%2").arg(value).arg(value * 7) << reading;
                // The corrected fact beside the one asked again.
                QCOMPARE(text(h, "FactsProblems", "FactsVariableFix") + text(h, "FactsProblems", "FactsSignFix") +
                             text(h, "FactsProblems", "FactsConstantFix") + "=" +
                             text(h, "FactsProblems", "FactsAnsFix"),
                         QStringLiteral("%1X7=%2").arg(value).arg(value * 7));
                QVERIFY(control(h, "FactsProblems", "FactsAnsFix")->isVisible());
            }
            h.random->draws.push_back(rowDraw(2, 10));
            if (i < 9)
                h.random->draws.push_back(valueDraw(values[i + 1]));
            answer(h, value * 7);
            said << QStringLiteral("Yes!");
        }
        said << QStringLiteral("Get your score.");
        QCOMPARE(h.voice->spoken, said);
        QCOMPARE(text(h, "FactsProblems", "Label2") + "|" + text(h, "FactsProblems", "Label6") + "|" +
                     text(h, "FactsProblems", "Label8"),
                 QStringLiteral("8|2|0"));
        QCOMPARE(button->text(), QStringLiteral("Get Score"));
        QVERIFY(!control(h, "FactsProblems", "Text1")->isEnabled());
        QVERIFY(!QFile::exists(h.folder() + QStringLiteral("/Madtr")));

        // 45 seconds for ten facts: 4.5 a fact, within the goal of 5.0; 80
        // percent, short of 100.
        h.clock->advanceSeconds(45);
        h.voice->spoken.clear();
        pressEnter(button);
        SEEN("ScoreForm");
        QVERIFY(!h.window(QStringLiteral("FactsProblems"))->isVisible());
        QCOMPARE(h.window(QStringLiteral("ScoreForm"))->windowTitle(), QStringLiteral("Your Score"));
        QCOMPARE(text(h, "ScoreForm", "Percent"), QStringLiteral("80"));
        QCOMPARE(text(h, "ScoreForm", "Seconds"), QStringLiteral("4.5"));
        QCOMPARE(text(h, "ScoreForm", "AgoalLabel"), QStringLiteral("100%"));
        QCOMPARE(text(h, "ScoreForm", "SgoalLabel"), QStringLiteral("5.0"));
        QCOMPARE(text(h, "ScoreForm", "NeedTo"), QStringLiteral("You need to increase your accuracy."));
        QCOMPARE(h.voice->spoken, QStringList({"You need to increase your accuracy."}));
        const QByteArray record = "12/06/26   Ann Lee         x7     V   0->9   10  80|100   4.5|5.0  0.7  \r\n";
        QCOMPARE(readFile(h.folder() + QStringLiteral("/Madtr")), record);

        // On to the next drill's menu, once the score has been seen, back to
        // the operation menu, and the records from there.
        h.clock->advanceSeconds(1);
        pressEnter(control(h, "ScoreForm", "DoOver"));
        SEEN("ChooseMenuMF");
        h.window(QStringLiteral("ChooseMenuMF"))->close();
        SEEN("MainMenu");
        control<QRadioButton>(h, "MainMenu", "ViewRecordsOption")->click();
        control<QPushButton>(h, "MainMenu", "AcceptButt")->click();
        SEEN("RecordsForm");
        QCOMPARE(h.window(QStringLiteral("RecordsForm"))->windowTitle(), QStringLiteral("Current Records"));
        QCOMPARE(control<RecordsView>(h, "RecordsForm", "RecordsBox")->toPlainText(),
                 QString::fromLatin1(record).remove(QLatin1Char('\r')));
        QVERIFY(!menuAction(h.window(QStringLiteral("RecordsForm")), QStringLiteral("PrintRecords"))->isVisible());
        h.window(QStringLiteral("RecordsForm"))->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        SEEN("MainMenu");

        // Quit, and the display as it was found.
        h.boxes->answers = {MsgYes};
        menuAction(h.window(QStringLiteral("MainMenu")), QStringLiteral("Quit"))->trigger();
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program"}));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("Do you want to quit?"));
        QVERIFY(h.programEnded());
        QCOMPARE(h.display->applied, std::vector<DisplayMode>({{1024, 768}, {1024, 768}}));
        QCOMPARE(readFile(h.folder() + QStringLiteral("/Madtr")), record);
        for (const auto &[name, bytes] : FirstRunFiles)
            QCOMPARE(h.readRaw(QLatin1String(name)), bytes);
    }

    // A Facts of Ten drill in each format, one missed fact in each: the
    // facts as the student sees and hears them, both records in the file.
    void factsOfTenInEachFormat()
    {
        Harness h;
        h.start();
        auto *name = control<QLineEdit>(h, "Company", "Text1");
        typeInto(name, QStringLiteral("Bo Diaz"));
        pressEnter(name);
        SEEN("MainMenu");
        control<QRadioButton>(h, "MainMenu", "Facts10OptButt")->click();
        control<QPushButton>(h, "MainMenu", "AcceptButt")->click();
        h.app().factsProblems().setPauses(0ms, 0ms);

        struct Format
        {
            const char *option;
            const char *caption;
            int left; // the fact's numbers on the screen: value, or 10, at left
            QString reading;
            QString correction;
            QByteArray record;
        };
        // The value 3 is missed; the voice reads the format 1 facts as
        // feedback, which is on.
        const Format formats[] = {
            {"Option1", "10 -- A = B", 10, QStringLiteral("10minus what,is%1"), QStringLiteral("10minus7,is3"),
             "12/06/26   Bo Diaz         F10    1          10  90|100   2|5.0    0.3  \r\n"},
            {"Option2", "A + B = 10", 0, QStringLiteral("%1Plus what,is10"), QStringLiteral("3plus7,is10"),
             "12/06/26   Bo Diaz         F10    2          10  90|100   2|5.0    0.3  \r\n"},
        };
        const int values[] = {4, 3, 10, 1, 9, 2, 8, 5, 7, 6};
        QByteArray records;
        for (const Format &format : formats) {
            SEEN("Facts10Menu");
            QCOMPARE(h.window(QStringLiteral("Facts10Menu"))->windowTitle(), QStringLiteral("Facts of Ten"));
            auto *option = control<QRadioButton>(h, "Facts10Menu", format.option);
            QCOMPARE(option->text(), QLatin1String(format.caption));
            option->click();
            control<QPushButton>(h, "Facts10Menu", "AcceptButt")->click();
            SEEN("FactsProblems");
            QCOMPARE(h.window(QStringLiteral("FactsProblems"))->windowTitle(), QStringLiteral("Facts of Ten"));

            h.voice->spoken.clear();
            h.random->draws = {valueDraw(values[0], 1)};
            h.clock->time = QDateTime(QDate(2026, 12, 6), QTime(11, 0, 0));
            pressEnter(control(h, "FactsProblems", "NextProbButt"));
            QStringList said;
            for (int i = 0; i < 10; ++i) {
                const int value = values[i];
                const QString shown =
                    format.left == 10 ? QStringLiteral("10-?=%1").arg(value) : QStringLiteral("%1+?=10").arg(value);
                const QString sign = format.left == 10 ? QStringLiteral("-") : text(h, "FactsProblems", "FactsSign");
                QCOMPARE(text(h, "FactsProblems", "FactsVariable") + sign + QStringLiteral("?=") +
                             text(h, "FactsProblems", "FactsConstant"),
                         shown);
                said << format.reading.arg(value);
                if (value == 3) {
                    h.random->draws.push_back(rowDraw(3, 7));
                    answer(h, 6);
                    said << QStringLiteral("Wrong") << format.correction << format.reading.arg(value);
                    QCOMPARE(text(h, "FactsProblems", "FactsAnsFix"), QStringLiteral("7"));
                }
                h.random->draws.push_back(rowDraw(2, 10));
                if (i < 9)
                    h.random->draws.push_back(valueDraw(values[i + 1], 1));
                answer(h, 10 - value);
                said << QStringLiteral("Yes!");
            }
            said << QStringLiteral("Get your score.");
            QCOMPARE(h.voice->spoken, said);

            h.clock->advanceSeconds(20);
            pressEnter(control(h, "FactsProblems", "NextProbButt"));
            SEEN("ScoreForm");
            QCOMPARE(text(h, "ScoreForm", "Percent") + "|" + text(h, "ScoreForm", "Seconds"), QStringLiteral("90|2"));
            records += format.record;
            QCOMPARE(readFile(h.folder() + QStringLiteral("/Madtr")), records);
            control<QPushButton>(h, "ScoreForm", "DoOver")->click();
        }
        SEEN("Facts10Menu");
    }

    // A teacher's visit: a new password, twenty facts, goals of 3.0 seconds
    // and 90 percent, Peedy for the voice, a greeting and a name, a
    // worksheet, the records saved, renamed and deleted, the menu bar
    // hidden; then the program starts again in the same folder with every
    // change in force.
    void aTeachersVisitAndANewStart()
    {
        Harness h;
        h.start();
        const QByteArray records = "12/05/26   Ann Lee         x7     V   0->9   10  80|100   4.5|5.0  0.7  \r\n"
                                   "12/05/26   Bo Diaz         F10    1          10  90|100   2|5.0    0.3  \r\n";
        const QString madtr = h.folder() + QStringLiteral("/Madtr");
        {
            QFile file(madtr);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(records);
        }
        const QByteArray firstAdWord = h.readRaw(QStringLiteral("AdWord"));

        // The password, changed: the old one first, then the new one twice.
        typeAccessCode(h);
        SEEN("GetPassW");
        QCOMPARE(h.window(QStringLiteral("GetPassW"))->windowTitle(), QStringLiteral("Password"));
        control<QPushButton>(h, "GetPassW", "ChangeButt")->click();
        QTest::keyClicks(passwordBox(h), QStringLiteral("maple"));
        SEEN("GetPassW");
        QCOMPARE(h.window(QStringLiteral("GetPassW"))->windowTitle(), QStringLiteral("Change Password"));
        QCOMPARE(text(h, "GetPassW", "Label1"), QStringLiteral("Type the new password in both boxes."));
        QTest::keyClicks(passwordBox(h), QStringLiteral("tiger"));
        QTest::keyClicks(passwordBox(h, "Text2"), QStringLiteral("tiger"));
        QCOMPARE(passwordBox(h, "Text2")->displayText(), QStringLiteral("*****"));
        control<QPushButton>(h, "GetPassW", "Command1")->click();
        QCOMPARE(h.boxes->titles(), QStringList({"Password Saved"}));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("Your new password has been saved."));
        QByteArray adWord = firstAdWord;
        for (int i = 0; i < 5; ++i)
            adWord[5 + 6 * i] = "tiger"[i];
        QCOMPARE(h.readRaw(QStringLiteral("AdWord")), adWord);
        SEEN("Company");

        // The old password opens nothing now; the new one the Utility Menu.
        openUtilityMenu(h, QStringLiteral("maple"));
        QVERIFY(!shown(h, QStringLiteral("UtilityForm")));
        passwordBox(h)->clear();
        QTest::keyClicks(passwordBox(h), QStringLiteral("tiger"));
        SEEN("UtilityForm");

        // The number of facts and both goals, each from its sub-menu.
        const std::tuple<const char *, const char *, int, const char *, QByteArray> settings[] = {
            {"SetFacts", "Number of Facts", 2, "Facts", " 20 \r\n"},
            {"SetSpeedGoals", "Speed Goal", 3, "Sg", "3.0\r\n"},
            {"SetAccuracyGoals", "Accuracy Goal", 3, "Ag", "90\r\n"},
        };
        for (const auto &[choice, caption, number, file, written] : settings) {
            chooseUtility(h, QLatin1String(choice));
            SEEN("SubUtility");
            QCOMPARE(h.window(QStringLiteral("SubUtility"))->windowTitle(), QLatin1String(caption));
            acceptSubOption(h, number);
            QCOMPARE(h.readRaw(QLatin1String(file)), written);
            SEEN("UtilityForm");
        }
        QCOMPARE(h.sound->played,
                 QStringList(3, h.folder() + QStringLiteral("/Pop.wav"))); // the sub-menu's click, each time

        // Peedy instead of the voice.
        h.boxes->asked.clear();
        chooseUtility(h, QStringLiteral("Speech"));
        SEEN("ControlPeedy");
        QCOMPARE(h.window(QStringLiteral("ControlPeedy"))->windowTitle(), QStringLiteral("Control Speech"));
        QVERIFY(control<QCheckBox>(h, "ControlPeedy", "VoiceEnabledBox")->isChecked());
        control<QCheckBox>(h, "ControlPeedy", "StudentEnabledBox")->click();
        QVERIFY(!control<QCheckBox>(h, "ControlPeedy", "VoiceEnabledBox")->isChecked());
        QVERIFY(!control<QCheckBox>(h, "ControlPeedy", "VoiceFeedbackBox")->isEnabled());
        h.character->log.clear();
        control<QPushButton>(h, "ControlPeedy", "AcceptButt")->click();
        QCOMPARE(h.boxes->titles(), QStringList({"Peedy Changes Recorded"}));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("Changes, if any, have been recorded."));
        for (const char *file : {"PShow", "PShowT", "PFback", "PCom", "PRew"})
            QCOMPARE(h.readRaw(QLatin1String(file)), QByteArray("True\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("TTS")), QByteArray("False\r\n"));
        // He stays with the teacher, on his perch.
        QVERIFY(h.character->log.contains(QStringLiteral("show")));
        SEEN("UtilityForm");

        // A greeting of the teacher's own, and a name instead of the
        // student's, heard once before they are kept.
        h.boxes->asked.clear();
        chooseUtility(h, QStringLiteral("Speech"));
        SEEN("ControlPeedy");
        QVERIFY(control<QCheckBox>(h, "ControlPeedy", "StudentEnabledBox")->isChecked());
        control<QCheckBox>(h, "ControlPeedy", "PeedyGreetingBox")->click();
        SEEN("GetGreeting");
        QCOMPARE(h.window(QStringLiteral("GetGreeting"))->windowTitle(), QStringLiteral("Customize Greetings"));
        QVERIFY(control<QCheckBox>(h, "GetGreeting", "AllowUserName")->isChecked());
        QVERIFY(!control(h, "GetGreeting", "Text2")->isVisible());
        typeInto(control(h, "GetGreeting", "Text1"), QStringLiteral("Good morning, class!"));
        control<QCheckBox>(h, "GetGreeting", "AllowUserName")->click();
        typeInto(control(h, "GetGreeting", "Text2"), QStringLiteral("friends"));
        h.character->log.clear();
        control<QPushButton>(h, "GetGreeting", "PrevIntroButt")->click();
        control<QPushButton>(h, "GetGreeting", "PrevNameButt")->click();
        QCOMPARE(h.character->spoken(), QStringList({"Good morning, class!", "friends"}));
        control<QPushButton>(h, "GetGreeting", "AcceptButt")->click();
        QCOMPARE(h.boxes->titles(), QStringList({"Changes Recorded"}));
        QCOMPARE(h.readRaw(QStringLiteral("MGreet")), QByteArray("IntegrateNo\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PName")), QByteArray("friends\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("PGreet")), QByteArray("Good morning, class!\r\n"));
        QCOMPARE(h.readRaw(QStringLiteral("NoGreet")), QByteArray("False\r\n"));
        SEEN("ControlPeedy");
        QVERIFY(!control<QCheckBox>(h, "ControlPeedy", "PeedyGreetingBox")->isChecked());
        h.window(QStringLiteral("ControlPeedy"))->close();
        SEEN("UtilityForm");

        // A multiplication worksheet with a message, to the printer.
        h.boxes->asked.clear();
        chooseUtility(h, QStringLiteral("PrintTest"));
        SEEN("Test");
        QCOMPARE(h.window(QStringLiteral("Test"))->windowTitle(), QStringLiteral("Print Test"));
        realDoubleClick(control(h, "Test", "Multiplication"));
        SEEN("MessageForm");
        QCOMPARE(h.window(QStringLiteral("MessageForm"))->windowTitle(),
                 QStringLiteral("Print  Multiplication Facts  Test"));
        auto *message = control<QLineEdit>(h, "MessageForm", "Text1");
        typeInto(message, QStringLiteral("Room 12, Friday"));
        pressEnter(message);
        QCOMPARE(h.printing->jobs, QStringList({"Multiplication Facts"}));
        QCOMPARE(h.printing->pages.size(), 1);
        const PrintPage &page = h.printing->pages[0];
        QCOMPARE(page.lines[2].pieces.value(0).text,
                 QStringLiteral("Name_________________________________________  Date______________         "
                                "Multiplication Facts"));
        QCOMPARE(page.lines[5].pieces, QList<PrintPiece>({{1, QStringLiteral("Room 12, Friday")}}));
        // Ten rows of five facts: "A x B =__" over "A x __= product".
        const QRegularExpression product(QStringLiteral("^ (\\d+)  x  ([2-9])  =__$"));
        const QRegularExpression factor(QStringLiteral("^ (\\d+)  x __= (\\d+) $"));
        int facts = 0;
        for (const PrintLine &line : page.lines) {
            for (const PrintPiece &piece : line.pieces) {
                const auto p = product.match(piece.text);
                const auto f = factor.match(piece.text);
                if (p.hasMatch() || f.hasMatch())
                    ++facts;
                if (line.pointSize == 14)
                    QVERIFY2(p.hasMatch() || f.hasMatch(), qPrintable(piece.text));
            }
        }
        QCOMPARE(facts, 50);
        QCOMPARE(h.boxes->titles(), QStringList({"Printing"}));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("Printing (1) multiplication facts test(s)..."));
        SEEN("Test");
        h.window(QStringLiteral("Test"))->close();
        SEEN("UtilityForm");

        // The records: saved twice, one copy renamed, the other removed, and
        // the current records deleted.
        h.boxes->asked.clear();
        chooseUtility(h, QStringLiteral("Records"));
        SEEN("SubUtility");
        QCOMPARE(h.window(QStringLiteral("SubUtility"))->windowTitle(), QStringLiteral("Records"));
        for (const char *name : {"May", "Spare"}) {
            h.boxes->answers = {MsgYes};
            acceptSubOption(h, 3);
            SEEN("RecordsForm");
            SEEN("SaveRecordsForm");
            auto *box = control<QLineEdit>(h, "SaveRecordsForm", "Text1");
            typeInto(box, QLatin1String(name));
            pressEnter(box);
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            SEEN("SubUtility");
        }
        QCOMPARE(h.boxes->titles(),
                 QStringList({"Save Current Records", "Records Saved", "Save Current Records", "Records Saved"}));
        const QString sdat = h.folder() + QStringLiteral("/SDat/");
        QCOMPARE(entries(sdat), QStringList({"May", "Spare"}));
        QCOMPARE(readFile(sdat + QStringLiteral("May")), records);

        h.boxes->asked.clear();
        acceptSubOption(h, 6);
        SEEN("SavedRecordsForm");
        QCOMPARE(h.window(QStringLiteral("SavedRecordsForm"))->windowTitle(), QStringLiteral("Rename Saved Records"));
        auto *list = control<QListWidget>(h, "SavedRecordsForm", "File1");
        list->setCurrentItem(list->findItems(QStringLiteral("May"), Qt::MatchExactly).value(0));
        auto *newName = control<QLineEdit>(h, "SavedRecordsForm", "NewName");
        typeInto(newName, QStringLiteral("June"));
        pressEnter(newName);
        QCOMPARE(entries(sdat), QStringList({"June", "Spare"}));
        h.window(QStringLiteral("SavedRecordsForm"))->close();
        SEEN("SubUtility");

        h.boxes->answers = {MsgYes};
        acceptSubOption(h, 5);
        SEEN("SavedRecordsForm");
        QCOMPARE(h.window(QStringLiteral("SavedRecordsForm"))->windowTitle(), QStringLiteral("Delete Saved Records"));
        list->setCurrentItem(list->findItems(QStringLiteral("Spare"), Qt::MatchExactly).value(0));
        control<QPushButton>(h, "SavedRecordsForm", "AcceptFileButt")->click();
        QCOMPARE(entries(sdat), QStringList({"June"}));
        QCOMPARE(readFile(sdat + QStringLiteral("June")), records);
        h.window(QStringLiteral("SavedRecordsForm"))->close();
        SEEN("SubUtility");

        h.boxes->answers = {MsgYes};
        acceptSubOption(h, 2);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(h.boxes->titles(),
                 QStringList({"Records Renamed", "Delete Saved Records", "Saved Records Deleted",
                              "Delete Current Records", "Current Records Deleted"}));
        QCOMPARE(readFile(madtr), QByteArray());
        SEEN("SubUtility");
        h.window(QStringLiteral("SubUtility"))->close();
        SEEN("UtilityForm");

        // The information menus hidden from the students.
        h.boxes->asked.clear();
        chooseUtility(h, QStringLiteral("MenuBar"));
        SEEN("SubUtility");
        acceptSubOption(h, 2);
        QCOMPARE(h.boxes->titles(), QStringList({"Invisible"}));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("The Menu Bar is now invisible."));
        QCOMPARE(h.readRaw(QStringLiteral("Mbar")), QByteArray("Invisible\r\n"));
        QVERIFY(!h.window(QStringLiteral("Company"))->findChild<QMenuBar *>()->isVisible());
        SEEN("UtilityForm");

        // The fluency grid from the Utility Menu's menu bar: no drill has been
        // logged in this folder, so there is nobody to show, print or export.
        h.find<QAction>(QStringLiteral("FluencyGrid"))->trigger();
        SEEN("FluencyForm");
        QTRY_VERIFY(!control(h, "FluencyForm", "ProgressBar")->isVisible()); // the log is read
        QCOMPARE(control<QComboBox>(h, "FluencyForm", "StudentList")->count(), 0);
        QVERIFY(!control(h, "FluencyForm", "PrintButt")->isEnabled());
        QVERIFY(!control(h, "FluencyForm", "ExportButt")->isEnabled());
        h.window(QStringLiteral("FluencyForm"))->close();
        SEEN("UtilityForm");

        h.window(QStringLiteral("UtilityForm"))->close();
        SEEN("Company");
        // Nothing of the teacher's way in is left for the next student to see.
        QCOMPARE(control<QLineEdit>(h, "Company", "Text1")->text(), QString());

        // Every file as the visit left it, and every change in force after a
        // new start in the same folder.
        QMap<QString, QByteArray> files;
        for (const QString &name : entries(h.folder() + QStringLiteral("/Files")))
            files[name] = h.readRaw(name);
        h.restart();
        h.start();
        for (auto it = files.cbegin(); it != files.cend(); ++it)
            QCOMPARE(h.readRaw(it.key()), it.value());
        QCOMPARE(entries(sdat), QStringList({"June"}));
        QCOMPARE(readFile(madtr), QByteArray());

        SEEN("Company");
        QVERIFY(!h.window(QStringLiteral("Company"))->findChild<QMenuBar *>()->isVisible());
        // Peedy greets with the teacher's words; the voice says nothing.
        QCOMPARE(h.character->spoken(), QStringList({"Good morning, class!"}));
        QVERIFY(h.character->log.contains(QStringLiteral("play Greet")));
        QCOMPARE(h.voice->spoken, QStringList());

        openUtilityMenu(h, QStringLiteral("maple"));
        QVERIFY(!shown(h, QStringLiteral("UtilityForm")));
        passwordBox(h)->clear();
        QTest::keyClicks(passwordBox(h), QStringLiteral("tiger"));
        SEEN("UtilityForm");
        const std::tuple<const char *, int> inForce[] = {
            {"SetFacts", 2}, {"SetSpeedGoals", 3}, {"SetAccuracyGoals", 3}, {"MenuBar", 2}};
        for (const auto &[choice, number] : inForce) {
            chooseUtility(h, QLatin1String(choice));
            SEEN("SubUtility");
            QVERIFY2(option(h, QStringLiteral("SubUtility"), QStringLiteral("Option%1").arg(number))->isChecked(),
                     choice);
            h.window(QStringLiteral("SubUtility"))->close();
        }
        chooseUtility(h, QStringLiteral("Speech"));
        SEEN("ControlPeedy");
        QVERIFY(control<QCheckBox>(h, "ControlPeedy", "StudentEnabledBox")->isChecked());
        QVERIFY(!control<QCheckBox>(h, "ControlPeedy", "VoiceEnabledBox")->isChecked());
        control<QCheckBox>(h, "ControlPeedy", "PeedyGreetingBox")->click();
        SEEN("GetGreeting");
        QCOMPARE(control<QPlainTextEdit>(h, "GetGreeting", "Text1")->toPlainText(),
                 QStringLiteral("Good morning, class!"));
        QCOMPARE(control<QLineEdit>(h, "GetGreeting", "Text2")->text(), QStringLiteral("friends"));
        h.window(QStringLiteral("GetGreeting"))->close();
        h.window(QStringLiteral("ControlPeedy"))->close();
        h.window(QStringLiteral("UtilityForm"))->close();

        // A student's next drill has twenty facts, and Peedy calls her by
        // the teacher's name for the class.
        auto *name = control<QLineEdit>(h, "Company", "Text1");
        typeInto(name, QStringLiteral("Ann Lee"));
        pressEnter(name);
        SEEN("MainMenu");
        control<QPushButton>(h, "MainMenu", "AcceptButt")->click();
        control<QPushButton>(h, "ChooseMenuMF", "AcceptButt")->click();
        SEEN("FactsProblems");
        QCOMPARE(text(h, "FactsProblems", "Label8"), QStringLiteral("20"));
        QCOMPARE(h.state().SpokenName, QStringLiteral("friends"));
    }
};

QTEST_MAIN(TestRoads)
#include "test_roads.moc"
