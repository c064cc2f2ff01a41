#include "drill/recordline.h"
#include "drill/scoring.h"
#include "platform/filesizesignal.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "settings/textfile.h"
#include "speech/speech.h"
#include "support/corefakes.h"
#include "support/smalldisk.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#ifdef Q_OS_UNIX
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace plovista;

Q_DECLARE_METATYPE(plovista::DrillResult)
Q_DECLARE_METATYPE(plovista::RecordFields)

namespace {

const QString BothShort = QStringLiteral("You need to increase your speed and accuracy.");
const QString SpeedShort = QStringLiteral("You need to increase your speed.");
const QString AccuracyShort = QStringLiteral("You need to increase your accuracy.");

DrillResult drill(int facts, int wrong, int startSeconds, int endSeconds, double previousSpeed = 0.0)
{
    return {facts, wrong, facts, startSeconds, endSeconds, previousSpeed};
}

// The 10-fact plus-5 drill of 6 December 2026: 9 right in 25 seconds.
RecordFields exampleRecord()
{
    RecordFields r;
    r.date = QDate(2026, 12, 6);
    r.name = QStringLiteral("student");
    r.activityCode = QStringLiteral("+5");
    r.formatCode = QStringLiteral("H");
    r.rangeCode = QStringLiteral("0->9");
    r.factsCount = 10;
    r.accuracy = accuracyPercent(10, 1);
    r.accuracyGoal = QStringLiteral("90");
    r.speed = 2.5;
    r.speedGoal = QStringLiteral("3");
    r.minutesSpent = 25 / 60.0;
    return r;
}

const QLocale Us(QLocale::English, QLocale::UnitedStates);
const QLocale German(QLocale::German, QLocale::Germany);

// The real speaking operations over test doubles, so a test sees what
// reaches Peedy and the voice under the switches.
struct Speakers
{
    Speakers(bool peedy, bool peedySwitch, bool voice, bool voiceSwitch, bool rewards)
    {
        settings.setForThisRun(keys::PerchStyle, QStringLiteral("Standard"));
        settings.setForThisRun(keys::PeedyEnabled, peedy);
        settings.setForThisRun(keys::VoiceEnabled, voice);
        settings.setForThisRun(rewards ? keys::PeedyRewards : keys::PeedyComments, peedySwitch);
        settings.setForThisRun(rewards ? keys::VoiceRewards : keys::VoiceComments, voiceSwitch);
    }
    Settings settings {QString()};
    test::FakeCharacter character;
    test::FakeVoice voice;
    Speech speech {settings, character, voice};
};

QByteArray fileBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

#ifdef Q_OS_UNIX
// A second program, as a child process running body; its exit status.
pid_t startChild(const std::function<int()> &body)
{
    const pid_t pid = ::fork();
    if (pid == 0)
        ::_exit(body());
    return pid;
}

// The child's exit status, or minus the signal that ended it.
int waitChild(pid_t pid)
{
    int status = 0;
    if (pid < 0 || ::waitpid(pid, &status, 0) != pid)
        return -1000;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
}

void limitFileSize(rlim_t bytes)
{
    rlimit limit {};
    ::getrlimit(RLIMIT_FSIZE, &limit);
    limit.rlim_cur = bytes;
    ::setrlimit(RLIMIT_FSIZE, &limit);
}
#endif

} // namespace

class TestScoring : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void timeOfDay();
    void calculate_data();
    void calculate();
    void wholePercentagesAreExact();
    void soFar_data();
    void soFar();
    void screen_data();
    void screen();
    void screenFollowsLocale();
    void screenAndMarkAgree_data();
    void screenAndMarkAgree();
    void comments_data();
    void comments();
    void rewardsSpoken_data();
    void rewardsSpoken();
    void praiseRows_data();
    void praiseRows();
    void wholeScore();

    void recordLine_data();
    void recordLine();
    void exampleRecordExactly();
    void recordDateFollowsLocale();
    void appendCreatesThenAppends();
    void appendToMissingFolderFails();
    void appendInReadOnlyFolderFails();
    void appendEndsALineLeftUnfinished_data();
    void appendEndsALineLeftUnfinished();
    void aFileSizeLimitIsToldNotFatal();
    void concurrentAppendsStayWhole();
    void aDiskFillingMidRecordSaysSo();
    void aHeldFileIsWaitedForABoundedTime();
};

void TestScoring::timeOfDay()
{
    QCOMPARE(secondsSinceMidnight(QTime(0, 0, 0)), 0);
    QCOMPARE(secondsSinceMidnight(QTime(10, 0, 25, 900)), 36025);
    QCOMPARE(secondsSinceMidnight(QTime(23, 59, 59)), 86399);
}

