#pragma once

#include "app/formwindow.h"
#include "fluency/classview.h"

#include <QPointer>

#include <optional>

class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QScrollArea;

namespace plovista {

class ClassPanel;
class WorkProgressRow;

// The class at a glance, opened from the fluency grid: every student's share
// of each family's facts known, the class's hardest facts and each student's
// known facts over the weeks, for the operation chosen. The log is read on a
// thread of its own, one student at a time, with a progress bar and Cancel.
class ClassViewForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit ClassViewForm(App &app);

    // Opens from the grid window, which hides until this one is closed.
    void openFrom(QWidget &opener, Operation operation);
    void stopWork();
    const std::optional<ClassView> &view() const;

    void PrintButt_Click();
    void CancelButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void startReading();
    void classRead(ClassView view);
    void showPracticeGaps(const std::vector<PracticeGap> &gaps);
    void showNotice();

    QComboBox *m_operationList = nullptr;
    QPushButton *m_printButt = nullptr;
    QScrollArea *m_scroll = nullptr;
    ClassPanel *m_panel = nullptr;
    QWidget *m_gaps = nullptr;
    QListWidget *m_gapsList = nullptr;
    QLabel *m_notice = nullptr;
    WorkProgressRow *m_workRow = nullptr;
    QPointer<QWidget> m_opener;
};

} // namespace plovista
