#include "app/company.h"
#include "app/twips.h"
#include "drill/factsproblems.h"
#include "drill/scoreform.h"
#include "drill/scoring.h"
#include "records/recordsview.h"
#include "settings/settingkeys.h"
#include "support/harness.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

const QString BothShort = QStringLiteral("You need to increase your speed and accuracy.");
const QString SpeedShort = QStringLiteral("You need to increase your speed.");
const QString AccuracyShort = QStringLiteral("You need to increase your accuracy.");

const QColor Cyan(0, 255, 255);
const QColor Teal(0, 192, 192);

// A started harness with the plus-5 drill of a student named "student" and
// goals 90 and 3, everyone silent; tests change what they need.
void prepare(Harness &h)
{
    h.start();
    AppState &s = h.state();
    h.settings().setForThisRun(keys::PeedyEnabled, false);
    h.settings().setForThisRun(keys::VoiceEnabled, false);
    s.StudentName = QStringLiteral("student");
    s.SpokenName = QStringLiteral("Bob");
    s.ActivityCode = QStringLiteral("+5");
    s.FormatCode = QStringLiteral("H");
    s.RangeCode = QStringLiteral("0->9");
    h.settings().setForThisRun(keys::AccuracyGoal, QStringLiteral("90"));
    h.settings().setForThisRun(keys::SpeedGoal, QStringLiteral("3"));
}

// The drill window's state at the "Get Score" press: every fact answered,
// `wrong` of them missed at the first try, `seconds` after "Start".
void finishDrill(Harness &h, int facts, int wrong, int seconds)
{
    AppState &s = h.state();
    h.settings().setForThisRun(keys::FactsCount, facts);
    s.Drill.FactNumber = facts + 1;
    s.Drill.RightCount = facts - wrong;
    s.Drill.WrongCount = wrong;
    s.StartSeconds = secondsSinceMidnight(h.clock->time.time());
    h.clock->advanceSeconds(seconds);
    h.app().scoreForm().GetScore();
}

QString text(Harness &h, const char *name)
{
    return h.findIn<QLabel>(QStringLiteral("ScoreForm"), QLatin1String(name))->text();
}

QColor background(Harness &h, const char *name)
{
    return h.findIn<QLabel>(QStringLiteral("ScoreForm"), QLatin1String(name))->palette().color(QPalette::Window);
}

QColor buttonFace(Harness &h)
{
    return h.findIn<QLabel>(QStringLiteral("ScoreForm"), QStringLiteral("NeedTo"))->palette().color(QPalette::Button);
}

