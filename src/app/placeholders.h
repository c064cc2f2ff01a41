#pragma once

#include "app/formwindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace plovista {

// The password window; checking and changing the password arrive with the
// teacher's windows.
class GetPassW final : public FormWindow
{
    Q_OBJECT
public:
    explicit GetPassW(App &app);

    // Before any Start: the change button is off until change mode.
    void prepare();
    // Entry mode, as the access code opens it.
    void openForEntry();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QLabel *m_label1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_command1 = nullptr;
};

} // namespace plovista
