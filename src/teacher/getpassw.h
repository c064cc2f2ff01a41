#pragma once

#include "app/formwindow.h"

#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;

namespace plovista {

// The password window. In entry mode the Utility Menu opens the moment the
// right five characters are typed; in change mode the teacher types a new
// password twice. The caption is the mode.
class GetPassW final : public FormWindow
{
    Q_OBJECT
public:
    explicit GetPassW(App &app);

    // Before any Start: Accept is off until change mode.
    void prepare();
    // Entry mode, as the access code opens it.
    void openForEntry();

    void Text1_Change();
    void Command1_Click();
    // The teacher asks to change the password; the current one must be
    // typed first, so that the access code alone never lets anyone replace it.
    void ChangeButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    bool changeMode() const;
    void enterChangeMode();
    void clearBoxes();
    std::optional<QString> storedPassword() const;

    QLabel *m_label1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_command1 = nullptr;
    QPushButton *m_changeButt = nullptr;
    bool m_changeRequested = false;
};

} // namespace plovista
