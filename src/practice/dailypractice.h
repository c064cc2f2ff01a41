#pragma once

#include "app/formwindow.h"
#include "drill/factslayout.h"
#include "practice/practicepainter.h"
#include "practice/practicesession.h"

#include <QTimer>

#include <array>
#include <chrono>
#include <memory>
#include <optional>

class QLabel;
class QPushButton;

namespace plovista {

class Announcer;
class AnswerEdit;
class AnswerRecorder;
class LineControl;
class OptionButton;

// Daily Practice, the child's side: the child (named at the start screen)
// picks one of the operations the teacher offers, answers the session the log
// chooses for them (a placement the first time) in the drill window's look,
// and sees at the end their map of the operation, the facts brought in today
// and the days they have practised. Every answer goes to the answer log with
// its activity; nothing is written to the records.
class DailyPractice final : public FormWindow
{
    Q_OBJECT
public:
    explicit DailyPractice(App &app);
    ~DailyPractice() override;

    // Opens from the Main Menu, which hides until this window closes, on the
    // choice of operation.
    void openFrom(QWidget &opener);

    // The pauses after a right and a wrong answer, as the drill's.
    void setPauses(std::chrono::milliseconds right, std::chrono::milliseconds wrong);
    bool isPausing() const { return m_pause.isActive(); }

    void StartButt_Click();
    void CheckButt_Click();
    // The child does not know it: the item ends as skipped, as when its time
    // runs out.
    void SkipButt_Click();
    void PrintButt_Click();
    void DoneButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum class Page { Choose, Answer, End };

    void buildChoosePage();
    void buildAnswerPage();
    void buildEndPage();
    void showPage(Page page);
    std::optional<Operation> chosenOperation() const;

    void presentItem();
    void showFact(const PracticeItem &item);
    void placeButtons(bool skippable);
    void showModel(const Fact &fact, QColor ink);
    void hideModel();
    void finishAnswer(std::optional<int> given, bool timeUp);
    void afterPause();
    void updateLeft();
    void showEnd();
    void stopSession();

    QWidget *m_choosePage = nullptr;
    QWidget *m_answerPage = nullptr;
    QWidget *m_endPage = nullptr;
    Page m_page = Page::Choose;

    // The choice.
    QLabel *m_greeting = nullptr;
    std::array<OptionButton *, 4> m_operations {};
    QLabel *m_noneOffered = nullptr;
    QPushButton *m_startButt = nullptr;

    // The answers, in the drill window's elements and names.
    std::array<QLabel *, FactsElementCount> m_labels {};
    std::array<LineControl *, 6> m_lines {};
    AnswerEdit *m_text1 = nullptr;
    QPushButton *m_checkButt = nullptr;
    QPushButton *m_skipButt = nullptr;
    QLabel *m_stepLabel = nullptr;
    QWidget *m_ring = nullptr;
    Announcer *m_announcer = nullptr;
    FactsLayout m_layout;

    // The end.
    QLabel *m_endTitle = nullptr;
    QWidget *m_map = nullptr;
    QLabel *m_newToday = nullptr;
    QLabel *m_days = nullptr;
    QLabel *m_known = nullptr;
    QWidget *m_endRing = nullptr;
    QPushButton *m_printButt = nullptr;
    QPushButton *m_doneButt = nullptr;

    std::unique_ptr<PracticeSession> m_session;
    Operation m_operation = Operation::Multiplication;
    std::optional<PracticeItem> m_item; // on the screen
    QList<QPair<int, int>> m_modelled; // new facts shown with their answers already
    PracticeMap m_mapData;
    PracticeSummary m_summary;
    double m_done = 0; // today's practice, 0 to 1, for the rings
    AnswerContext m_context;
    std::unique_ptr<AnswerRecorder> m_timing;
    QTimer m_cap; // the item's time limit
    QTimer m_pause;
    std::chrono::milliseconds m_rightPause {1000};
    std::chrono::milliseconds m_wrongPause {2000};
};

} // namespace plovista
