#pragma once

#include <QImage>
#include <QWidget>

namespace plovista {

// How Peedy's frames reach the screen.
enum class ParrotSurface {
    // His own top-level cut to his outline with a one-bit mask: where nothing
    // composites, a translucent window would show as a black box.
    Shaped,
    // His own top-level with per-pixel alpha, for a compositor to blend.
    Translucent,
    // A child of the window he perches on, drawn over its controls: for
    // window systems that do not let a program place its own top-levels.
    InWindow,
};

// Peedy's window: frameless, above the others and never taking the focus as
// a top-level; an overlay inside the window as a child. Shaped, clicks beside
// his outline reach what lies under him; blended, every click does.
class ParrotWindow final : public QWidget
{
    Q_OBJECT
public:
    // An InWindow surface needs the window he perches on as `parent`.
    explicit ParrotWindow(ParrotSurface surface = ParrotSurface::Shaped, QWidget *parent = nullptr);

    ParrotSurface surface() const { return m_surface; }
    // Switches a top-level between Shaped and Translucent; a window already
    // made is made again, as its visual is chosen when it is made. Hidden
    // top-levels only: the caller shows it again.
    void setSurface(ParrotSurface surface);

    // Shows the frame; a shaped window is cut to it.
    void setFrame(const QImage &frame);
    const QImage &frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void applySurface();
    void cutTo(const QImage &frame);

    ParrotSurface m_surface;
    QImage m_frame;
    QImage m_maskImage;
};

} // namespace plovista
