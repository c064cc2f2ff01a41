#include "platform/afterfirstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>

namespace plovista {

namespace {

class FirstPaintWatcher final : public QObject
{
public:
    explicit FirstPaintWatcher(std::function<void()> work)
        : m_work(std::move(work))
    {
        QCoreApplication::instance()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            QCoreApplication::instance()->removeEventFilter(this);
            // Queued, so the paint under way is finished and flushed first.
            QTimer::singleShot(0, this, m_work);
        }
        return false;
    }

private:
    std::function<void()> m_work;
};

} // namespace

std::unique_ptr<QObject> afterFirstPaint(std::function<void()> work)
{
    return std::make_unique<FirstPaintWatcher>(std::move(work));
}

} // namespace plovista
