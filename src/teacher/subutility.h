#pragma once

#include "app/formwindow.h"
#include "settings/setting.h"
#include "teacher/utilityform.h"

#include <array>

class QLabel;
class QPushButton;

namespace plovista {

class OptionButton;
class RecordsForm;

// The one sub-menu of the Utility Menu, reshaped for each use: the number of
// facts, the speed goal, the accuracy goal, the menu bar and the records.
// Hidden, never destroyed, between uses.
class SubUtility final : public FormWindow
{
    Q_OBJECT
public:
    explicit SubUtility(App &app);

    // Reshapes the window for a choice of the Utility Menu, shows it and
    // selects what the choice's current value says.
    void openFor(UtilityChoice choice);
    UtilityChoice shape() const { return m_shape; }
    void showAgain();

    // The records viewer opened from the records choices was closed.
    void viewerClosed();
    // A records window opened from here is done: the viewer goes and this
    // window comes back.
    void backFromRecords();
    // Opens the viewer for the teacher and brings it back here when closed.
    void watchViewer(RecordsForm &viewer);

    void Accept_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void reshape(UtilityChoice choice);
    void layOutColumn(int visible);
    void layOutRecords();
    void clearOptions();
    void select(int index);
    int selectedIndex() const;
    void backToMenu();

    void applyMenuBar(int selected);
    void applyFacts(int selected);
    void applyGoal(int selected, const Setting<QString> &goal);

    void recordsAccept(int selected);
    void viewCurrentRecords();
    void deleteCurrentRecords();
    void saveCurrentRecords();
    void openSavedList(int selected);
    void dismissViewer();

    std::array<OptionButton *, 6> m_options {};
    QPushButton *m_accept = nullptr;
    QLabel *m_currentLabel = nullptr;
    QLabel *m_savedLabel = nullptr;
    UtilityChoice m_shape = UtilityChoice::SetFacts;
};

} // namespace plovista