QAction *action(Harness &h, const QString &window, const QString &name)
{
    for (QAction *a : h.window(window)->findChildren<QAction *>())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

QByteArray madtr(Harness &h)
{
    QFile file(QDir(h.folder()).filePath(QStringLiteral("Madtr")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray crlf(const QString &line)
{
    return line.toLatin1() + "\r\n";
}

} // namespace

class TestScoreForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void theScoreScreenShowsTheDrill_data()
    {
        QTest::addColumn<int>("facts");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("speedGoal");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<QString>("speed");
        QTest::addColumn<QString>("message");
        QTest::addColumn<QColor>("colour");
        QTest::addColumn<int>("left");
        QTest::addColumn<int>("width");
        QTest::addColumn<QColor>("agoal");
        QTest::addColumn<QColor>("sgoal");

        const QColor face; // the button face
        QTest::newRow("both goals met") << 10 << 1 << 25 << "3"
                                        << "90"
                                        << "2.5"
                                        << "" << face << 0 << 0 << face << face;
        QTest::newRow("30 facts, 2 wrong") << 30 << 2 << 60 << "3"
                                           << "93.3"
                                           << "2"
                                           << "" << face << 0 << 0 << face << face;
        QTest::newRow("equal to both goals") << 10 << 1 << 30 << "3"
                                             << "90"
                                             << "3"
                                             << "" << face << 0 << 0 << face << face;
        QTest::newRow("cut, not rounded") << 30 << 1 << 100 << "4"
                                          << "96.6"
                                          << "3.33"
                                          << "" << face << 0 << 0 << face << face;
        QTest::newRow("below a second") << 10 << 0 << 9 << "3"
                                        << "100"
                                        << "0.9"
                                        << "" << face << 0 << 0 << face << face;
        QTest::newRow("accuracy short") << 10 << 2 << 20 << "3"
                                        << "80"
                                        << "2" << AccuracyShort << Cyan << 1000 << 4700 << Cyan << face;
        QTest::newRow("100 percent but slow") << 10 << 0 << 40 << "3"
                                              << "100"
                                              << "4" << SpeedShort << Teal << 1200 << 4200 << face << Teal;
        QTest::newRow("both short") << 10 << 3 << 40 << "3"
                                    << "70"
                                    << "4" << BothShort << Teal << 700 << 6000 << Teal << Teal;
        // The goal is the number its text begins with.
        QTest::newRow("goal with a word") << 10 << 0 << 30 << "2.5 sec"
                                          << "100"
                                          << "3" << SpeedShort << Teal << 1200 << 4200 << face << Teal;
    }
    void theScoreScreenShowsTheDrill()
    {
        QFETCH(int, facts);
        QFETCH(int, wrong);
        QFETCH(int, seconds);
        QFETCH(QString, speedGoal);
        QFETCH(QString, percent);
        QFETCH(QString, speed);
        QFETCH(QString, message);
        QFETCH(QColor, colour);
        QFETCH(int, left);
        QFETCH(int, width);
        QFETCH(QColor, agoal);
        QFETCH(QColor, sgoal);

        Harness h;
        prepare(h);
        h.settings().setForThisRun(keys::SpeedGoal, speedGoal);
        finishDrill(h, facts, wrong, seconds);

        QWidget *screen = h.window(QStringLiteral("ScoreForm"));
        QVERIFY(screen->isVisible());
        QCOMPARE(screen->windowTitle(), QStringLiteral("Your Score"));
        QCOMPARE(text(h, "Percent"), percent);
        QCOMPARE(text(h, "Seconds"), speed);
        QCOMPARE(text(h, "AgoalLabel"), QStringLiteral("90%"));
        QCOMPARE(text(h, "SgoalLabel"), speedGoal);
        QCOMPARE(text(h, "NeedTo"), message);
        const QColor face = buttonFace(h);
        QCOMPARE(background(h, "NeedTo"), colour.isValid() ? colour : face);
        QCOMPARE(background(h, "AgoalLabel"), agoal.isValid() ? agoal : face);
        QCOMPARE(background(h, "SgoalLabel"), sgoal.isValid() ? sgoal : face);
        if (width > 0) {
            auto *needTo = h.findIn<QLabel>(QStringLiteral("ScoreForm"), QStringLiteral("NeedTo"));
            QCOMPARE(needTo->x(), twips(left));
            QCOMPARE(needTo->width(), twips(width));
        }

        // The drill is over: its window is gone, the name panel hidden and
        // the counters ready for the next drill.
        QVERIFY(!h.window(QStringLiteral("FactsProblems"))->isVisible());
        QVERIFY(!h.find<QFrame>(QStringLiteral("Frame1"))->isVisible());
        QCOMPARE(h.state().Drill.FactNumber, 0);
        QCOMPARE(h.state().Drill.RightCount, 0);
        QCOMPARE(h.state().Drill.WrongCount, 0);
    }

    void theRecordIsWrittenByteForByte_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("range");
        QTest::addColumn<int>("facts");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("accuracyGoal");
        QTest::addColumn<QString>("speedGoal");
        QTest::addColumn<QString>("line");

        QTest::newRow("the plus-5 example")
            << "student"
            << "+5"
            << "H"
            << "0->9" << 10 << 1 << 25 << "90"
            << "3"
            << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *";
        QTest::newRow("16-character name")
            << "Abigail Robinson"
            << "+5"
            << "H"
            << "0->9" << 10 << 1 << 25 << "90"
            << "3"
            << "12/06/26   Abigail Robinson+5     H   0->9   10  90|90    2.5|3    0.4  *";
        QTest::newRow("perfect 20 facts")
            << "student"
            << "x7"
            << "V"
            << "0->12" << 20 << 0 << 30 << "100"
            << "2"
            << "12/06/26   student         x7     V   0->12  20  100|100  1.5|2    0.5  *";
        QTest::newRow("facts of ten, no range yet")
            << "student"
            << "F10"
            << "1"
            << "" << 10 << 1 << 25 << "90"
            << "3"
            << "12/06/26   student         F10    1          10  90|90    2.5|3    0.4  *";
        QTest::newRow("speed below a second")
            << "student"
            << "+5"
            << "H"
            << "0->9" << 10 << 0 << 8 << "90"
            << "1"
            << "12/06/26   student         +5     H   0->9   10  100|90   .8|1     0.1  *";
        QTest::newRow("long speed text")
            << "student"
            << "+5"
            << "H"
            << "0->9" << 30 << 1 << 100 << "90"
            << "4"
            << "12/06/26   student         +5     H   0->9   30  96|90    3.33333333333333|41.6  *";
        QTest::newRow("twelve minutes, goals met exactly")
            << "student"
            << "+5"
            << "H"
            << "0->9" << 50 << 5 << 750 << "90"
            << "15"
            << "12/06/26   student         +5     H   0->9   50  90|90    15|15    12.  *";
        QTest::newRow("division sign, one point short")
            << "student" << QStringLiteral("\u00F7") + "3"
            << "H"
            << "0->9" << 10 << 1 << 25 << "91"
            << "3" << QStringLiteral("12/06/26   student         \u00F73     H   0->9   10  90|91    2.5|3    0.4  ");
        QTest::newRow("goals stored with blanks")
            << "student"
            << "+5"
            << "H"
            << "0->9" << 10 << 1 << 25 << " 90 "
            << " 3"
            << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *";
    }
    void theRecordIsWrittenByteForByte()
    {
        QFETCH(QString, name);
        QFETCH(QString, activity);
        QFETCH(QString, format);
        QFETCH(QString, range);
        QFETCH(int, facts);
        QFETCH(int, wrong);
        QFETCH(int, seconds);
        QFETCH(QString, accuracyGoal);
        QFETCH(QString, speedGoal);
        QFETCH(QString, line);

        Harness h;
        prepare(h);
        AppState &s = h.state();
        s.StudentName = name;
        s.ActivityCode = activity;
        s.FormatCode = format;
        s.RangeCode = range;
        h.settings().setForThisRun(keys::AccuracyGoal, accuracyGoal);
        h.settings().setForThisRun(keys::SpeedGoal, speedGoal);
        QVERIFY(!QFile::exists(QDir(h.folder()).filePath(QStringLiteral("Madtr"))));
        finishDrill(h, facts, wrong, seconds);
        QCOMPARE(madtr(h), crlf(line));
        QVERIFY(h.boxes->asked.empty());
    }

    void recordsAreAppended()
    {
        Harness h;
        prepare(h);
        finishDrill(h, 10, 1, 25);
        h.app().scoreForm().DoOver_Click();
        h.state().StudentName = QStringLiteral("Ann Lee");
        finishDrill(h, 10, 0, 50);
        QCOMPARE(madtr(h),
                 crlf("12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *") +
                     crlf("12/06/26   Ann Lee         +5     H   0->9   10  100|90   5|3      0.8  "));
    }

    void aDrillPastMidnightEndsOnTheNextDay()
    {
        Harness h;
        prepare(h);
        h.clock->time = QDateTime(QDate(2026, 12, 6), QTime(23, 59, 50));
        finishDrill(h, 10, 1, 25);
        QCOMPARE(h.clock->time.time(), QTime(0, 0, 15));
        QCOMPARE(text(h, "Seconds"), QStringLiteral("2.5"));
        QCOMPARE(text(h, "NeedTo"), QString());
        QCOMPARE(madtr(h), crlf("12/07/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *"));
    }

    void aFailedAppendIsToldAndTheScoreStays()
    {
        Harness h;
        prepare(h);
        // A folder in the file's place cannot be appended to, even by root.
        QVERIFY(QDir(h.folder()).mkdir(QStringLiteral("Madtr")));
        h.boxes->onAsk = [&h](const FakeMessageBoxes::Asked &) {
            // The student still sees the score behind the message.
            QVERIFY(h.window(QStringLiteral("ScoreForm"))->isVisible());
        };
        finishDrill(h, 10, 1, 25);

        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Drill Not Recorded")});
        const FakeMessageBoxes::Asked &told = h.boxes->asked.front();
        QCOMPARE(told.icon, MsgIcon::Critical);
        QCOMPARE(told.buttons, MsgButtons::Ok);
        QVERIFY(told.text.contains(QStringLiteral("teacher")));
        QVERIFY(told.text.contains(QStringLiteral("student")));
        QVERIFY(told.text.contains(QStringLiteral("\"Madtr\"")));
        QVERIFY(h.window(QStringLiteral("ScoreForm"))->isVisible());
        QCOMPARE(text(h, "Percent"), QStringLiteral("90"));
        QCOMPARE(h.state().Drill.FactNumber, 0);
        QVERIFY(!h.programEnded());
    }

    void anUnfinishedDrillRecordsWhatWasAnswered_data()
    {
        QTest::addColumn<int>("factNumber");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QString>("line");

        QTest::newRow("three answered, one missed")
            << 4 << 1 << 30 << "12/06/26   Bob             +5     H   0->9   10  66|90    10|3     Inc  ";
        QTest::newRow("closed on the first fact")
            << 1 << 0 << 5 << "12/06/26   Bob             +5     H   0->9   10  0|90     0|3      Inc  ";
        // Every fact answered but the score not taken: a record all the
        // same, and never the goals-met mark.
        QTest::newRow("Get Score pending")
            << 11 << 0 << 20 << "12/06/26   Bob             +5     H   0->9   10  100|90   2|3      Inc  ";
    }
    void anUnfinishedDrillRecordsWhatWasAnswered()
    {
        QFETCH(int, factNumber);
        QFETCH(int, wrong);
        QFETCH(int, seconds);
        QFETCH(QString, line);

        Harness h;
        prepare(h);
        AppState &s = h.state();
        s.StudentName = QStringLiteral("Bob");
        h.settings().setForThisRun(keys::FactsCount, 10);
        // A perfect drill scored before must not show through.
        s.Speed = 1.0;
        s.Drill.FactNumber = factNumber;
        s.Drill.WrongCount = wrong;
        s.StartSeconds = secondsSinceMidnight(h.clock->time.time());
        h.clock->advanceSeconds(seconds);
        h.app().scoreForm().recordIncompleteDrill(DrillEnd::ProgramGoesOn);

        QCOMPARE(madtr(h), crlf(line));
        QCOMPARE(s.Speed, 1.0);
        QVERIFY(!h.window(QStringLiteral("ScoreForm"))->isVisible());
    }

    void goalCommentsAreSpoken_data()
    {
        QTest::addColumn<bool>("peedy");
        QTest::addColumn<bool>("voice");
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("peedySaid");
        QTest::addColumn<QStringList>("voiceSaid");

        QTest::newRow("both short, Peedy speaks for both")
            << true << true << 3 << 40 << QStringList {BothShort} << QStringList {};
        QTest::newRow("both short, voice alone")
            << false << true << 3 << 40 << QStringList {} << QStringList {BothShort};
        QTest::newRow("speed short") << true << true << 0 << 40 << QStringList {SpeedShort} << QStringList {SpeedShort};
        QTest::newRow("accuracy short") << true << false << 2 << 20 << QStringList {AccuracyShort} << QStringList {};
        QTest::newRow("goals met") << true << true << 1 << 25 << QStringList {} << QStringList {};
    }
    void goalCommentsAreSpoken()
    {
        QFETCH(bool, peedy);
        QFETCH(bool, voice);
        QFETCH(int, wrong);
        QFETCH(int, seconds);
        QFETCH(QStringList, peedySaid);
        QFETCH(QStringList, voiceSaid);

        Harness h;
        prepare(h);
        // Peedy's switch is on either way: only PeedyEnabled silences him.
        h.settings().setForThisRun(keys::PeedyEnabled, peedy);
        h.settings().setForThisRun(keys::PeedyComments, true);
        h.settings().setForThisRun(keys::VoiceEnabled, voice);
        h.settings().setForThisRun(keys::VoiceComments, true);
        h.settings().setForThisRun(keys::PeedyRewards, false);
        h.settings().setForThisRun(keys::VoiceRewards, false);
        h.character->log.clear();
        finishDrill(h, 10, wrong, seconds);
        QCOMPARE(h.character->spoken(), peedySaid);
        QCOMPARE(h.voice->spoken, voiceSaid);
    }

    void rewardsArePraiseAndPerfectScore_data()
    {
        QTest::addColumn<int>("wrong");
        QTest::addColumn<int>("seconds");
        QTest::addColumn<QStringList>("peedyLog");
        QTest::addColumn<QStringList>("voiceSaid");
        QTest::addColumn<int>("reseeds");

        const QString perch = QStringLiteral("move 40,150");
        QTest::newRow("perfect within the goal")
            << 0 << 30
            << QStringList {perch, "play Congratulate", "speak ~Per fect ~score.", "speak I am ~proud of you.Bob?"}
            << QStringList {"Perfect score!", "Way to go!Bob?"} << 2;
        QTest::newRow("goals met") << 1 << 25 << QStringList {perch, "speak I am ~proud of you.Bob?"}
                                   << QStringList {"Way to go!Bob?"} << 2;
        QTest::newRow("100 percent but slow") << 0 << 31 << QStringList {perch} << QStringList {} << 0;
        QTest::newRow("accuracy short") << 2 << 20 << QStringList {perch} << QStringList {} << 0;
    }
    void rewardsArePraiseAndPerfectScore()
    {
        QFETCH(int, wrong);
        QFETCH(int, seconds);
        QFETCH(QStringList, peedyLog);
        QFETCH(QStringList, voiceSaid);
        QFETCH(int, reseeds);

        Harness h;
        prepare(h);
        h.settings().setForThisRun(keys::PerchStyle, QStringLiteral("Standard"));
        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.settings().setForThisRun(keys::VoiceEnabled, true);
        h.settings().setForThisRun(keys::PeedyComments, false);
        h.settings().setForThisRun(keys::VoiceComments, false);
        h.settings().setForThisRun(keys::PeedyRewards, true);
        h.settings().setForThisRun(keys::VoiceRewards, true);
        // Peedy draws row 1, the voice row 5, each after a reseed.
        h.random->draws = {0.0, 0.99};
        const int before = h.random->reseeds;
        h.character->log.clear();
        finishDrill(h, 10, wrong, seconds);
        QCOMPARE(h.character->log, peedyLog);
        QCOMPARE(h.voice->spoken, voiceSaid);
        QCOMPARE(h.random->reseeds - before, reseeds);
    }

    void continueReturnsToTheMenuOfTheDrill_data()
    {
        QTest::addColumn<bool>("factsOfTen");
        QTest::addColumn<QString>("menu");
        QTest::newRow("fact menu") << false << "ChooseMenuMF";
        QTest::newRow("facts of ten") << true << "Facts10Menu";
    }
    void continueReturnsToTheMenuOfTheDrill()
    {
        QFETCH(bool, factsOfTen);
        QFETCH(QString, menu);

        Harness h;
        prepare(h);
        h.state().FactsOfTenActive = factsOfTen;
        h.state().Selection.factOption = 7;
        h.state().Drill.FactVariable = 4;
        finishDrill(h, 10, 3, 40);
        h.clock->advanceSeconds(1); // the score seen
        QTest::mouseClick(h.findIn<QPushButton>(QStringLiteral("ScoreForm"), QStringLiteral("DoOver")), Qt::LeftButton);
        QVERIFY(!h.window(QStringLiteral("ScoreForm"))->isVisible());
        QWidget *next = h.window(menu);
        QVERIFY(next && next->isVisible());
        QCOMPARE(h.state().Selection.factOption, 0);
        QCOMPARE(h.state().Drill.FactVariable, 0);
        QCOMPARE(background(h, "NeedTo"), buttonFace(h));
    }

    // A quick second Enter at "Get Score" is already on its way when the
    // score screen comes up, and a held Enter repeats; neither may press
    // Continue. The next Enter, once the score has been seen, does.
    void keysPressedBeforeTheScoreScreenDoNotPressContinue()
    {
        Harness h;
        prepare(h);
        QWidget *score = &h.app().scoreForm();
        const auto enter = [score](bool repeated) {
            // The window system hands a key to the control with the focus
            // when it takes the key from its queue.
            QWidget *target = score->focusWidget() ? score->focusWidget() : score;
            QKeyEvent press(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier, QStringLiteral("\r"), repeated);
            QApplication::sendEvent(target, &press);
        };
        QMetaObject::invokeMethod(
            qApp, [&] { enter(false); }, Qt::QueuedConnection);
        finishDrill(h, 10, 1, 25);
        QCoreApplication::processEvents();
        QVERIFY(score->isVisible());
        enter(true);
        QVERIFY(score->isVisible());
        QCOMPARE(text(h, "Percent"), QStringLiteral("90"));

        h.clock->advanceSeconds(1);
        enter(false);
        QVERIFY(!score->isVisible());
        QVERIFY(h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
    }

    void closingReturnsToTheMenuAndKeepsTheChoice()
    {
        Harness h;
        prepare(h);
        h.state().Selection.factOption = 7;
        finishDrill(h, 10, 3, 40);
        h.window(QStringLiteral("ScoreForm"))->close();
        QVERIFY(!h.window(QStringLiteral("ScoreForm"))->isVisible());
        QVERIFY(h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
        QCOMPARE(h.state().Selection.factOption, 7);

        // The next drill meets both goals: no colour is left behind its
        // empty message, whichever way the last score screen was left.
        finishDrill(h, 10, 0, 20);
        QCOMPARE(text(h, "NeedTo"), QString());
        QCOMPARE(background(h, "NeedTo"), buttonFace(h));
        QCOMPARE(background(h, "AgoalLabel"), buttonFace(h));
    }

    void quitAsksFirst()
    {
        Harness h;
        prepare(h);
        finishDrill(h, 10, 1, 25);
        QAction *quit = action(h, QStringLiteral("ScoreForm"), QStringLiteral("Quit"));
        QVERIFY(quit);
        h.boxes->answers = {MsgNo};
        quit->trigger();
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Do you want to quit?"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Quit Program"));
        QVERIFY(h.window(QStringLiteral("ScoreForm"))->isVisible());
        QCOMPARE(text(h, "Percent"), QStringLiteral("90"));
        QVERIFY(!h.programEnded());

        h.boxes->answers = {MsgYes};
        quit->trigger();
        QVERIFY(h.programEnded());
        QCOMPARE(h.boxes->asked.size(), std::size_t(2));
    }

    void helpExplainsTheValues()
    {
        Harness h;
        prepare(h);
        finishDrill(h, 10, 1, 25);
        QAction *help = action(h, QStringLiteral("ScoreForm"), QStringLiteral("Help"));
        QVERIFY(help);
        help->trigger();
        QWidget *assist = h.window(QStringLiteral("AssistForm"));
        QVERIFY(assist->isVisible());
        QCOMPARE(assist->windowTitle(), QStringLiteral("Your Score"));
        QVERIFY(h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))
                    ->text()
                    .startsWith(QStringLiteral("The Speed value is the average number of seconds")));
    }

    // A student's whole road through the real windows: the name, the
    // operation menu, the fact menu, a drill of ten plus-5 facts with one
    // missed, the score, the record, and the record in the viewer.
    void aStudentsWholeRoadEndsInTheRecord()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Ag"), "90\r\n");
        h.writeRaw(QStringLiteral("Sg"), "3.0\r\n");
        h.start();
        const auto click = [&h](const char *window, const char *control) {
            auto *button = h.findIn<QAbstractButton>(QLatin1String(window), QLatin1String(control));
            QVERIFY2(button && button->isVisible() && button->isEnabled(), control);
            QTest::mouseClick(button, Qt::LeftButton);
        };

        auto *name = h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"));
        name->setFocus();
        QTest::keyClicks(name, QStringLiteral("Bob Smith"));
        QTest::keyClick(name, Qt::Key_Return);
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        click("MainMenu", "AddOptButt");
        click("MainMenu", "AcceptButt");
        QVERIFY(h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
        click("ChooseMenuMF", "Option5");
        click("ChooseMenuMF", "AcceptButt");

        FactsProblems &drill = h.app().factsProblems();
        QVERIFY(drill.isVisible());
        drill.setPauses(0ms, 0ms);
        auto *answer = h.findIn<QLineEdit>(QStringLiteral("FactsProblems"), QStringLiteral("Text1"));
        const auto number = [&h](const char *label) {
            return h.findIn<QLabel>(QStringLiteral("FactsProblems"), QLatin1String(label))->text().toInt();
        };
        const auto enter = [&](int value) {
            answer->setFocus();
            QTest::keyClicks(answer, QString::number(value));
            QTest::keyClick(answer, Qt::Key_Return);
            QTRY_VERIFY(!drill.isPausing());
        };

        click("FactsProblems", "NextProbButt"); // "Start" at 10:00:00
        for (int fact = 1; fact <= 10; ++fact) {
            h.clock->advanceSeconds(2);
            const int right = number("FactsVariable") + number("FactsConstant");
            QCOMPARE(number("FactsConstant"), 5);
            if (fact == 3) {
                enter(right + 1);
                QCOMPARE(number("FactsVariable") + number("FactsConstant"), right); // asked again
            }
            enter(right);
        }
        auto *next = h.findIn<QPushButton>(QStringLiteral("FactsProblems"), QStringLiteral("NextProbButt"));
        QCOMPARE(next->text(), QStringLiteral("Get Score"));
        h.clock->advanceSeconds(5); // 25 seconds after "Start"
        click("FactsProblems", "NextProbButt");

        QVERIFY(h.window(QStringLiteral("ScoreForm"))->isVisible());
        QVERIFY(!drill.isVisible());
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("FactsProblems"), QStringLiteral("FactsVariable"))->text(), QString());
        QCOMPARE(answer->text(), QString());
        QCOMPARE(text(h, "Percent"), QStringLiteral("90"));
        QCOMPARE(text(h, "Seconds"), QStringLiteral("2.5"));
        QCOMPARE(text(h, "SgoalLabel"), QStringLiteral("3.0"));
        const QString line =
            QStringLiteral("12/06/26   Bob Smith       +5     H   0->9   10  90|90    2.5|3.0  0.4  *");
        QCOMPARE(madtr(h), crlf(line));

        // Another drill is offered; the student goes back and views the record.
        h.clock->advanceSeconds(1);
        click("ScoreForm", "DoOver");
        QVERIFY(h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
        h.window(QStringLiteral("ChooseMenuMF"))->close();
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        click("MainMenu", "ViewRecordsOption");
        click("MainMenu", "AcceptButt");
        auto *records = h.findIn<RecordsView>(QStringLiteral("RecordsForm"), QStringLiteral("RecordsBox"));
        QVERIFY(records && records->isVisible());
        QCOMPARE(records->line(0), line);
        h.window(QStringLiteral("RecordsForm"))->close();
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(h.boxes->asked.empty());
    }
};

int main(int argc, char **argv)
{
    // Numbers and dates follow the system's locale; these tests are written
    // for a U.S. one.
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestScoreForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_scoreform.moc"
