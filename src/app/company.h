#pragma once

#include "app/formwindow.h"

#include <memory>

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

    // The start-up sequence; runs once.
    void Form_Load();

    // The panel with the name box, hidden while a student works.
    QFrame *nameFrame() const { return m_frame1; }
    void setPerchVisible(bool visible);
    // After the perch height changed: the drawing goes under Peedy's new place.
    void perchMoved();
    // Back from the student's or teacher's windows.
    void returnToStart();

    // Shows or hides the information menus as MenuBarState says.
    void applyMenuBarState();

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
    void placePerch();
    void buildMenuBar();
    void finishStartup();
    void captureDisplayMode();
    void greet();
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
    bool m_loaded = false;
    bool m_displayCaptured = false;
    std::unique_ptr<QObject> m_displayCheck;
};

} // namespace plovista
