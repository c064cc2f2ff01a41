#pragma once

#include <QRadioButton>

namespace plovista {

// An option button that also reports a double-click, which the menus take
// as "select and accept". QRadioButton has no such signal of its own.
class OptionButton final : public QRadioButton
{
    Q_OBJECT
public:
    OptionButton(const QString &objectName, const QString &caption, QWidget *parent);

Q_SIGNALS:
    void doubleClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent *event) override;
};

} // namespace plovista
