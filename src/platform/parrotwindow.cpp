#include "platform/parrotwindow.h"

#include <QBitmap>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

namespace plovista {

namespace {

// Edge pixels that survive the one-bit mask are blended onto the drawing's
// outline colour, so the cut edge reads as part of the outline.
const QColor EdgeColour(0x17, 0x4d, 0x22);

const Qt::WindowFlags TopLevelFlags =
    Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus;

// One bit a window pixel, set where a pixel of the frame under it (several
// on a screen at a higher scale) is at least half opaque.
QImage maskOf(const QImage &frame)
{
    const QImage pixels = frame.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    const qreal ratio = frame.devicePixelRatio();
    const QSize size = frame.deviceIndependentSize().toSize();
    QImage mask(size, QImage::Format_MonoLSB);
    mask.setColorTable({qRgb(255, 255, 255), qRgb(0, 0, 0)});
    mask.fill(0);
    for (int y = 0; y < size.height(); ++y) {
        const int top = int(y * ratio);
        const int bottom = std::min(pixels.height(), std::max(top + 1, int(std::ceil((y + 1) * ratio))));
        for (int x = 0; x < size.width(); ++x) {
            const int left = int(x * ratio);
            const int right = std::min(pixels.width(), std::max(left + 1, int(std::ceil((x + 1) * ratio))));
            bool set = false;
            for (int row = top; row < bottom && !set; ++row) {
                const auto *line = reinterpret_cast<const QRgb *>(pixels.constScanLine(row));
                for (int column = left; column < right && !set; ++column)
                    set = qAlpha(line[column]) >= 128;
            }
            if (set)
                mask.setPixel(x, y, 1);
        }
    }
    return mask;
}

} // namespace

ParrotWindow::ParrotWindow(ParrotSurface surface, QWidget *parent)
    : QWidget(parent, surface == ParrotSurface::InWindow ? Qt::WindowFlags() : TopLevelFlags)
    , m_surface(surface)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    applySurface();
}

void ParrotWindow::setSurface(ParrotSurface surface)
{
    if (surface == m_surface || m_surface == ParrotSurface::InWindow || surface == ParrotSurface::InWindow)
        return;
    m_surface = surface;
    // The window's visual (with an alpha channel or not) is fixed when the
    // window system makes it, so a made window is let go and made anew.
    if (testAttribute(Qt::WA_WState_Created))
        destroy();
    applySurface();
    m_maskImage = {};
    clearMask();
    if (!m_frame.isNull())
        cutTo(m_frame);
}

void ParrotWindow::applySurface()
{
    const bool shaped = m_surface == ParrotSurface::Shaped;
    setAttribute(Qt::WA_TranslucentBackground, m_surface == ParrotSurface::Translucent);
    // Shaped, every pixel inside the mask is painted; otherwise what lies
    // under him shows through (the window behind him in a child).
    setAttribute(Qt::WA_OpaquePaintEvent, shaped);
    setAttribute(Qt::WA_NoSystemBackground, !shaped);
    setAutoFillBackground(false);
    // Uncut, his clear corners would keep clicks from what lies under them;
    // he takes none anywhere instead.
    if (m_surface == ParrotSurface::InWindow)
        setAttribute(Qt::WA_TransparentForMouseEvents);
    else
        setWindowFlag(Qt::WindowTransparentForInput, !shaped);
}

void ParrotWindow::setFrame(const QImage &frame)
{
    m_frame = frame;
    const QSize logical = frame.deviceIndependentSize().toSize();
    if (size() != logical)
        setFixedSize(logical);
    cutTo(frame);
    update();
}

void ParrotWindow::cutTo(const QImage &frame)
{
    // Blended, a mask would only clip his painting: a compositor that does
    // not cut the window to it (XWayland's, a child's in Qt's Wayland
    // buffers) then shows what an earlier frame left outside the new
    // outline. The whole square is painted instead.
    if (m_surface != ParrotSurface::Shaped)
        return;
    QImage maskImage = maskOf(frame);
    if (maskImage == m_maskImage)
        return;
    m_maskImage = maskImage;
    const QRegion region(QBitmap::fromImage(m_maskImage));
    // An empty region would lift the mask and show the whole square.
    setMask(region.isEmpty() ? QRegion(0, 0, 1, 1) : region);
}

void ParrotWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    switch (m_surface) {
    case ParrotSurface::Shaped:
        painter.fillRect(rect(), EdgeColour);
        break;
    case ParrotSurface::Translucent:
        // What the window held stays unless overwritten: each frame replaces
        // every pixel, so nothing of the one before it is left where this
        // one is clear.
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.fillRect(rect(), Qt::transparent);
        painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
        break;
    case ParrotSurface::InWindow:
        // The window behind him is painted first under a child that is not
        // opaque; clearing here would punch a hole through it.
        break;
    }
    painter.drawImage(0, 0, m_frame);
}

} // namespace plovista
