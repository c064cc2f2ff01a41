#pragma once

#include <QRadioButton>

namespace plovista {

// An option button that also reports a double-click, which the menus take
// as "select and accept". QRadioButton has no such signal of its own.
//
// The keyboard's place in a group of options and the selection are one, as on
// every desktop: Tab enters the group on the selected option, the arrows
// select as they move, and an option selected by the program takes the focus
// from another option of its group. Qt's own buttons select with the arrows
// only when the option left was selected, and keep the Tab stop on the option
// focused last, so the focus could stand on one option while Enter accepted
// another.
class OptionButton final : public QRadioButton
{
    Q_OBJECT
public:
    OptionButton(const QString &objectName, const QString &caption, QWidget *parent);

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void toggledOnOrOff(bool on);
    QList<OptionButton *> group() const;
};

} // namespace plovista
