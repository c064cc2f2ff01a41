#pragma once

#include <QPointer>
#include <QWidget>

class QAction;
class QMenuBar;
class QPushButton;
class QSpacerItem;

namespace plovista {

class App;

// Whose window it is decides whether Peedy stays when it is minimised and
// restored: a student's window keeps him when he is enabled, a teacher's only
// when he is also enabled for the teacher. Small information windows leave
// him and the start screen alone.
enum class Audience { Student, Teacher, Unaccompanied };

// The base of every window of the program: a menu bar on demand, a client
// area where controls are placed in twips, Enter pressing the default button,
// the shared minimise and restore behaviour, and what a keyboard needs: the
// focus drawn wherever it is, and the keyboard given back to the window this
// one was opened from when it goes.
class FormWindow : public QWidget
{
    Q_OBJECT
public:
    FormWindow(App &app, Audience audience, const QString &objectName);

    QWidget *client() const { return m_client; }
    QMenuBar *formMenuBar();
    // A command of the window's menu bar, every window's Help and Quit among
    // them, with `name` as its object name. The caption is shown as given; a
    // letter after "&" is underlined and Alt with it presses the command from
    // anywhere in the window.
    QAction *addMenuCommand(const QString &name, const QString &caption);
    void setClientSizeTwips(int width, int height);
    void setDefaultButton(QPushButton *button) { m_defaultButton = button; }
    QPushButton *defaultButton() const { return m_defaultButton; }
    Audience audience() const { return m_audience; }
    // A window that serves students and teachers alike takes its opener's.
    void setAudience(Audience audience) { m_audience = audience; }

    // Puts the window's frame, title bar included, with its top left at
    // `topLeft` on the screen.
    void placeFrameAt(QPoint topLeft);
    // The size of the window with its frame; before the window manager has
    // framed it, as large as the frame of a window that has one.
    QSize frameSizeGuess() const;
    void setVisible(bool visible) override;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void changeEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    // Called when the window is minimised (true) or restored (false).
    virtual void minimisedChanged(bool minimised);

    App &m_app;

private:
    Audience m_audience;
    QWidget *m_client = nullptr;
    QMenuBar *m_menuBar = nullptr;
    QPushButton *m_defaultButton = nullptr;
    QSpacerItem *m_titleRoom = nullptr;
    bool m_wasMinimised = false;
    // The window that had the keyboard when this one opened.
    QPointer<QWidget> m_opener;
};

} // namespace plovista