void TestScoring::calculate_data()
{
    QTest::addColumn<DrillResult>("drill");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");
    QTest::addColumn<double>("minutes");

    QTest::newRow("10 facts, 1 wrong, 25 s") << drill(10, 1, 36000, 36025) << 90.0f << 2.5 << 25 / 60.0;
    QTest::newRow("30 facts, 2 wrong") << drill(30, 2, 100, 200) << float(28.0 / 30 * 100) << 100 / 30.0 << 100 / 60.0;
    QTest::newRow("perfect 20 in 30 s") << drill(20, 0, 0, 30) << 100.0f << 1.5 << 0.5;
    QTest::newRow("past midnight") << drill(10, 0, 86390, 15) << 100.0f << 2.5 << 25 / 60.0;
    QTest::newRow("ends at midnight") << drill(10, 0, 86380, 0) << 100.0f << 2.0 << 20 / 60.0;
    DrillResult odd = drill(15, 3, 0, 60, 4.25);
    QTest::newRow("odd count keeps the last speed") << odd << 80.0f << 4.25 << 1.0;
}

void TestScoring::calculate()
{
    QFETCH(DrillResult, drill);
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    QFETCH(double, minutes);
    const DrillScore score = calculateScore(drill);
    QCOMPARE(score.Accuracy, accuracy);
    QCOMPARE(score.Speed, speed);
    QCOMPARE(score.MinutesSpent, minutes);
}

// A goal of 90 must be met by exactly 90 percent; a rounding slip below
// the whole number would show a missed goal on a drill that met it.
void TestScoring::wholePercentagesAreExact()
{
    for (int facts = 10; facts <= 50; facts += 10) {
        for (int wrong = 0; wrong <= facts; ++wrong) {
            const float accuracy = accuracyPercent(facts, wrong);
            const int hundredths = (facts - wrong) * 100;
            if (hundredths % facts == 0)
                QCOMPARE(accuracy, float(hundredths / facts));
            const GoalCheck check =
                checkGoals({accuracy, 1.0, 0.0}, {QString::number(std::floor(accuracy)), QStringLiteral("3")});
            QVERIFY2(!check.accuracyShort, qPrintable(QStringLiteral("%1 facts, %2 wrong").arg(facts).arg(wrong)));
        }
    }
}

void TestScoring::soFar_data()
{
    QTest::addColumn<DrillResult>("drill");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");

    QTest::newRow("nothing answered") << DrillResult {0, 0, 10, 100, 160, 7.0} << 0.0f << 0.0;
    QTest::newRow("closed before Start") << DrillResult {0, 0, 10, 0, 50000, 7.0} << 0.0f << 0.0;
    QTest::newRow("3 of 10, 1 wrong") << DrillResult {3, 1, 10, 100, 112, 7.0} << float(2.0 / 3 * 100) << 4.0;
    QTest::newRow("past midnight") << DrillResult {2, 0, 10, 86395, 5, 7.0} << 100.0f << 5.0;
    QTest::newRow("odd count still timed") << DrillResult {4, 0, 15, 0, 10, 7.0} << 100.0f << 2.5;
}

void TestScoring::soFar()
{
    QFETCH(DrillResult, drill);
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    const DrillScore score = scoreSoFar(drill);
    QCOMPARE(score.Accuracy, accuracy);
    QCOMPARE(score.Speed, speed);
}

void TestScoring::screen_data()
{
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QString>("accuracyGoal");
    QTest::addColumn<QString>("speedGoal");
    QTest::addColumn<QString>("percent");
    QTest::addColumn<QString>("seconds");
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("colour"); // 0 none, 1 cyan, 2 teal
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("left");
    QTest::addColumn<int>("accuracyGoalColour");
    QTest::addColumn<int>("speedGoalColour");

    QTest::newRow("both met") << 90.0f << 2.5 << "90"
                              << "3"
                              << "90"
                              << "2.5"
                              << "" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("cut not rounded") << accuracyPercent(30, 1) << 2.9999 << "95"
                                     << "3.0"
                                     << "96.6"
                                     << "2.99"
                                     << "" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("equal to the goals") << 90.0f << 3.0 << "90"
                                        << "3.0"
                                        << "90"
                                        << "3"
                                        << "" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("below one second") << 100.0f << 0.9 << "100"
                                      << "2.0"
                                      << "100"
                                      << "0.9"
                                      << "" << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("accuracy short") << accuracyPercent(30, 2) << 2.0 << "95"
                                    << "3.0"
                                    << "93.3"
                                    << "2" << AccuracyShort << 1 << 4700 << 1000 << 1 << 0;
    QTest::newRow("one point below") << 89.0f << 2.0 << "90"
                                     << "3.0"
                                     << "89"
                                     << "2" << AccuracyShort << 1 << 4700 << 1000 << 1 << 0;
    QTest::newRow("speed short") << 95.0f << 100 / 30.0 << "90"
                                 << "3.0"
                                 << "95"
                                 << "3.33" << SpeedShort << 2 << 4200 << 1200 << 0 << 2;
    QTest::newRow("100 but slow") << 100.0f << 3.5 << "90"
                                  << "3.0"
                                  << "100"
                                  << "3.5" << SpeedShort << 2 << 4200 << 1200 << 0 << 2;
    QTest::newRow("both short") << 80.0f << 4.0 << "90"
                                << "3.0"
                                << "80"
                                << "4" << BothShort << 2 << 6000 << 700 << 2 << 2;
}

