#pragma once

#include <QProxyStyle>

namespace plovista {

// The style Qt chooses, but for one thing: the arrow a menu bar shows when it
// is too narrow for its menus is read from Qt's images only when it is first
// drawn, not as the bar is made. Reading that first image loads every
// image-format plugin Qt has (Qt asks each whether it reads the file), which
// the start screen waited for before its first paint though it never shows
// the arrow.
class ProgramStyle final : public QProxyStyle
{
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption *option = nullptr,
                       const QWidget *widget = nullptr) const override;
};

} // namespace plovista
