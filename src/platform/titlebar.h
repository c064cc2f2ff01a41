#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QString>

namespace plovista {

// How wide a window must be for a window manager to show its whole title
// rather than cut it ("Util... enu"): the title in a bold face, as title bars
// draw it, and room for the title bar's buttons.
inline int titleBarWidth(QFont font, const QString &title)
{
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(title) + 120;
}

} // namespace plovista
