#pragma once

#include "app/formwindow.h"
#include "drill/facts.h"

#include <array>
#include <optional>

class QPushButton;

namespace plovista {

class OptionButton;

// The printed worksheets: the kind of test is chosen here, the message and
// the range in the message window, the printer and the number of copies in
// the print dialog. Every copy is a worksheet of its own.
class Test final : public FormWindow
{
    Q_OBJECT
public:
    explicit Test(App &app);

    // The Utility Menu's Print Test: the window at its size with no kind of
    // test selected.
    void openFromUtilityMenu();

    std::optional<Operation> selectedTest() const;

    void Accept_Click();
    // Prints with the message the teacher typed and the message window's
    // range, then shows this window again, whether the worksheets were
    // printed, cancelled or failed.
    void PrintTest(const QString &message);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void help_Click();
    void Quit_Click();
    void comeBack();

    // Facts of Ten, Addition, Subtraction, Multiplication, Division.
    std::array<OptionButton *, 5> m_options {};
    QPushButton *m_accept = nullptr;
};

} // namespace plovista
