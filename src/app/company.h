#pragma once

#include "app/formwindow.h"

class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QAction;
class QPushButton;

namespace plovista {

// The start screen: lives for the whole run, takes the student's name, holds
// the information menu bar and ends the program.
class Company final : public FormWindow
{
    Q_OBJECT
public:
    explicit Company(App &app);

    // Shown for the first time, as the settings read at start-up say, with
    // the focus in the name box.
    void showAtStart();

    // The panel with the name box goes while a student works or the teacher
    // changes settings; returnToStart brings it back.
    void hideNamePanel();
    // The name box and the Start button, on the screen.
    QRect nameArea() const;
    void setPerchVisible(bool visible);
    // Back from the student's or teacher's windows.
    void returnToStart();

    void StartButt_Click();
    void QuitButt_Click();
    void HelpButt_Click();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void minimisedChanged(bool minimised) override;

private:
    void buildPanel();
    // The drawing goes under Peedy's place on his perch.
    void placePerch();
    void buildMenuBar();
    // Shows or hides the information menus as the menu-bar setting says.
    void applyMenuBarState();
    bool nameCheck();
    bool confirmQuit();
    void informationItem(const QString &title, const QString &text, bool perchPeedy);

    void SpeechSupport_Click();
    void Screen_Click();
    void ContactCorvanel_Click();
    void Program_Click();

    QFrame *m_frame1 = nullptr;
    QLineEdit *m_text1 = nullptr;
    QPushButton *m_startButt = nullptr;
    QList<QWidget *> m_perchParts;
    QList<QAction *> m_topMenus;
    QAction *m_peedysPerch = nullptr;
};

} // namespace plovista
