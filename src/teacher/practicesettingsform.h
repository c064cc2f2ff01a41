#pragma once

#include "app/formwindow.h"

#include <array>

class QCheckBox;
class QPushButton;
class QSpinBox;

namespace plovista {

class OptionButton;

// The teacher's settings of Daily Practice, for the whole class: whether it
// is offered, the operations on offer and how long a session runs (minutes,
// or a number of facts). Opened from the Utility Menu, which comes back when
// it closes.
class PracticeSettingsForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit PracticeSettingsForm(App &app);

    // Shows the settings as they stand; the opener hides until this closes.
    void openFrom(QWidget &opener);

    // Saves what is chosen and goes back; a choice that cannot be saved (Daily
    // Practice on with nothing to practise) is told and nothing is saved.
    void OKButt_Click();
    void CancelButt_Click();
    void help_Click();
    void Quit_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void enableChoices();

    QCheckBox *m_enabled = nullptr;
    std::array<QCheckBox *, 4> m_operations {};
    OptionButton *m_byMinutes = nullptr;
    OptionButton *m_byFacts = nullptr;
    QSpinBox *m_minutes = nullptr;
    QSpinBox *m_facts = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_cancel = nullptr;
};

} // namespace plovista
