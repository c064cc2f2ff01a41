#include "app/vistanotice.h"

#include "app/app.h"
#include "settings/settingkeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plovista {

VistaNotice::VistaNotice(App &app)
    : FormWindow(app, Audience::Unaccompanied, QStringLiteral("VistaNotice"))
{
    setWindowTitle(QStringLiteral("Plovista"));
    auto *layout = new QVBoxLayout(client());
    layout->setContentsMargins(24, 20, 24, 20);
    auto *text = new QLabel(QStringLiteral("This version of Windows shows its own security prompts when the program "
                                           "switches the display or speaks for the first time.  Allow them, and the "
                                           "program will run as designed.  If a window appears in the wrong place, "
                                           "choose Display Settings in the menu bar."),
                            client());
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    text->setMinimumWidth(380);
    layout->addWidget(text);
    m_vistaCheck = new QCheckBox(QStringLiteral("Don't show this notice again"), client());
    m_vistaCheck->setObjectName(QStringLiteral("VistaCheck"));
    layout->addWidget(m_vistaCheck);
    auto *close = new QPushButton(QStringLiteral("Close"), client());
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    setDefaultButton(close);
}

void VistaNotice::closeEvent(QCloseEvent *event)
{
    if (m_vistaCheck->isChecked())
        m_app.writeSetting(keys::VistaNotice, false);
    event->accept();
}

} // namespace plovista
