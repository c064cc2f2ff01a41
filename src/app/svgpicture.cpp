#include "app/svgpicture.h"

#include <QFileInfo>
#include <QPainter>

namespace plovista {

SvgPicture::SvgPicture(const QString &file, const QString &objectName, QWidget *parent)
    : QWidget(parent)
{
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    if (QFileInfo::exists(file))
        m_renderer.load(file);
}

void SvgPicture::paintEvent(QPaintEvent *)
{
    if (!m_renderer.isValid())
        return;
    QPainter painter(this);
    m_renderer.render(&painter, rect());
}

} // namespace plovista