void TestScoring::screen()
{
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    QFETCH(QString, accuracyGoal);
    QFETCH(QString, speedGoal);
    QFETCH(QString, percent);
    QFETCH(QString, seconds);
    QFETCH(QString, message);
    QFETCH(int, colour);
    QFETCH(int, width);
    QFETCH(int, left);
    QFETCH(int, accuracyGoalColour);
    QFETCH(int, speedGoalColour);

    const auto rgb = [](int c) -> std::optional<Rgb> {
        if (c == 0)
            return std::nullopt;
        return c == 1 ? Rgb {0, 255, 255} : Rgb {0, 192, 192};
    };
    const ScoreScreen screen = scoreScreen({accuracy, speed, 0.0}, {accuracyGoal, speedGoal}, Us);
    QCOMPARE(screen.percent, percent);
    QCOMPARE(screen.seconds, seconds);
    QCOMPARE(screen.accuracyGoal, accuracyGoal + QLatin1Char('%'));
    QCOMPARE(screen.speedGoal, speedGoal);
    QCOMPARE(screen.accuracyGoalBackground, rgb(accuracyGoalColour));
    QCOMPARE(screen.speedGoalBackground, rgb(speedGoalColour));
    if (message.isEmpty()) {
        QVERIFY(!screen.needTo.has_value());
    } else {
        QVERIFY(screen.needTo.has_value());
        QCOMPARE(*screen.needTo, (NeedToMessage {message, *rgb(colour), width, left}));
    }
}

void TestScoring::screenFollowsLocale()
{
    const ScoreScreen screen = scoreScreen({accuracyPercent(30, 1), 100 / 30.0, 0.0}, {"90", "3.5"}, German);
    QCOMPARE(screen.percent, QStringLiteral("96,6"));
    QCOMPARE(screen.seconds, QStringLiteral("3,33"));
}

// The score screen and the record's mark apply one goal rule: a drill the
// record marks as meeting its goals shows no "need to" message, and one it
// does not mark shows one.
void TestScoring::screenAndMarkAgree_data()
{
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QString>("speedGoal");
    QTest::addColumn<bool>("met");
    QTest::newRow("speed equal to a goal typed to the last digit") << 90.0f << 100 / 30.0 << "3.33333333333333" << true;
    QTest::newRow("speed a hair above a goal, written as it") << 90.0f << 3.0000000000000004 << "3" << true;
    QTest::newRow("slower") << 90.0f << 3.5 << "3" << false;
    QTest::newRow("below the accuracy goal") << 89.9f << 2.0 << "3" << false;
}

void TestScoring::screenAndMarkAgree()
{
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    QFETCH(QString, speedGoal);
    QFETCH(bool, met);
    RecordFields record;
    record.accuracy = accuracy;
    record.accuracyGoal = QStringLiteral("90");
    record.speed = speed;
    record.speedGoal = speedGoal;
    QCOMPARE(recordGoalsMet(record), met);
    QCOMPARE(!scoreScreen({accuracy, speed, 0.0}, {record.accuracyGoal, speedGoal}, Us).needTo.has_value(), met);
}

