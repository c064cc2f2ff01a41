#pragma once

#include "app/formwindow.h"
#include "speech/speechsettings.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace plovista {

// The greeting settings: the custom greeting, whether it is mixed into the
// standard greetings, no greeting at all, and the name Peedy says. Opened
// from the speech settings and always going back to them.
class GetGreeting final : public FormWindow
{
    Q_OBJECT
public:
    explicit GetGreeting(App &app);

    // Sets every box from the greeting files and settings, hides the speech
    // settings and shows this window.
    void openFromSpeechSettings();

    void AcceptButt_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildMenuBar();
    void NoGreeting_Click();
    void AllowUserName_Click();
    void PrevIntroButt_Click();
    void PrevNameButt_Click();
    void help_Click();
    void Quit_Click();

    void preview(const QString &text, const QString &askForText);
    void keepGreetingToOneLine();
    GreetingBoxes boxes() const;

    QPlainTextEdit *m_text1 = nullptr;
    QPushButton *m_prevIntroButt = nullptr;
    QCheckBox *m_noGreeting = nullptr;
    QCheckBox *m_integrateGreeting = nullptr;
    QLabel *m_nameLabel = nullptr;
    QLineEdit *m_text2 = nullptr;
    QPushButton *m_prevNameButt = nullptr;
    QCheckBox *m_allowUserName = nullptr;
    QPushButton *m_acceptButt = nullptr;
};

} // namespace plovista
