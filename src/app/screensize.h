#pragma once

#include "app/formwindow.h"

class QCheckBox;
class QLabel;

namespace plovista {

// Where the teacher chooses whether the display is switched to 800 by 600 at
// every start. The choice is written when the window closes.
class ScreenSize final : public FormWindow
{
    Q_OBJECT
public:
    explicit ScreenSize(App &app);

    // Reads the saved choice and shows the window.
    void open();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QCheckBox *m_change = nullptr;
    QCheckBox *m_dontChange = nullptr;
    QLabel *m_label1 = nullptr;
    QLabel *m_label2 = nullptr;
    // Whether the choice is shown: only where the display can be switched.
    bool m_offered = true;
};

} // namespace plovista