void TestScoring::comments_data()
{
    QTest::addColumn<bool>("peedy");
    QTest::addColumn<bool>("peedyComments");
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("voiceComments");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QStringList>("peedySaid");
    QTest::addColumn<QStringList>("voiceSaid");

    const QStringList none;
    QTest::newRow("both short: Peedy speaks for both")
        << true << true << true << true << 80.0f << 4.0 << QStringList {BothShort} << none;
    QTest::newRow("both short, Peedy not commenting")
        << true << false << true << true << 80.0f << 4.0 << none << QStringList {BothShort};
    QTest::newRow("both short, Peedy off")
        << false << true << true << true << 80.0f << 4.0 << none << QStringList {BothShort};
    QTest::newRow("both short, voice not commenting")
        << true << true << true << false << 80.0f << 4.0 << QStringList {BothShort} << none;
    QTest::newRow("speed short") << true << true << true << true << 95.0f << 3.5 << QStringList {SpeedShort}
                                 << QStringList {SpeedShort};
    QTest::newRow("accuracy short") << true << true << true << true << 85.0f << 2.0 << QStringList {AccuracyShort}
                                    << QStringList {AccuracyShort};
    QTest::newRow("equal to the goals") << true << true << true << true << 90.0f << 3.0 << none << none;
    QTest::newRow("nobody comments") << true << false << true << false << 80.0f << 4.0 << none << none;
}

void TestScoring::comments()
{
    QFETCH(bool, peedy);
    QFETCH(bool, peedyComments);
    QFETCH(bool, voice);
    QFETCH(bool, voiceComments);
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    QFETCH(QStringList, peedySaid);
    QFETCH(QStringList, voiceSaid);

    Speakers s(peedy, peedyComments, voice, voiceComments, false);
    const GoalCheck check = checkGoals({accuracy, speed, 0.0}, {"90", "3.0"});
    perform(s.speech, goalComments(check, speechSwitches(s.settings)));
    QCOMPARE(s.character.spoken(), peedySaid);
    QCOMPARE(s.voice.spoken, voiceSaid);
}

void TestScoring::rewardsSpoken_data()
{
    QTest::addColumn<bool>("peedy");
    QTest::addColumn<bool>("peedyRewards");
    QTest::addColumn<bool>("voice");
    QTest::addColumn<bool>("voiceRewards");
    QTest::addColumn<float>("accuracy");
    QTest::addColumn<double>("speed");
    QTest::addColumn<QList<double>>("draws");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("peedyLog");
    QTest::addColumn<QStringList>("voiceSaid");
    QTest::addColumn<int>("reseeds");

    const QString perch = QStringLiteral("move 40,150");
    QTest::newRow("perfect") << true << true << true << true << 100.0f << 2.0 << QList<double> {0.0, 0.99} << "Sam"
                             << QStringList {perch, "play Congratulate", "speak ~Per fect ~score.",
                                             "speak I am ~proud of you.Sam?"}
                             << QStringList {"Perfect score!", "Way to go!Sam?"} << 2;
    QTest::newRow("perfect at the speed goal")
        << true << true << true << true << 100.0f << 3.0 << QList<double> {0.2, 0.2} << "Sam"
        << QStringList {perch, "play Congratulate", "speak ~Per fect ~score.", "speak Way to ~go.Sam?"}
        << QStringList {"Perfect score!", "Keep up the good work!Sam?"} << 2;
    QTest::newRow("met, not perfect") << true << true << true << true << 90.0f << 2.5 << QList<double> {0.2, 0.4}
                                      << "Sam" << QStringList {perch, "speak Way to ~go.Sam?"}
                                      << QStringList {"You are doing very well!Sam?"} << 2;
    QTest::newRow("100 but slow") << true << true << true << true << 100.0f << 3.5 << QList<double> {0.5} << "Sam"
                                  << QStringList {perch} << QStringList {} << 0;
    QTest::newRow("accuracy short") << true << true << true << true << 80.0f << 2.0 << QList<double> {0.5} << "Sam"
                                    << QStringList {perch} << QStringList {} << 0;
    QTest::newRow("only the voice praises") << true << false << true << true << 95.0f << 2.0 << QList<double> {0.6, 0.0}
                                            << "Sam" << QStringList {} << QStringList {"Keep it up!Sam?"} << 1;
    QTest::newRow("only Peedy praises") << true << true << true << false << 95.0f << 2.0 << QList<double> {0.6, 0.0}
                                        << "Sam" << QStringList {perch, "speak well~done!Sam?"} << QStringList {} << 1;
    QTest::newRow("voice switched off") << true << true << false << true << 95.0f << 2.0 << QList<double> {0.8, 0.0}
                                        << "Sam" << QStringList {perch, "speak You are doing very ~well.Sam?"}
                                        << QStringList {} << 1;
    QTest::newRow("no spoken name") << true << true << true << true << 95.0f << 2.0 << QList<double> {0.0, 0.0} << ""
                                    << QStringList {perch, "speak I am ~proud of you.?"}
                                    << QStringList {"I am proud of you!?"} << 2;
    QTest::newRow("nobody rewards") << false << true << true << false << 100.0f << 2.0 << QList<double> {0.0} << "Sam"
                                    << QStringList {} << QStringList {} << 0;
}

