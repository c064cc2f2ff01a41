#pragma once

#include <QImage>
#include <QWidget>

namespace plovista {

// Peedy's own top-level window: frameless, above the others, never taking
// the focus, and cut to his outline with a mask. A translucent window would
// show as a black box where no compositor runs, so the mask does the work.
class ParrotWindow final : public QWidget
{
    Q_OBJECT
public:
    explicit ParrotWindow(QWidget *parent = nullptr);

    // Shows the frame and cuts the window to its opaque pixels.
    void setFrame(const QImage &frame);
    const QImage &frame() const { return m_frame; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QImage m_frame;
    QImage m_maskImage;
};

} // namespace plovista
