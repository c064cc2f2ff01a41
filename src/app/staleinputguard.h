#pragma once

#include <QObject>

#include <chrono>

class QWidget;

namespace plovista {

class Clock;

// Keeps input that began before a window came up from pressing its buttons:
// keys hammered at the screen before (a student's Enters at "Get Score"), a
// key held down since then and repeating, or one whose release is still to
// come.
class StaleInputGuard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StaleInputGuard)
public:
    // How long a window takes no key and no click after it comes up: long
    // enough to see that the screen changed, short enough to go unnoticed.
    static constexpr std::chrono::milliseconds Settle {400};

    // Call right after showing `window`. Every key press and click is dropped
    // until the window has been up for Settle on `clock`'s monotonic time;
    // after that keys are dropped until one is pressed afresh, so a key held
    // since, its repeats and its release go nowhere. Ends with that key, or
    // when the window is hidden.
    static void guard(QWidget &window, Clock &clock);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    StaleInputGuard(QWidget &window, Clock &clock);
    bool settling();
    void release();

    QWidget &m_window;
    Clock &m_clock;
    std::chrono::microseconds m_shownAt;
    // Mouse buttons whose press was dropped: their release is too.
    Qt::MouseButtons m_droppedButtons;
};

} // namespace plovista
