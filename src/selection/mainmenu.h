#pragma once

#include "app/formwindow.h"
#include "drill/facts.h"

#include <optional>

class QAction;
class QPushButton;

namespace plovista {

class OptionButton;

// The operation menu: the five kinds of drill and the current records. Its
// option group stays the record of the operation being drilled while the
// window is hidden.
class MainMenu final : public FormWindow
{
    Q_OBJECT
public:
    explicit MainMenu(App &app);

    // The operation of the selected option; none while View Records is.
    std::optional<Operation> selectedOperation() const;

    void AcceptButt_Click();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenuBar();
    void help_Click();
    void Quit_Click();
    void viewRecords();
    void showDailyPractice();
    void dailyPractice_Click();

    OptionButton *m_facts10OptButt = nullptr;
    OptionButton *m_addOptButt = nullptr;
    OptionButton *m_subOptButt = nullptr;
    OptionButton *m_multOptButt = nullptr;
    OptionButton *m_divOptButt = nullptr;
    OptionButton *m_viewRecordsOption = nullptr;
    QPushButton *m_acceptButt = nullptr;
    QAction *m_dailyPractice = nullptr;
    // The start screen opens the menu afresh for each student; other windows
    // only show it again and find the last choice still selected.
    bool m_openedFromStart = true;
};

} // namespace plovista