void TestScoring::rewardsSpoken()
{
    QFETCH(bool, peedy);
    QFETCH(bool, peedyRewards);
    QFETCH(bool, voice);
    QFETCH(bool, voiceRewards);
    QFETCH(float, accuracy);
    QFETCH(double, speed);
    QFETCH(QList<double>, draws);
    QFETCH(QString, name);
    QFETCH(QStringList, peedyLog);
    QFETCH(QStringList, voiceSaid);
    QFETCH(int, reseeds);

    Speakers s(peedy, peedyRewards, voice, voiceRewards, true);
    test::FakeRandom random;
    random.draws.assign(draws.begin(), draws.end());
    const GoalCheck check = checkGoals({accuracy, speed, 0.0}, {"90", "3.0"});
    perform(s.speech, rewards(check, speechSwitches(s.settings), name, random));
    QCOMPARE(s.character.log, peedyLog);
    QCOMPARE(s.voice.spoken, voiceSaid);
    QCOMPARE(random.reseeds, reseeds);
    QCOMPARE(random.drawn, reseeds);
}

void TestScoring::praiseRows_data()
{
    QTest::addColumn<double>("draw");
    QTest::addColumn<QString>("peedySaid");
    QTest::addColumn<QString>("voiceSaid");
    QTest::newRow("0") << 0.0 << "I am ~proud of you.Jo?"
                       << "I am proud of you!Jo?";
    QTest::newRow("0.2") << 0.2 << "Way to ~go.Jo?"
                         << "Keep up the good work!Jo?";
    QTest::newRow("0.5") << 0.5 << "Keep up the good work!Jo?"
                         << "You are doing very well!Jo?";
    QTest::newRow("0.7") << 0.7 << "well~done!Jo?"
                         << "Keep it up!Jo?";
    QTest::newRow("0.8") << 0.8 << "You are doing very ~well.Jo?"
                         << "Way to go!Jo?";
    QTest::newRow("just below 1") << 0.999999 << "You are doing very ~well.Jo?"
                                  << "Way to go!Jo?";
}

void TestScoring::praiseRows()
{
    QFETCH(double, draw);
    QFETCH(QString, peedySaid);
    QFETCH(QString, voiceSaid);
    Speakers s(true, true, true, true, true);
    test::FakeRandom random;
    random.draws = {draw, draw};
    perform(s.speech, rewards(checkGoals({95.0f, 2.0, 0.0}, {"90", "3.0"}), speechSwitches(s.settings), "Jo", random));
    QCOMPARE(s.character.spoken(), QStringList {peedySaid});
    QCOMPARE(s.voice.spoken, QStringList {voiceSaid});
}

void TestScoring::wholeScore()
{
    ScoreInput input;
    input.drill = drill(10, 1, 36000, 36025);
    input.goals = {QStringLiteral("90"), QStringLiteral("3")};
    input.switches = {true, true, true, true};
    input.spokenName = QStringLiteral("Ann");
    test::FakeRandom random;
    random.draws = {0.0, 0.0};

    const ScoreOutcome outcome = getScore(input, random, Us);
    QCOMPARE(outcome.screen.percent, QStringLiteral("90"));
    QCOMPARE(outcome.screen.seconds, QStringLiteral("2.5"));
    QVERIFY(!outcome.screen.needTo.has_value());
    QVERIFY(outcome.comments.empty());
    QVERIFY(outcome.check.met());
    QVERIFY(!outcome.check.perfect);
    const std::vector<SpeechCall> expected = {
        {SpeechCall::Op::PerchPeedy, {}, {}, {}},
        {SpeechCall::Op::SayReward,
         {},
         QStringLiteral("I am ~proud of you.Ann?"),
         QStringLiteral("I am proud of you!Ann?")},
    };
    QVERIFY(outcome.rewards == expected);
}

