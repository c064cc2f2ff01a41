// The drill must never feel slower than the student: from the Enter key to
// the feedback on screen, and from the Enter key to the next fact painted
// once the pause after the answer is over, each well under a frame (16 ms).
// The real hub and drill window run over the test doubles, offscreen; the
// pauses are set to zero so that only the program's own work is timed.

#include "drill/factsproblems.h"
#include "settings/settingkeys.h"
#include "support/harness.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <random>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

// One drill window kept running: a 50-fact multiplication drill in the
// vertical format, with Peedy and the voice giving feedback, started again
// whenever it ends.
class RunningDrill
{
public:
    RunningDrill()
    {
        m_h.start();
        AppState &s = m_h.state();
        m_h.settings().setForThisRun(keys::PeedyEnabled, true);
        m_h.settings().setForThisRun(keys::PeedyFeedback, true);
        m_h.settings().setForThisRun(keys::PeedyComments, true);
        m_h.settings().setForThisRun(keys::VoiceEnabled, true);
        m_h.settings().setForThisRun(keys::VoiceFeedback, true);
        m_h.settings().setForThisRun(keys::VoiceComments, true);
        s.Selection = {Operation::Multiplication, FactRange::ZeroToTwelve, 7, 2};
        s.FormatCode = QStringLiteral("V");
        m_h.settings().setForThisRun(keys::FactsCount, 50);
        m_window.setPauses(0ms, 0ms);
        restart();
    }

    FactsProblems &window() { return m_window; }

    // Types an answer, right or wrong, to a fact asked for the first time,
    // without pressing Enter: a fact missed before is answered first, so
    // that every wrong answer brings its correction onto the screen anew.
    void typeAnswer(bool right)
    {
        if (m_h.state().Drill.RepeatFact) {
            type(true);
            pressEnter();
            waitForPause();
        }
        type(right);
        m_h.character->log.clear();
        m_h.voice->spoken.clear();
    }

    void pressEnter() { QTest::keyClick(m_box, Qt::Key_Return); }

    void waitForPause()
    {
        while (m_window.isPausing())
            QCoreApplication::processEvents();
    }

private:
    void type(bool right)
    {
        if (m_h.state().Drill.Button != DrillButton::Check)
            restart();
        feedRandom();
        const AppState &s = m_h.state();
        const int answer = makeFact(s.Selection, s.Drill.FactVariable).answer;
        m_box->setText(QString::number(right ? answer : answer + 1));
    }

    void restart()
    {
        feedRandom();
        AppState &s = m_h.state();
        s.Drill.resetCounters();
        s.Drill.prepare(m_h.settings().value(keys::FactsCount));
        m_window.openForDrill();
        QTest::keyClick(&m_window, Qt::Key_Return);
        m_window.repaint();
    }

    // Fair draws, so that a fact is found as fast as in the program.
    void feedRandom()
    {
        std::uniform_real_distribution<double> uniform(0.0, 1.0);
        while (m_h.random->draws.size() < 64)
            m_h.random->draws.push_back(uniform(m_engine));
    }

    Harness m_h;
    FactsProblems &m_window = m_h.app().factsProblems();
    QLineEdit *m_box = m_window.findChild<QLineEdit *>(QStringLiteral("Text1"));
    std::mt19937 m_engine {20261207};
};

// Made in main, after the application object, and gone before it.
std::unique_ptr<RunningDrill> g_drill;

RunningDrill &drill()
{
    return *g_drill;
}

// Counts the paint events of one control, to show that what is timed is the
// control drawn and not merely changed.
class PaintProbe final : public QObject
{
public:
    explicit PaintProbe(QWidget *target) { target->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

QWidget *control(const char *name)
{
    return drill().window().findChild<QWidget *>(QLatin1String(name));
}

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point from)
{
    return std::chrono::duration<double>(Clock::now() - from).count();
}

// Enter to the feedback painted: the corrected fact after a wrong answer,
// the box gone after a right one. Argument: 1 right, 0 wrong.
void EnterToFeedbackVisible(benchmark::State &state)
{
    RunningDrill &d = drill();
    const bool right = state.range(0) != 0;
    // A right answer leaves the counters to the end of the pause; the wrong
    // one's corrected answer is the feedback to see.
    PaintProbe probe(right ? drill().window().client() : control("FactsAnsFix"));
    for (auto _ : state) {
        d.typeAnswer(right);
        const Clock::time_point start = Clock::now();
        d.pressEnter();
        d.window().repaint();
        state.SetIterationTime(seconds(start));
        d.waitForPause();
    }
    state.counters["paints"] = benchmark::Counter(probe.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(EnterToFeedbackVisible)->ArgName("right")->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

// Enter to the next fact painted, the pause itself left out: the feedback,
// the pause's timer firing, the counters, the next draw, the fact read aloud
// and the window painted.
void EnterToNextFactPainted(benchmark::State &state)
{
    RunningDrill &d = drill();
    const bool right = state.range(0) != 0;
    // After a wrong answer the same fact stays, and the emptied box is what changes.
    PaintProbe probe(control(right ? "FactsVariable" : "Text1"));
    for (auto _ : state) {
        d.typeAnswer(right);
        const Clock::time_point start = Clock::now();
        d.pressEnter();
        d.waitForPause();
        d.window().repaint();
        state.SetIterationTime(seconds(start));
    }
    state.counters["paints"] = benchmark::Counter(probe.paints, benchmark::Counter::kAvgIterations);
}
BENCHMARK(EnterToNextFactPainted)->ArgName("right")->Arg(1)->Arg(0)->UseManualTime()->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    g_drill = std::make_unique<RunningDrill>();
    benchmark::RunSpecifiedBenchmarks();
    g_drill.reset();
    benchmark::Shutdown();
    return 0;
}
