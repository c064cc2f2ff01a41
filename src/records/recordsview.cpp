#include "records/recordsview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QtMath>

#include <algorithm>

namespace plovista {

namespace {
// Room between the frame and the first character.
constexpr int Margin = 2;
} // namespace

namespace {

// What a screen reader reads from the box: the records in sight, as the
// student or teacher sees them, one line after the other.
class RecordsViewAccessible final : public QAccessibleWidget
{
public:
    explicit RecordsViewAccessible(RecordsView *view)
        : QAccessibleWidget(view, QAccessible::StaticText)
    { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind != QAccessible::Value)
            return QAccessibleWidget::text(kind);
        const auto *view = static_cast<const RecordsView *>(widget());
        return view->lines(view->firstVisibleLine(), view->linesShown()).join(QLatin1Char('\n'));
    }
};

QAccessibleInterface *recordsViewAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("plovista::RecordsView") && object && object->isWidgetType())
        return new RecordsViewAccessible(static_cast<RecordsView *>(object));
    return nullptr;
}

} // namespace

RecordsView::RecordsView(QWidget *parent)
    : QAbstractScrollArea(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(recordsViewAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
}

void RecordsView::setLines(TextLines lines)
{
    m_lines = std::move(lines);
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    updateScrollBars();
    viewport()->update();
}

qsizetype RecordsView::firstVisibleLine() const
{
    return verticalScrollBar()->value();
}

QPoint RecordsView::cellPosition(qsizetype line, qsizetype column) const
{
    const qreal x = Margin + static_cast<qreal>(column) * cellWidth() - horizontalScrollBar()->value();
    const qsizetype y = (line - firstVisibleLine()) * lineHeight();
    return {qRound(x), static_cast<int>(y)};
}

int RecordsView::lineHeight() const
{
    return std::max(fontMetrics().lineSpacing(), 1);
}

qreal RecordsView::cellWidth() const
{
    // Glyphs are placed at their exact advance, which need not be whole pixels.
    return std::max(QFontMetricsF(font()).horizontalAdvance(QLatin1Char('0')), 1.0);
}

int RecordsView::linesInSight() const
{
    return std::max(viewport()->height() / lineHeight(), 1);
}

void RecordsView::updateScrollBars()
{
    // Scrolled a line at a time, so the top line is always whole.
    const int inSight = linesInSight();
    QScrollBar *vertical = verticalScrollBar();
    vertical->setRange(0, static_cast<int>(std::max<qsizetype>(lineCount() - inSight, 0)));
    vertical->setPageStep(inSight);
    vertical->setSingleStep(1);

    const int width = qCeil(2 * Margin + static_cast<qreal>(m_lines.longestLine()) * cellWidth());
    QScrollBar *horizontal = horizontalScrollBar();
    horizontal->setRange(0, std::max(width - viewport()->width(), 0));
    horizontal->setPageStep(viewport()->width());
    horizontal->setSingleStep(qCeil(cellWidth()));
}

void RecordsView::paintEvent(QPaintEvent *event)
{
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int height = lineHeight();
    const int ascent = fontMetrics().ascent();
    const int x = Margin - horizontalScrollBar()->value();
    // Only the lines the event asks for are read from the file, in one go.
    const int skipped = std::max(event->rect().top() / height - 1, 0);
    const int last = std::max(event->rect().bottom(), 0) / height;
    const QStringList shown = lines(firstVisibleLine() + skipped, last - skipped + 1);
    for (qsizetype i = 0; i < shown.size(); ++i)
        painter.drawText(x, static_cast<int>(skipped + i) * height + ascent, shown[i]);
}

void RecordsView::resizeEvent(QResizeEvent *event)
{
    QAbstractScrollArea::resizeEvent(event);
    updateScrollBars();
}

void RecordsView::keyPressEvent(QKeyEvent *event)
{
    // The arrows and the page keys scroll as in any scroll area; Home and End
    // go to the line's ends, and with Ctrl to the first and last record.
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    QScrollBar *bar = ctrl ? verticalScrollBar() : horizontalScrollBar();
    switch (event->key()) {
    case Qt::Key_Home:
        bar->setValue(bar->minimum());
        return;
    case Qt::Key_End:
        bar->setValue(bar->maximum());
        return;
    default:
        QAbstractScrollArea::keyPressEvent(event);
    }
}

void RecordsView::changeEvent(QEvent *event)
{
    QAbstractScrollArea::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        updateScrollBars();
        viewport()->update();
    }
}

} // namespace plovista
