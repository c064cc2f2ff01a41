#include "platform/parrotwindow.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>

namespace plovista {

namespace {

// Edge pixels that survive the mask are blended onto the drawing's outline
// colour, so the cut edge reads as part of the outline.
const QColor EdgeColour(0x17, 0x4d, 0x22);

} // namespace

ParrotWindow::ParrotWindow(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::NoFocus);
}

void ParrotWindow::setFrame(const QImage &frame)
{
    m_frame = frame;
    if (size() != frame.size())
        setFixedSize(frame.size());
    QImage maskImage = frame.createAlphaMask(Qt::ThresholdAlphaDither);
    if (maskImage != m_maskImage) {
        m_maskImage = maskImage;
        const QRegion region(QBitmap::fromImage(maskImage));
        // An empty region would lift the mask and show the whole square.
        setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
    }
    update();
}

void ParrotWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), EdgeColour);
    painter.drawImage(0, 0, m_frame);
}

} // namespace plovista
