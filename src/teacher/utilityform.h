#pragma once

#include "app/formwindow.h"

#include <vector>

class QPushButton;

namespace plovista {

class OptionButton;

// The choices of the Utility Menu, in the order its Accept tests them.
enum class UtilityChoice { None, MenuBar, SetFacts, Speech, SetSpeedGoals, SetAccuracyGoals, PrintTest, Records };

// The teacher's hub: seven choices, four settings and the records served by
// the one sub-menu, the speech settings and the printed tests by their own
// windows.
class UtilityForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit UtilityForm(App &app);

    // The right password was typed: the menu opens on Speech.
    void openFromPassword();
    // Back from the sub-menu or another teacher window.
    void showAgain();
    UtilityChoice selectedChoice() const;
    // After a change of the number of facts nothing stays selected.
    void clearSetFacts();

    void Accept2Butt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    struct Option
    {
        UtilityChoice choice;
        OptionButton *button;
    };
    OptionButton *buttonOf(UtilityChoice choice) const;

    std::vector<Option> m_options;
    QPushButton *m_accept2Butt = nullptr;
};

} // namespace plovista
