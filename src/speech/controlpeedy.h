#pragma once

#include "app/formwindow.h"
#include "speech/speechsettings.h"

class QCheckBox;
class QPushButton;

namespace plovista {

// The speech settings: the teacher chooses Peedy, the voice or silence, and
// what the chosen channel says. Hidden, not destroyed, between visits, so the
// boxes the opening does not set keep their states.
class ControlPeedy final : public FormWindow
{
    Q_OBJECT
public:
    explicit ControlPeedy(App &app);

    // The Utility Menu's Speech choice: reads the switch files anew, sets the
    // boxes from them and shows the window.
    void openFromUtilityMenu();
    // Back from the greeting settings, saved or not.
    void returnFromGreeting();

    void AcceptButt_Click();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenuBar();
    void StudentEnabledBox_Click();
    void VoiceEnabledBox_Click();
    void PeedyGreetingBox_Click();
    void help_Click();
    void Quit_Click();

    // The switch read anew from its file; its box shows it. A damaged file
    // leaves both the setting and the box as they were.
    void readBox(const Setting<bool> &key, QCheckBox *box);
    void setPeedyGroupEnabled(bool enabled);
    void setVoiceGroupEnabled(bool enabled);
    void offerAgentDownload();
    SpeechBoxes boxes() const;
    void perchPath();
    void greetingPath();
    void savingPath();
    void backToUtilityMenu();

    QCheckBox *m_studentEnabledBox = nullptr;
    QCheckBox *m_peedyFeedbackBox = nullptr;
    QCheckBox *m_peedyCommentsBox = nullptr;
    QCheckBox *m_peedyRewardsBox = nullptr;
    QCheckBox *m_peedyGreetingBox = nullptr;
    QCheckBox *m_teacherEnabledBox = nullptr;
    QCheckBox *m_peedyPerch = nullptr;
    QCheckBox *m_voiceEnabledBox = nullptr;
    QCheckBox *m_voiceFeedbackBox = nullptr;
    QCheckBox *m_voiceCommentsBox = nullptr;
    QCheckBox *m_voiceRewardsBox = nullptr;
    QPushButton *m_acceptButt = nullptr;
};

} // namespace plovista
