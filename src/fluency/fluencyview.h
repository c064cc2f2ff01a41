#pragma once

#include "fluency/fluencygrid.h"

#include <QWidget>

#include <optional>

namespace plovista {

// The grid on the screen, drawn by the same routine as the printed page; a
// message in its place when there is nothing to show.
class FluencyView final : public QWidget
{
    Q_OBJECT
public:
    explicit FluencyView(QWidget *parent = nullptr);

    void showGrid(FluencyGrid grid);
    void showMessage(const QString &message);
    const std::optional<FluencyGrid> &grid() const { return m_grid; }

    QSize sizeHint() const override;
    // "7 x 5: almost (fluent, one day so far), 1.4 s": what the tooltip of
    // the cell under the point says; empty off the facts.
    QString cellTip(QPoint point) const;
    QRectF gridArea() const;

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<FluencyGrid> m_grid;
    QString m_message;
};

} // namespace plovista
