#include "drill/factsproblems.h"
#include "fluency/answerlog.h"
#include "fluency/answerlogwriter.h"
#include "settings/textfile.h"
#include "support/harness.h"

#include <QDir>
#include <QLineEdit>
#include <QTest>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

FactsProblems &openDrill(Harness &h, const QString &student, Operation operation, int option)
{
    AppState &s = h.state();
    s.StudentName = student;
    s.Selection = {operation, FactRange::ZeroToTwelve, option, 2};
    s.FactsOfTenActive = false;
    s.SubtractionFlag = false;
    s.FormatCode = QStringLiteral("H");
    s.RangeCode = QStringLiteral("0->12");
    s.FactsCount = 10;
    s.Drill.resetCounters();
    s.Drill.prepare(10);
    FactsProblems &w = h.app().factsProblems();
    w.setPauses(0ms, 0ms);
    w.openForDrill();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(&w)); }();
    return w;
}

// The next fact drawn in a 0 to 12 drill.
void scriptValue(Harness &h, int value)
{
    h.random->draws.push_back((value + 0.5) / 13.0);
}

void press(FactsProblems &w, const QString &typed)
{
    auto *box = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    box->clear();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!w.isPausing());
}

// The fact on the screen is painted, the student takes ms, then answers.
void answerAfter(Harness &h, FactsProblems &w, qint64 ms, const QString &typed)
{
    QCoreApplication::processEvents();
    h.clock->advanceMs(ms);
    press(w, typed);
}

std::vector<AnswerEntry> logged(Harness &h, const QString &student)
{
    h.app().answerLog().flush();
    std::vector<AnswerEntry> entries;
    scanStudentLog(h.app().answerLog().folder(), student, [&](const AnswerEntry &e) { entries.push_back(e); });
    return entries;
}

} // namespace

class TestFluencyForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Times run from the first paint of a fact to the Enter, and from the end
    // of its reading aloud; a fact asked again is timed afresh as a repeat.
    void everyAnswerIsTimedFromItsPaint()
    {
        Harness h;
        h.start();
        AppState &s = h.state();
        s.PeedyEnabled = false;
        s.VoiceEnabled = true;
        s.VoiceFeedback = s.VoiceComments = false;
        FactsProblems &w = openDrill(h, QStringLiteral("Ann Lee"), Operation::Multiplication, 7);
        scriptValue(h, 3);
        QTest::keyClick(&w, Qt::Key_Return);

        QCoreApplication::processEvents();
        h.clock->advanceMs(1200);
        h.voice->finishSpeaking(); // "3times7" has been heard
        scriptValue(h, 5);
        answerAfter(h, w, 1000, QStringLiteral("21"));
        answerAfter(h, w, 2999, QStringLiteral("30")); // still being read: no time after the reading
        answerAfter(h, w, 800, QStringLiteral("35"));

        const std::vector<AnswerEntry> entries = logged(h, QStringLiteral("Ann Lee"));
        QCOMPARE(entries.size(), std::size_t(3));
        const AnswerEntry &first = entries[0];
        QCOMPARE(QStringList({QString::number(first.left), QString::number(first.right),
                              QString::number(first.expected), QString::number(first.given)}),
                 QStringList({"3", "7", "21", "21"}));
        QVERIFY(first.firstTry && first.correct);
        QCOMPARE(first.ms, std::optional<int>(2200));
        QCOMPARE(first.msAfterReading, std::optional<int>(1000));
        QCOMPARE(first.time, QDateTime(QDate(2026, 12, 6), QTime(10, 0, 2, 200)));
        QCOMPARE(first.computer, QStringLiteral("ROOM4-PC1"));
        QCOMPARE(first.format + u' ' + first.range, QStringLiteral("H 0->12"));

        QCOMPARE(entries[1].ms, std::optional<int>(2999));
        QCOMPARE(entries[1].msAfterReading, std::nullopt);
        QVERIFY(entries[1].firstTry && !entries[1].correct);
        QCOMPARE(entries[1].given, 30);
        QVERIFY(!entries[2].firstTry && entries[2].correct);
        QCOMPARE(entries[2].ms, std::optional<int>(800));
        QCOMPARE(QStringList({entries[1].drillId, entries[2].drillId}), QStringList(2, first.drillId));
        QCOMPARE(entries[2].sequence, 3);
    }
};

int main(int argc, char **argv)
{
    // Times on the grid follow the system's locale; these tests are written
    // for a U.S. one.
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestFluencyForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fluencyform.moc"