void TestScoring::recordLine_data()
{
    QTest::addColumn<RecordFields>("fields");
    QTest::addColumn<bool>("german");
    QTest::addColumn<QString>("line");

    const RecordFields base = exampleRecord();
    RecordFields r = base;
    QTest::newRow("example") << r << false
                             << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *";
    r = base;
    r.name = QStringLiteral("Abcdefghijklmnop");
    QTest::newRow("16-character name") << r << false
                                       << "12/06/26   Abcdefghijklmnop+5     H   0->9   10  90|90    2.5|3    0.4  *";
    r.name = QStringLiteral("Sam");
    QTest::newRow("3-letter name") << r << false
                                   << "12/06/26   Sam             +5     H   0->9   10  90|90    2.5|3    0.4  *";
    r.name = QStringLiteral("Abcdefghijklmnopqr");
    QTest::newRow("name over its column")
        << r << false << "12/06/26   Abcdefghijklmnopqr+5     H   0->9   10  90|90    2.5|3    0.4  *";
    r = base;
    r.factsCount = 20;
    r.accuracy = accuracyPercent(20, 0);
    r.accuracyGoal = QStringLiteral("100");
    r.speed = 30 / 20.0;
    r.speedGoal = QStringLiteral("2");
    r.minutesSpent = 30 / 60.0;
    QTest::newRow("perfect 20 facts") << r << false
                                      << "12/06/26   student         +5     H   0->9   20  100|100  1.5|2    0.5  *";
    r = base;
    r.speed = 3.0;
    QTest::newRow("speed equal to the goal")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    3|3      0.4  *";
    r.speed = 3.0000000000000004;
    QTest::newRow("speed compared as written")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    3|3      0.4  *";
    r.speed = 3.5;
    QTest::newRow("slower than the goal")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    3.5|3    0.4  ";
    r = base;
    r.accuracy = 89.0f;
    QTest::newRow("one point below the goal")
        << r << false << "12/06/26   student         +5     H   0->9   10  89|90    2.5|3    0.4  ";
    r.accuracy = 89.7f;
    r.accuracyGoal = QStringLiteral("89.5");
    QTest::newRow("accuracy compared before the cut")
        << r << false << "12/06/26   student         +5     H   0->9   10  89|89.5  2.5|3    0.4  *";
    r = base;
    r.incomplete = true;
    QTest::newRow("unfinished never earns the mark")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    Inc  ";
    // Seven seconds over three facts answered: cut as the score screen cuts
    // it, so the line keeps its columns.
    r.speed = 7 / 3.0;
    r.speedGoal = QStringLiteral("5.0");
    QTest::newRow("unfinished speed cut to its column")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    2.33|5.0 Inc  ";
    r = base;
    r.activityCode = QStringLiteral("F10");
    r.formatCode = QStringLiteral("1");
    r.rangeCode.clear();
    QTest::newRow("Facts of Ten") << r << false
                                  << "12/06/26   student         F10    1          10  90|90    2.5|3    0.4  *";
    r = base;
    r.activityCode = QStringLiteral("\u00F76");
    QTest::newRow("division") << r << false
                              << "12/06/26   student         \u00F76     H   0->9   10  90|90    2.5|3    0.4  *";
    r = base;
    r.accuracyGoal = QStringLiteral(" 90 ");
    r.speedGoal = QStringLiteral(" 3.0 ");
    QTest::newRow("goals trimmed") << r << false
                                   << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3.0  0.4  *";
    r = base;
    r.speed = 100 / 30.0;
    r.speedGoal = QStringLiteral("3.5");
    r.minutesSpent = 100 / 60.0;
    QTest::newRow("long speed pushes on")
        << r << false << "12/06/26   student         +5     H   0->9   10  90|90    3.33333333333333|3.51.6  *";
    r = base;
    r.speed = 0.8;
    r.speedGoal = QStringLiteral("1");
    QTest::newRow("speed below one") << r << false
                                     << "12/06/26   student         +5     H   0->9   10  90|90    .8|1     0.4  *";
    r = base;
    r.minutesSpent = 750 / 60.0;
    QTest::newRow("12 minutes") << r << false
                                << "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    12.  *";
    r = base;
    QTest::newRow("comma locale") << r << true
                                  << "12.06.26   student         +5     H   0->9   10  90|90    2.5|3    0,4  *";
}

void TestScoring::recordLine()
{
    QFETCH(RecordFields, fields);
    QFETCH(bool, german);
    QFETCH(QString, line);
    QCOMPARE(plovista::recordLine(fields, german ? German : Us), line + QStringLiteral("\r\n"));
}

void TestScoring::exampleRecordExactly()
{
    // Built from the scoring of the drill itself, as the score screen does.
    const DrillScore score = calculateScore(drill(10, 1, 36000, 36025));
    RecordFields r = exampleRecord();
    r.accuracy = score.Accuracy;
    r.speed = score.Speed;
    r.minutesSpent = score.MinutesSpent;
    const QString line = plovista::recordLine(r, Us);
    QCOMPARE(line.size(), 75);
    QCOMPARE(line, QStringLiteral("12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *\r\n"));
}

