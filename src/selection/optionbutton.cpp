#include "selection/optionbutton.h"

#include <QKeyEvent>
#include <QMouseEvent>

namespace plovista {

OptionButton::OptionButton(const QString &objectName, const QString &caption, QWidget *parent)
    : QRadioButton(caption, parent)
{
    setObjectName(objectName);
    connect(this, &QAbstractButton::toggled, this, &OptionButton::toggledOnOrOff);
}

QList<OptionButton *> OptionButton::group() const
{
    // This option counts even while it is made not exclusive, as the menus do
    // for a moment to clear their selection.
    QList<OptionButton *> options;
    if (!parentWidget())
        return options;
    for (OptionButton *option : parentWidget()->findChildren<OptionButton *>(QString(), Qt::FindDirectChildrenOnly))
        if (option == this || option->autoExclusive())
            options << option;
    return options;
}

void OptionButton::toggledOnOrOff(bool on)
{
    const QList<OptionButton *> options = group();
    // Tab stops at the selected option only; with none selected, at each.
    bool anySelected = false;
    for (const OptionButton *option : options)
        anySelected = anySelected || option->isChecked();
    for (OptionButton *option : options) {
        const Qt::FocusPolicy policy = option->focusPolicy();
        const bool stop = !anySelected || option->isChecked();
        option->setFocusPolicy(stop ? Qt::FocusPolicy(policy | Qt::TabFocus) : Qt::FocusPolicy(policy & ~Qt::TabFocus));
    }
    if (!on)
        return;
    // The window's focus, shown or waiting for the window to show again.
    auto *focused = qobject_cast<OptionButton *>(window()->focusWidget());
    if (focused && focused != this && options.contains(focused))
        setFocus(Qt::OtherFocusReason);
}

void OptionButton::keyPressEvent(QKeyEvent *event)
{
    QRadioButton::keyPressEvent(event);
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
        break;
    default:
        return;
    }
    auto *reached = qobject_cast<OptionButton *>(window()->focusWidget());
    if (reached && reached != this && !reached->isChecked() && group().contains(reached))
        reached->click();
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
