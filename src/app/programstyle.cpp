#include "app/programstyle.h"

#include <QIconEngine>
#include <QPointer>
#include <QStyleOption>

#include <optional>

namespace plovista {

namespace {

// The style's own icon, asked for the first time it is needed. The arrows
// depend on the option's direction alone, not on the widget.
class IconWhenDrawn final : public QIconEngine
{
public:
    IconWhenDrawn(QStyle *style, QStyle::StandardPixmap which, const QStyleOption *option)
        : m_style(style)
        , m_which(which)
    {
        if (option)
            m_option = *option;
    }

    void paint(QPainter *painter, const QRect &rect, QIcon::Mode mode, QIcon::State state) override
    {
        icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().pixmap(size, mode, state);
    }
    QPixmap scaledPixmap(const QSize &size, QIcon::Mode mode, QIcon::State state, qreal scale) override
    {
        return icon().pixmap(size, scale, mode, state);
    }
    QSize actualSize(const QSize &size, QIcon::Mode mode, QIcon::State state) override
    {
        return icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override
    {
        return icon().availableSizes(mode, state);
    }
    QIconEngine *clone() const override { return new IconWhenDrawn(*this); }

private:
    const QIcon &icon()
    {
        if (!m_icon)
            m_icon = m_style ? m_style->standardIcon(m_which, m_option ? &*m_option : nullptr) : QIcon();
        return *m_icon;
    }

    QPointer<QStyle> m_style;
    QStyle::StandardPixmap m_which;
    std::optional<QStyleOption> m_option;
    std::optional<QIcon> m_icon;
};

} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption *option, const QWidget *widget) const
{
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new IconWhenDrawn(baseStyle(), icon, option));
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace plovista
