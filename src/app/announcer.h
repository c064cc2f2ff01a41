#pragma once

#include <QLabel>

namespace plovista {

// A line for screen readers: what a window has just put up or said (a new
// fact, right or wrong), told through the accessibility events a screen
// reader listens to, for a student who cannot see the window or hear the
// speech. It is a notification to assistive technology and takes no room on
// the window.
class Announcer final : public QLabel
{
    Q_OBJECT
public:
    Announcer(const QString &objectName, QWidget *parent);

    // Tells `text`, also when it is the same as the last: the line goes and
    // comes back with it, as a notification does.
    void announce(const QString &text);
};

} // namespace plovista
