#include "fluency/fluencyview.h"

#include "fluency/gridpainter.h"

#include <QHelpEvent>
#include <QLocale>
#include <QPainter>
#include <QToolTip>

namespace plovista {

FluencyView::FluencyView(QWidget *parent)
    : QWidget(parent)
{
    setAutoFillBackground(true);
    QPalette paper = palette();
    paper.setColor(QPalette::Window, Qt::white);
    setPalette(paper);
    // No smaller than keeps a cell's mark at 12 pixels (half a cell).
    setMinimumSize(580, 430);
}

void FluencyView::showGrid(FluencyGrid grid)
{
    // A screen reader hears the drawn title and the totals.
    setAccessibleName(QStringLiteral("%1: %2").arg(grid.student, operationName(grid.operation)));
    setAccessibleDescription(QStringLiteral("Knows it: %1 of %2 facts drilled").arg(grid.automatic).arg(grid.facts));
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

QRectF FluencyView::gridArea() const
{
    return QRectF(rect()).adjusted(12, 12, -12, -12);
}

QString FluencyView::cellTip(QPoint point) const
{
    if (!m_grid)
        return {};
    const std::optional<GridPlace> place = fluencyGridCellAt(gridArea(), *m_grid, point);
    if (!place)
        return {};
    const GridCell &cell = m_grid->at(place->row, place->columnIndex);
    if (!cell.isFact || !cell.drilled)
        return {};
    // The level a teacher reads, and the finer state it comes from.
    QString tip = QStringLiteral("%1: %2 (%3)")
                      .arg(factText({m_grid->operation, place->row, m_grid->columnNumber(place->columnIndex)}),
                           levelName(factLevel(cell.status)), statusName(cell.status));
    if (cell.ms && factLevel(cell.status) != FactLevel::TeachIt)
        tip += QStringLiteral(", %1 s").arg(QLocale::system().toString(*cell.ms / 1000.0, 'f', 1));
    return tip;
}

bool FluencyView::event(QEvent *event)
{
    if (event->type() == QEvent::ToolTip) {
        auto *help = static_cast<QHelpEvent *>(event);
        const QString tip = cellTip(help->pos());
        if (tip.isEmpty())
            QToolTip::hideText();
        else
            QToolTip::showText(help->globalPos(), tip, this);
        return true;
    }
    return QWidget::event(event);
}

void FluencyView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRectF area = gridArea();
    if (m_grid) {
        paintFluencyGrid(painter, area, *m_grid);
        return;
    }
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, m_message);
}

} // namespace plovista
