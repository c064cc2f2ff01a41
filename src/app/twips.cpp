#include "app/twips.h"

#include <QWidget>

namespace plovista {

void placeTwips(QWidget *widget, int left, int top, int width, int height)
{
    const QSize hint = widget->sizeHint();
    const int w = width > 0 ? twips(width) : hint.width();
    const int h = height > 0 ? twips(height) : hint.height();
    widget->setGeometry(twips(left), twips(top), w, h);
}

} // namespace plovista