void TestScoring::recordDateFollowsLocale()
{
    const QDate date(2009, 1, 2);
    QCOMPARE(recordDate(date, Us), QStringLiteral("01/02/09"));
    QCOMPARE(recordDate(date, German), QStringLiteral("01.02.09"));
    QCOMPARE(recordDate(date, QLocale(QLocale::Dutch, QLocale::Netherlands)), QStringLiteral("01-02-09"));
    // The C locale writes the month as a word and has no separator to give.
    QCOMPARE(recordDate(date, QLocale::c()), QStringLiteral("01/02/09"));
}

void TestScoring::appendCreatesThenAppends()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    QVERIFY(!QFile::exists(path));

    RecordFields first = exampleRecord();
    QVERIFY(appendRecord(dir.path(), first, Us).ok);
    QVERIFY(QFile::exists(path));

    RecordFields second = exampleRecord();
    second.name = QStringLiteral("Jos\u00E9");
    second.activityCode = QStringLiteral("\u00F73");
    second.incomplete = true;
    const WriteResult result = appendRecord(dir.path(), second, Us);
    QVERIFY(result.ok);
    QVERIFY(result.error.isEmpty());

    // Windows-1252: one byte a character, the division sign as 0xF7.
    const QByteArray expected = "12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *\r\n"
                                "12/06/26   Jos\xE9            \xF7"
                                "3     H   0->9   10  90|90    2.5|3    Inc  \r\n";
    QCOMPARE(fileBytes(path), expected);
}

void TestScoring::appendToMissingFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString missing = dir.filePath(QStringLiteral("gone"));
    const WriteResult result = appendRecord(missing, exampleRecord(), Us);
    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QVERIFY(!QFileInfo::exists(missing));
}

void TestScoring::appendInReadOnlyFolderFails()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    const QByteArray before = "an earlier record\r\n";
    QVERIFY(writeBytes(path, before));
    const auto readOnly = QFileDevice::ReadOwner | QFileDevice::ReadUser | QFileDevice::ExeOwner | QFileDevice::ExeUser;
    QVERIFY(QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser));
    QVERIFY(QFile::setPermissions(dir.path(), readOnly));
    const bool ignored = [&] {
        QFile probe(path);
        return probe.open(QIODevice::WriteOnly | QIODevice::Append);
    }();

    const WriteResult result = appendRecord(dir.path(), exampleRecord(), Us);
    const QByteArray after = fileBytes(path);
    QFile::setPermissions(dir.path(), readOnly | QFileDevice::WriteOwner | QFileDevice::WriteUser);
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    if (ignored)
        QSKIP("this user writes through read-only permissions");

    QVERIFY(!result.ok);
    QVERIFY(!result.error.isEmpty());
    QCOMPARE(after, before);
}

// One damaged line (a crash, a hand edit) must not run into the next record.
void TestScoring::appendEndsALineLeftUnfinished_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("between");
    QTest::newRow("half a line") << QByteArray("12/06/26   stud") << QByteArray("\r\n");
    QTest::newRow("half a line end") << QByteArray("a record\r") << QByteArray("\n");
    QTest::newRow("a whole line") << QByteArray("a record\r\n") << QByteArray();
    QTest::newRow("empty") << QByteArray() << QByteArray();
}

void TestScoring::appendEndsALineLeftUnfinished()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, between);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    QVERIFY(writeBytes(path, before));
    QVERIFY(appendRecord(dir.path(), exampleRecord(), Us).ok);
    QCOMPARE(fileBytes(path), before + between + encodeWindows1252(plovista::recordLine(exampleRecord(), Us)));
}

// Past the file-size limit the program is not killed half way through the
// line: the append fails, leaves no part of the line, and says why.
void TestScoring::aFileSizeLimitIsToldNotFatal()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    const QByteArray before = "an earlier record\r\n";
    QVERIFY(writeBytes(path, before));
    const int status = waitChild(startChild([&] {
        limitFileSize(40); // room for a part of the line
        ignoreFileSizeSignal();
        const WriteResult result = appendRecord(dir.path(), exampleRecord(), Us);
        return !result.ok && result.reason == QStringLiteral("the file has reached the largest size allowed") ? 0 : 1;
    }));
    QCOMPARE(status, 0);
    QCOMPARE(fileBytes(path), before);
#else
    QSKIP("needs a file size limit");
#endif
}

