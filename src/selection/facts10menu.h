#pragma once

#include "app/formwindow.h"

class QPushButton;

namespace plovista {

class OptionButton;

// The Facts of Ten menu: one of the two formats, nothing else to choose.
class Facts10Menu final : public FormWindow
{
    Q_OBJECT
public:
    explicit Facts10Menu(App &app);

    // Shows the menu from the operation menu with format 2 selected.
    void openFromMenu();
    // 1 for "10 -- A = B", 2 for "A + B = 10".
    int selectedFormat() const;

    void AcceptButt_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenuBar();
    void help_Click();
    void Quit_Click();

    OptionButton *m_option1 = nullptr;
    OptionButton *m_option2 = nullptr;
    QPushButton *m_acceptButt = nullptr;
};

} // namespace plovista
