#pragma once

#include "fluency/backgroundwork.h"

#include <QWidget>

#include <chrono>

class QLabel;
class QProgressBar;
class QPushButton;
class QTimer;

namespace plovista {

// The row a window shows while it works on a thread of its own: what it is
// doing, how far it has got, and Cancel. It runs the window's work, one piece
// at a time, and is shown only while a piece runs, so the window stays free
// however long the work.
class WorkProgressRow final : public QWidget
{
    Q_OBJECT
public:
    explicit WorkProgressRow(QWidget *parent);

    // Cancels the work running, then shows the caption and starts this. The
    // row hides before what the work returns runs.
    void start(const QString &caption, BackgroundWork::Work work);
    // Tells the work to stop and hides the row; nothing the work returns is
    // delivered. Waits at most `wait` for it to end.
    void cancel(std::chrono::milliseconds wait = std::chrono::milliseconds(0));

Q_SIGNALS:
    // The user pressed Cancel; the window decides what follows (it cancels
    // the work through the row).
    void cancelClicked();

private:
    void ended();
    void showProgress();

    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QTimer *m_timer = nullptr;
    // Last, so it goes first: nothing is delivered to a row going away.
    BackgroundWork m_work {*this};
};

} // namespace plovista
