#pragma once

#include "app/formwindow.h"
#include "drill/facts.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace plovista {

class ShapeControl;

// The message window: the optional message at the top of a printed
// worksheet and, for the four operations, the range of the first numbers.
// Its text box keeps the last message between worksheets.
class MessageForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit MessageForm(App &app);

    // Shown for a kind of worksheet, with the range 0 to 9 selected; Facts of
    // Ten has no range to choose and a shorter window.
    void openFor(Operation operation);

    FactRange selectedRange() const;

    void OkayButt_Click();
    void CancelButt_Click();
    void help_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showRangeChoice(bool shown);
    void backToTest();

    QLineEdit *m_text1 = nullptr;
    ShapeControl *m_shape1 = nullptr;
    QLabel *m_rangeLabel = nullptr;
    QRadioButton *m_option1 = nullptr;
    QRadioButton *m_option2 = nullptr;
    QPushButton *m_okayButt = nullptr;
    QPushButton *m_cancelButt = nullptr;
    bool m_rangeShown = true;
};

} // namespace plovista
