#include "fluency/workprogressrow.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <algorithm>

namespace plovista {

WorkProgressRow::WorkProgressRow(QWidget *parent)
    : QWidget(parent)
{
    m_label = new QLabel(this);
    m_label->setObjectName(QStringLiteral("WorkLabel"));
    m_bar = new QProgressBar(this);
    m_bar->setObjectName(QStringLiteral("ProgressBar"));
    m_bar->setTextVisible(false);
    auto *cancelButt = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButt->setObjectName(QStringLiteral("CancelButt"));
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_label);
    layout->addWidget(m_bar, 1);
    layout->addWidget(cancelButt);
    hide();
    m_timer = new QTimer(this);
    m_timer->setInterval(100);
    connect(m_timer, &QTimer::timeout, this, &WorkProgressRow::showProgress);
    connect(cancelButt, &QPushButton::clicked, this, &WorkProgressRow::cancelClicked);
}

void WorkProgressRow::start(const QString &caption, BackgroundWork::Work work)
{
    m_label->setText(caption);
    m_bar->setAccessibleName(caption);
    m_bar->setRange(0, 0); // how much there is to do is not known yet
    show();
    m_timer->start();
    m_work.start([this, work = std::move(work)](WorkProgress &progress) -> BackgroundWork::Delivery {
        BackgroundWork::Delivery delivery = work(progress);
        return [this, delivery = std::move(delivery)] {
            ended();
            delivery();
        };
    });
}

void WorkProgressRow::cancel(std::chrono::milliseconds wait)
{
    m_work.cancel(wait);
    ended();
}

void WorkProgressRow::ended()
{
    m_timer->stop();
    hide();
}

void WorkProgressRow::showProgress()
{
    const WorkProgress &progress = m_work.progress();
    const qint64 total = progress.total();
    if (total <= 0) {
        m_bar->setRange(0, 0);
        return;
    }
    m_bar->setRange(0, 1000);
    m_bar->setValue(static_cast<int>(std::min<qint64>(1000, progress.done() * 1000 / total)));
}

} // namespace plovista
