#pragma once

#include "app/ending.h"
#include "app/formwindow.h"

class QLabel;
class QPushButton;

namespace plovista {

struct DrillScore;
struct ScoreScreen;

// Whether the program goes on after a drill's end. When it is ending, what
// the answer log could not take is told by the quit, for every drill at once.
enum class DrillEnd {
    ProgramGoesOn,
    // Someone said Yes to quitting.
    ProgramEnding,
    // A signal or the window system ended the program: nobody may be there to
    // answer a box, and every wait is short.
    ProgramForcedToEnd,
};

// The score screen: the drill's accuracy and speed beside the teacher's
// goals, and what to improve. It also writes each drill's record.
class ScoreForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit ScoreForm(App &app);

    // The "Get Score" press of the drill window: times and scores the drill,
    // fills and shows this screen, speaks, appends the record and resets the
    // drill's counters.
    void GetScore();

    // The "need to" label back on the button face, so a warning coloured by
    // the last score does not greet the next drill.
    void resetNeedTo();

    // A drill window closed after "Start" and before its score was taken:
    // records the drill as unfinished, with the accuracy and speed of the
    // facts answered so far. A drill the program is forced to end with waits
    // only briefly for the records file and tells no failure.
    void recordIncompleteDrill(DrillEnd end);

    void DoOver_Click();
    void Quit_Click();
    void help_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fill(const ScoreScreen &screen);
    void showDrillMenu();
    // Appends one record; a failure is told, and so are answers of the drill
    // that the answer log could not take, in the same box; the program goes on.
    void GetRecords(const DrillScore &score, bool incomplete, DrillEnd end);
    // One line a file when answers of the drill just ended wait on a log
    // file that could not be written; empty when none do.
    QStringList answersNotLogged();

    QLabel *m_percent = nullptr;
    QLabel *m_seconds = nullptr;
    QLabel *m_agoalLabel = nullptr;
    QLabel *m_sgoalLabel = nullptr;
    QLabel *m_needTo = nullptr;
    QPushButton *m_doOver = nullptr;
};

} // namespace plovista
