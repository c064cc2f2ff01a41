#include "app/agentmissing.h"

#include "app/app.h"
#include "app/contactform.h"
#include "platform/shell.h"
#include "platform/systeminfo.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plovista {

AgentMissing::AgentMissing(App &app)
    : FormWindow(app, Audience::Unaccompanied, QStringLiteral("AgentMissing"))
{
    setWindowTitle(QStringLiteral("Peedy Is Missing"));
    auto *layout = new QVBoxLayout(client());
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(12);
    auto *text = new QLabel(
        QStringLiteral("The files of Peedy the parrot, which this program needs to run, are missing from this "
                       "computer (%1).\n\nReinstalling the package  plovista  with the package manager restores "
                       "them, for example with  sudo apt install --reinstall plovista   If you cannot reinstall it, "
                       "send us an e-mail and we will tell you where to download the package again.")
            .arg(app.systemInfo().systemFolder()),
        client());
    text->setObjectName(QStringLiteral("Label1"));
    text->setWordWrap(true);
    text->setMinimumWidth(400);
    layout->addWidget(text);
    auto *mail = new QPushButton(QStringLiteral("Send E-mail"), client());
    mail->setObjectName(QStringLiteral("SendMail"));
    connect(mail, &QPushButton::clicked, this, [this] {
        m_app.shell().open(QStringLiteral("mailto:%1?subject=Plovista%20download").arg(m_app.contactForm().email()));
    });
    layout->addWidget(mail, 0, Qt::AlignLeft);
    auto *close = new QPushButton(QStringLiteral("Close"), client());
    close->setObjectName(QStringLiteral("Command1"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
}

void AgentMissing::open()
{
    show();
    raise();
    activateWindow();
}

void AgentMissing::closeEvent(QCloseEvent *event)
{
    const int answer = m_app.ask(QStringLiteral("Download Peedy's files?"), QStringLiteral("Plovista"),
                                 MsgIcon::Question, MsgButtons::YesNo);
    if (answer == MsgYes) {
        m_app.tell(QStringLiteral("Press the  Send E-mail  button to ask us for a download link."),
                   QStringLiteral("Send E-mail"), MsgIcon::Information);
        event->ignore();
        return;
    }
    m_app.tell(QStringLiteral("The program will now close.  Reinstall the package to restore Peedy's files."),
               QStringLiteral("Plovista"), MsgIcon::Information);
    event->accept();
    m_app.quitProgram();
}

} // namespace plovista
