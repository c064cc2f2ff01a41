#pragma once

#include <QSvgRenderer>
#include <QWidget>

namespace plovista {

// A picture drawn from one of the program's SVG data files, scaled to the
// widget; nothing is drawn when the file is missing.
class SvgPicture final : public QWidget
{
public:
    SvgPicture(const QString &file, const QString &objectName, QWidget *parent);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QSvgRenderer m_renderer;
};

} // namespace plovista
