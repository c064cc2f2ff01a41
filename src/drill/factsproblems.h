#pragma once

#include "app/ending.h"
#include "app/formwindow.h"
#include "drill/drillsequence.h"
#include "drill/factslayout.h"

#include <QTimer>

#include <array>
#include <chrono>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace plovista {

enum class DrillEnd;
class Announcer;
class AnswerEdit;
class AnswerRecorder;
class LineControl;

// The drill window: one fact at a time, the answer box, the counters and the
// one button that starts, checks and ends the drill. The drill's own state is
// the program-wide DrillSequence; this window shows what each press of it
// returns, speaks it and pauses after each answer without holding up the
// event loop.
class FactsProblems final : public FormWindow
{
    Q_OBJECT
public:
    explicit FactsProblems(App &app);
    ~FactsProblems() override;

    // Lays the window out for the drill the menus chose: the operation and
    // fact option of the state's Selection, horizontal or vertical by its
    // FormatCode ("V" is vertical), Facts of Ten when FactsOfTenActive, in
    // the format the FormatCode ("1" or "2") or else the Selection gives. Sets
    // every control's place and visibility, whatever the last drill left,
    // the caption, and "?" where the numbers will stand. Call it after the
    // codes are set.
    void layOut();

    // Shows the drill the menu's Accept has just reset: lays the window out,
    // sets the counters on screen, and leaves the button reading "Start" with
    // the focus and the answer box disabled.
    void openForDrill();

    // Empties the answer box, and with clearFact the two numbers as well, so
    // nothing of a finished drill shows when the window comes back.
    void clearAnswer();
    void clearFact();

    // The pauses after a right and a wrong answer (1 and 2 seconds); presses
    // of the drill button during a pause are ignored.
    void setPauses(std::chrono::milliseconds right, std::chrono::milliseconds wrong);
    bool isPausing() const { return m_pending.has_value(); }

    // The drill button's press; Enter presses it too.
    void NextProbButt_Click();
    void help_Click();
    void Quit_Click();

    // The id the answer log keeps this drill's answers under.
    QString answersDrillId() const;
    // The program ends with this window in use: a drill left unfinished is
    // recorded as the close box records it, once whichever way it ends.
    void programEnding(Ending ending);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildControls();
    void buildMenuBar();
    QLabel *label(FactsElement element) const;
    QWidget *element(FactsElement element) const { return m_elements[static_cast<std::size_t>(element)]; }

    void applyGeometry(const FactsLayout &layout);
    DrillSetup drillSetup() const;
    bool isVertical() const;

    void GetAnswer(const PressResult &result);
    void finishPress();
    void presentFact(const Fact &fact);
    void readAloud(const Fact &fact);
    void showCorrection(const Fact &fact);
    void hideCorrection();
    void cancelPause();
    // Leaves the drill on screen, by the close box or by quitting: a drill
    // opened and not scored leaves a record marked unfinished.
    void leaveDrill(DrillEnd end);

    std::array<QWidget *, FactsElementCount> m_elements {};
    std::array<LineControl *, 6> m_lines {};
    AnswerEdit *m_text1 = nullptr;
    QPushButton *m_nextProbButt = nullptr;
    // Tells a screen reader each fact and each verdict as they come up.
    Announcer *m_announcer = nullptr;

    FactsLayout m_layout; // as the menus chose it
    FactsLayout m_shown; // fitted to the fact on screen
    bool m_correctionShown = false;

    QTimer m_pause;
    std::chrono::milliseconds m_rightPause {1000};
    // Whether the last right answer's praise was let go for the next fact.
    bool m_praiseDropped = false;
    bool m_keepPraise = false; // this answer's

    std::chrono::milliseconds m_wrongPause {2000};
    // The second half of a press, waiting for the pause to end.
    std::optional<PressResult> m_pending;

    bool m_drillOpen = false;
    bool m_scoreTaken = false;

    // Times every answer and hands it to the answer log.
    std::unique_ptr<AnswerRecorder> m_answers;
};

} // namespace plovista
