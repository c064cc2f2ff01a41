#pragma once

#include "app/formwindow.h"

class QLineEdit;
class QPushButton;

namespace plovista {

// Saves a copy of the current records into "SDat" under a name the teacher
// types.
class SaveRecordsForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit SaveRecordsForm(App &app);

    // Caption, an empty name box with the focus, shown.
    void open();

    void SaveButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void askAgain();

    QLineEdit *m_text1 = nullptr;
    QPushButton *m_saveButt = nullptr;
};

} // namespace plovista
