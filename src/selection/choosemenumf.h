#pragma once

#include "app/formwindow.h"
#include "drill/facts.h"

#include <array>

class QCheckBox;
class QLabel;
class QPushButton;

namespace plovista {

class LineControl;
class OptionButton;
struct SelectionMessage;

// The fact menu of the four operations: format, range and fact option. Its
// boxes and options stay the record of the current choice while hidden.
class ChooseMenuMF final : public FormWindow
{
    Q_OBJECT
public:
    explicit ChooseMenuMF(App &app);

    // Captions, fact options and the picture of the vertical format for an
    // operation; every fact option is left unselected.
    void prepareFor(Operation operation);
    // Shows the menu with the choices a new operation starts from:
    // horizontal, 0 to 9, fact option 2, options 10 to 12 unavailable.
    void openWithFreshChoices();

    Operation operation() const { return m_operation; }

    void AcceptButt_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenuBar();
    void buildPicture();
    void drawPicture(Operation operation);
    void Check1_Click();
    void Check2_Click();
    void Check3_Click();
    void Check4_Click();
    void help_Click();
    void Quit_Click();
    void tellStudent(const SelectionMessage &message);
    void setTwoDigitOptionsEnabled(bool enabled);
    void deselectFactOptions();
    int selectedFactOption() const;

    Operation m_operation = Operation::Addition;
    QCheckBox *m_check1 = nullptr;
    QCheckBox *m_check2 = nullptr;
    QCheckBox *m_check3 = nullptr;
    QCheckBox *m_check4 = nullptr;
    // Indexed by the fact option itself; 0 and 1 stay empty.
    std::array<OptionButton *, 13> m_option {};
    QPushButton *m_acceptButt = nullptr;
    QLabel *m_label5 = nullptr;
    QLabel *m_pictureTop = nullptr; // Label3
    QLabel *m_pictureSign = nullptr; // Label4
    QLabel *m_pictureLower = nullptr; // Label6
    QLabel *m_pictureResult = nullptr; // Label7
    QLabel *m_pictureDividend = nullptr; // Label9
    LineControl *m_line1 = nullptr;
    LineControl *m_line2 = nullptr;
};

} // namespace plovista
