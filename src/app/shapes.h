#pragma once

#include <QColor>
#include <QWidget>

namespace plovista {

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
