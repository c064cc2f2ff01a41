#pragma once

#include <QColor>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;

namespace plovista {

// The controls every window builds, named for tests and screen readers to
// find. A point size of 0 keeps the window's font; the text of a label
// stands in the middle of its height.
QLabel *label(QWidget *parent, const QString &name, const QString &text, int pointSize = 0, bool bold = false,
              Qt::Alignment alignment = Qt::AlignLeft);
QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QString &tip = {});
QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption, const QString &tip = {});

// A drawn line control: it fills its own rectangle, so a horizontal line is a
// widget as high as the line is thick.
class LineControl final : public QWidget
{
public:
    explicit LineControl(const QString &objectName, QWidget *parent, QColor color = Qt::black);
    void setColor(QColor color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};

// A drawn shape control: a rectangle with a border and an optional fill.
class ShapeControl final : public QWidget
{
public:
    ShapeControl(const QString &objectName, QWidget *parent, QColor border, QColor fill = Qt::transparent,
                 int borderWidth = 1, int radius = 0);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_border;
    QColor m_fill;
    int m_borderWidth;
    int m_radius;
};

} // namespace plovista
