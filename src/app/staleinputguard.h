#pragma once

#include <QObject>

class QWidget;

namespace plovista {

// Keeps input that began before a window came up from pressing its buttons:
// a quick second Enter meant for the screen before, already on its way when
// this one is shown, or a key held down since then and repeating.
class StaleInputGuard final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StaleInputGuard)
public:
    // Call right after showing `window`: takes every key press and click
    // already on its way, then lets keys through again from the first one
    // pressed afresh, or once the window is hidden.
    static void guard(QWidget &window);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    explicit StaleInputGuard(QWidget &window);
    void release();

    QWidget &m_window;
    bool m_draining = true;
};

} // namespace plovista
