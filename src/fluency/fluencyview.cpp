#include "fluency/fluencyview.h"

#include "fluency/gridpainter.h"

#include <QPainter>

namespace plovista {

FluencyView::FluencyView(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Qt::white);
    setPalette(paper);
}

void FluencyView::showGrid(FluencyGrid grid)
{
    // A screen reader hears the drawn title and the totals.
    setAccessibleName(QStringLiteral("%1: %2").arg(grid.student, operationName(grid.operation)));
    setAccessibleDescription(QStringLiteral("Automatic: %1 of %2 facts").arg(grid.automatic).arg(grid.facts));
    m_grid = std::move(grid);
    m_message.clear();
    update();
}

void FluencyView::showMessage(const QString &message)
{
    m_grid.reset();
    m_message = message;
    setAccessibleName(message);
    setAccessibleDescription({});
    update();
}

QSize FluencyView::sizeHint() const
{
    return {760, 480};
}

void FluencyView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF area = QRectF(rect()).adjusted(12, 12, -12, -12);
    if (m_grid) {
        paintFluencyGrid(painter, area, *m_grid);
        return;
    }
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_message);
}

} // namespace plovista
