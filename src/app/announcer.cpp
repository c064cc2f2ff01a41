#include "app/announcer.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace plovista {

namespace {

// A screen reader speaks a notification as it appears; a plain label only
// when it has the focus, which this line never takes.
class AnnouncerAccessible final : public QAccessibleWidget
{
public:
    explicit AnnouncerAccessible(QLabel *label)
        : QAccessibleWidget(label, QAccessible::Notification)
    { }

    QString text(QAccessible::Text kind) const override
    {
        if (kind == QAccessible::Name)
            return static_cast<const QLabel *>(widget())->text();
        return QAccessibleWidget::text(kind);
    }
};

QAccessibleInterface *announcerAccessible(const QString &className, QObject *object)
{
    if (className == QLatin1String("plovista::Announcer") && object && object->isWidgetType())
        return new AnnouncerAccessible(static_cast<Announcer *>(object));
    return nullptr;
}

} // namespace

Announcer::Announcer(const QString &objectName, QWidget *parent)
    : QLabel(parent)
{
    static const bool accessible = [] {
        QAccessible::installFactory(announcerAccessible);
        return true;
    }();
    Q_UNUSED(accessible);
    setObjectName(objectName);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setGeometry(0, 0, 0, 0);
}

void Announcer::announce(const QString &text)
{
    hide();
    const bool same = text == this->text();
    setText(text);
    // A label tells a change of its text itself, and nothing when it stays.
    if (same) {
        QAccessibleEvent event(this, QAccessible::NameChanged);
        QAccessible::updateAccessibility(&event);
    }
    show();
}

} // namespace plovista
