#include "app/shapes.h"

#include <QCheckBox>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace plovista {

QLabel *label(QWidget *parent, const QString &name, const QString &text, int pointSize, bool bold,
              Qt::Alignment alignment)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(name);
    if (pointSize > 0 || bold) {
        QFont f = l->font();
        if (pointSize > 0)
            f.setPointSize(pointSize);
        f.setBold(bold);
        l->setFont(f);
    }
    l->setAlignment(alignment | Qt::AlignVCenter);
    return l;
}

QPushButton *button(QWidget *parent, const QString &name, const QString &caption, const QString &tip)
{
    auto *b = new QPushButton(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

QCheckBox *checkBox(QWidget *parent, const QString &name, const QString &caption, const QString &tip)
{
    auto *b = new QCheckBox(caption, parent);
    b->setObjectName(name);
    if (!tip.isEmpty())
        b->setToolTip(tip);
    return b;
}

LineControl::LineControl(const QString &objectName, QWidget *parent, QColor color)
    : QWidget(parent)
    , m_color(color)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void LineControl::setColor(QColor color)
{
    m_color = color;
    update();
}

void LineControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_color);
}

ShapeControl::ShapeControl(const QString &objectName, QWidget *parent, QColor border, QColor fill, int borderWidth,
                           int radius)
    : QWidget(parent)
    , m_border(border)
    , m_fill(fill)
    , m_borderWidth(borderWidth)
    , m_radius(radius)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal inset = m_borderWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
    painter.setPen(m_borderWidth > 0 ? QPen(m_border, m_borderWidth) : Qt::NoPen);
    painter.setBrush(m_fill);
    painter.drawRoundedRect(box, m_radius, m_radius);
}

} // namespace plovista
