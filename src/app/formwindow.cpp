#include "app/formwindow.h"

#include "app/app.h"
#include "app/twips.h"
#include "platform/titlebar.h"

#include <QAction>
#include <QApplication>
#include <QHideEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QPushButton>
#include <QScreen>
#include <QSpacerItem>
#include <QVBoxLayout>

namespace plovista {

FormWindow::FormWindow(App &app, Audience audience, const QString &objectName)
    : m_app(app)
    , m_audience(audience)
{
    setObjectName(objectName);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_client = new QWidget(this);
    m_client->setObjectName(QStringLiteral("client"));
    layout->addWidget(m_client);
    // Room for the title, which a window manager cuts where the window is
    // narrower; a client narrower than that stands in the middle.
    m_titleRoom = new QSpacerItem(0, 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
    layout->addItem(m_titleRoom);
}

QMenuBar *FormWindow::formMenuBar()
{
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        // Keep the bar inside the window on every desktop, so the client area
        // keeps its designed size below it.
        m_menuBar->setNativeMenuBar(false);
        static_cast<QVBoxLayout *>(layout())->setMenuBar(m_menuBar);
    }
    return m_menuBar;
}

QAction *FormWindow::addMenuCommand(const QString &name, const QString &caption)
{
    QAction *action = formMenuBar()->addAction(caption);
    action->setObjectName(name);
    return action;
}

void FormWindow::setClientSizeTwips(int width, int height)
{
    m_client->setFixedSize(twips(width), twips(height));
    layout()->setSizeConstraint(QLayout::SetFixedSize);
}

void FormWindow::keyPressEvent(QKeyEvent *event)
{
    // A default button only works inside a dialog in Qt; every window of ours
    // has one, so Enter comes here from any control that does not take it.
    // As on every desktop, a focused push button takes Enter itself and the
    // default button takes it only when the focus is elsewhere.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && isEnabled()) {
        auto *focused = qobject_cast<QPushButton *>(focusWidget());
        QPushButton *target = focused ? focused : m_defaultButton;
        if (target && target->isVisible() && target->isEnabled()) {
            target->click();
            event->accept();
            return;
        }
    }
    QWidget::keyPressEvent(event);
}

void FormWindow::placeFrameAt(QPoint topLeft)
{
    // The size is settled first: before a window is first shown Qt hands the
    // window system a position that includes the frame, but a resize in
    // between (the layout fixing the size as the window shows) makes it the
    // client area's, and the title bar lands above it, off the screen.
    if (layout())
        layout()->activate();
    move(topLeft);
}

QSize FormWindow::frameSizeGuess() const
{
    if (frameGeometry().size() != size())
        return frameGeometry().size();
    // Every window of the program gets the same decorations.
    for (const QWidget *top : QApplication::topLevelWidgets()) {
        const QSize extra = top->frameGeometry().size() - top->size();
        if (top->isVisible() && !extra.isEmpty())
            return size() + extra;
    }
    return size();
}

void FormWindow::setVisible(bool visible)
{
    if (visible && !isVisible()) {
        QWidget *active = QApplication::activeWindow();
        m_opener = active != this ? active : nullptr;
    }
    // A window that was never placed opens in the middle of the screen, clear
    // of Peedy's perch at the top left, as on a desktop without a window
    // manager it would otherwise land in the corner. It is placed before it
    // shows, so the window system takes the position for the frame.
    if (visible && !isVisible() && !testAttribute(Qt::WA_Moved)) {
        if (const QScreen *screen = this->screen()) {
            // The size showing would give it, as Qt gives it then.
            if (!testAttribute(Qt::WA_Resized)) {
                adjustSize();
                setAttribute(Qt::WA_Resized, false);
            }
            // A window that can be made smaller is, as far as it needs to fit
            // the free area (the fixed-size ones fit at the program's scale).
            // Some room is kept to spare: the frame guessed is that of the
            // fixed-size windows, where a window manager leaves out the grip
            // it gives a resizable one (openbox: 4 pixels at the foot), and
            // at a fractional scale its size in logical pixels is rounded.
            const QSize room = screen->availableGeometry().size() - (frameSizeGuess() - size()) - QSize(8, 8);
            const QSize fitted = size().boundedTo(room).expandedTo(minimumSize());
            if (fitted != size())
                resize(fitted);
            QRect frame(QPoint(), frameSizeGuess());
            frame.moveCenter(screen->availableGeometry().center());
            placeFrameAt(frame.topLeft());
        }
    }
    const bool givesUpKeyboard = !visible && isVisible() && isActiveWindow();
    QWidget::setVisible(visible);
    // As a window owned by another gives the keyboard back to it: without
    // this a student would be left with no window taking keys where the
    // desktop does not choose one, and with whichever it chooses where it
    // does. A window opened next takes the keyboard from it in turn.
    if (givesUpKeyboard && m_opener && m_opener->isVisible() && m_opener->isEnabled())
        m_opener->activateWindow();
    // The style draws the focus frame only once Tab has moved the focus in a
    // window, and showing a window forgets that; our windows put the focus
    // on the control a student starts on, and a student working from the
    // keyboard must see it there at once.
    if (visible)
        setAttribute(Qt::WA_KeyboardFocusChange);
}

void FormWindow::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // A window closed or hidden while minimised (not merely minimised, which
    // the window system reports as a spontaneous hide) is restored first: the
    // start screen and Peedy it hid come back, and it opens in sight next time.
    if (!event->spontaneous() && isMinimized())
        setWindowState(windowState() & ~Qt::WindowMinimized);
}

void FormWindow::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::WindowTitleChange) {
        m_titleRoom->changeSize(titleBarWidth(font(), windowTitle()), 0, QSizePolicy::Minimum, QSizePolicy::Minimum);
        layout()->invalidate();
        return;
    }
    if (event->type() != QEvent::WindowStateChange)
        return;
    const bool minimised = isMinimized();
    if (minimised == m_wasMinimised)
        return;
    m_wasMinimised = minimised;
    minimisedChanged(minimised);
}

void FormWindow::minimisedChanged(bool minimised)
{
    if (m_audience == Audience::Unaccompanied)
        return;
    if (minimised)
        m_app.formMinimised(m_audience);
    else
        m_app.formRestored(m_audience);
}

} // namespace plovista
