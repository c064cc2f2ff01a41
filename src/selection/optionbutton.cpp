#include "selection/optionbutton.h"

#include <QMouseEvent>

namespace plovista {

OptionButton::OptionButton(const QString &objectName, const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
{
    setObjectName(objectName);
}

void OptionButton::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled()) {
        QRadioButton::mouseDoubleClickEvent(event);
        return;
    }
    event->accept();
    // The first click of the pair has already selected the option; selecting
    // it here too keeps a double-click that arrives alone meaning the same.
    setChecked(true);
    Q_EMIT doubleClicked();
}

} // namespace plovista
