#pragma once

#include "app/ending.h"
#include "app/formwindow.h"

class QLabel;
class QPushButton;

namespace plovista {

struct DrillScore;
struct ScoreScreen;

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
    // facts answered so far. A forced ending waits only briefly for the
    // records file and tells no failure.
    void recordIncompleteDrill(Ending ending = Ending::Confirmed);

    void DoOver_Click();
    void Quit_Click();
    void help_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void fill(const ScoreScreen &screen);
    void showDrillMenu();
    // Appends one record; a failure is told, and the program goes on.
    void GetRecords(const DrillScore &score, bool incomplete, Ending ending = Ending::Confirmed);

    QLabel *m_percent = nullptr;
    QLabel *m_seconds = nullptr;
    QLabel *m_agoalLabel = nullptr;
    QLabel *m_sgoalLabel = nullptr;
    QLabel *m_needTo = nullptr;
    QPushButton *m_doOver = nullptr;
};

} // namespace plovista