// Two programs append to one file; every append of one of them fails (a
// file-size limit stands for a disk that is full for it). Taking back a
// failed append must never take another program's records with it.
void TestScoring::concurrentAppendsStayWhole()
{
#ifdef Q_OS_UNIX
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    const QByteArray stop = QFile::encodeName(dir.filePath(QStringLiteral("stop")));
    QByteArray expected = "an earlier record\r\n";
    QVERIFY(writeBytes(path, expected));
    constexpr int Records = 2000;
    const auto steadyRecord = [](int i) {
        RecordFields r = exampleRecord();
        r.name = QStringLiteral("Steady %1").arg(i);
        return r;
    };

    const pid_t failing = startChild([&] {
        limitFileSize(1);
        ignoreFileSizeSignal();
        RecordFields r = exampleRecord();
        r.name = QStringLiteral("Failing");
        while (::access(stop.constData(), F_OK) != 0)
            if (appendRecord(dir.path(), r, Us).ok)
                return 1;
        return 0;
    });
    const pid_t steady = startChild([&] {
        for (int i = 0; i < Records; ++i)
            if (!appendRecord(dir.path(), steadyRecord(i), Us).ok)
                return 1;
        return 0;
    });
    const int steadyStatus = waitChild(steady);
    writeBytes(QFile::decodeName(stop), QByteArray());
    QCOMPARE(waitChild(failing), 0);
    QCOMPARE(steadyStatus, 0);

    for (int i = 0; i < Records; ++i)
        expected += encodeWindows1252(plovista::recordLine(steadyRecord(i), Us));
    QCOMPARE(fileBytes(path), expected);
#else
    QSKIP("needs a second process and a file size limit");
#endif
}

// A write cut short by a full disk says so, where it once said "Unknown
// error", and leaves nothing of the line.
void TestScoring::aDiskFillingMidRecordSaysSo()
{
    test::SmallDisk disk;
    if (!disk.mounted())
        QSKIP(disk.whyNot().constData());
    const QString path = disk.path() + QStringLiteral("/Madtr");
    // Its last block has room for a few bytes of the next record and no more.
    const QByteArray before = QByteArray(4086, 'x') + "\r\n";
    QVERIFY(writeBytes(path, before));
    disk.fill();

    const WriteResult result = appendRecord(disk.path(), exampleRecord(), Us);
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, QStringLiteral("the disk is full"));
    QCOMPARE(result.error, QStringLiteral("the disk is full (%1)").arg(path));
    QCOMPARE(fileBytes(path), before);
}

// Another program holding the records file's lock (hung, or stopped half way
// through its own append): a short hold is waited out, a long one fails the
// append once the wait is over, says why, and leaves the file as it was.
void TestScoring::aHeldFileIsWaitedForABoundedTime()
{
#ifdef Q_OS_UNIX
    using namespace std::chrono;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Madtr"));
    const QByteArray before = "an earlier record\r\n";
    QVERIFY(writeBytes(path, before));
    // A second open of the file is a holder of its own, as another process is.
    QFile holder(path);
    bool held = true;
    const auto holdFor = [&](milliseconds hold) {
        held = held && holder.open(QIODevice::ReadWrite) && tryLockForWriting(holder.handle()) == 0;
        return std::thread([&holder, hold] {
            std::this_thread::sleep_for(hold);
            holder.close();
        });
    };

    // Let go of within the wait: the record goes in once it is free.
    std::thread release = holdFor(200ms);
    WriteResult result = appendRecord(dir.path(), exampleRecord(), Us, 3000ms);
    release.join();
    QVERIFY(held);
    QVERIFY2(result.ok, qPrintable(result.error));
    const QByteArray withRecord = fileBytes(path);
    QCOMPARE(withRecord, before + encodeWindows1252(plovista::recordLine(exampleRecord(), Us)));

    // Held past it: given up when the wait is over, long before the holder lets go.
    release = holdFor(2500ms);
    const auto start = steady_clock::now();
    result = appendRecord(dir.path(), exampleRecord(), Us, 300ms);
    const auto took = steady_clock::now() - start;
    const QByteArray whileHeld = fileBytes(path);
    release.join();
    QVERIFY(!result.ok);
    QCOMPARE(result.reason, QStringLiteral("the file is in use by another program"));
    QCOMPARE(result.error, QStringLiteral("the file is in use by another program (%1)").arg(path));
    QVERIFY2(took >= 300ms && took < 2000ms, qPrintable(QString::number(duration_cast<milliseconds>(took).count())));
    QCOMPARE(whileHeld, withRecord);
#else
    QSKIP("needs record locks");
#endif
}

QTEST_APPLESS_MAIN(TestScoring)
#include "test_scoring.moc"
