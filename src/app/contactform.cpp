#include "app/contactform.h"

#include "app/app.h"
#include "platform/shell.h"
#include "platform/systeminfo.h"
#include "settings/textfile.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace plovista {

ContactForm::ContactForm(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ContactForm"))
    , m_email(QStringLiteral("support@plovista.example"))
    , m_website(QStringLiteral("https://plovista.example"))
{
    setWindowTitle(QStringLiteral("Contact Corvanel"));
    // "email=" and "web=" lines; anything else in the file is ignored.
    if (const auto text = readTextFile(app.systemInfo().systemFolder() + QStringLiteral("/contact.txt"))) {
        for (const QString &line : text->split(QLatin1Char('\n'))) {
            const QString l = line.trimmed();
            if (l.startsWith(QLatin1String("email=")) && l.size() > 6)
                m_email = l.mid(6);
            else if (l.startsWith(QLatin1String("web=")) && l.size() > 4)
                m_website = l.mid(4);
        }
    }

    auto *layout = new QVBoxLayout(client());
    layout->setContentsMargins(24, 20, 24, 20);
    layout->setSpacing(10);
    auto *intro = new QLabel(QStringLiteral("Questions, suggestions or a problem with the program?  We are glad to "
                                            "hear from teachers, parents and students."),
                             client());
    intro->setObjectName(QStringLiteral("Label1"));
    intro->setWordWrap(true);
    intro->setMinimumWidth(360);
    layout->addWidget(intro);

    auto *mail = new QPushButton(QStringLiteral("E-mail: %1").arg(m_email), client());
    mail->setObjectName(QStringLiteral("EmailLink"));
    mail->setFlat(true);
    mail->setCursor(Qt::PointingHandCursor);
    mail->setStyleSheet(QStringLiteral("color: #1f5f9f; text-decoration: underline; text-align: left;"));
    connect(mail, &QPushButton::clicked, this, [this] { m_app.shell().open(QStringLiteral("mailto:") + m_email); });
    layout->addWidget(mail);

    auto *web = new QPushButton(QStringLiteral("Web site: %1").arg(m_website), client());
    web->setObjectName(QStringLiteral("WebLink"));
    web->setFlat(true);
    web->setCursor(Qt::PointingHandCursor);
    web->setStyleSheet(QStringLiteral("color: #1f5f9f; text-decoration: underline; text-align: left;"));
    connect(web, &QPushButton::clicked, this, [this] { m_app.shell().open(m_website); });
    layout->addWidget(web);

    auto *close = new QPushButton(QStringLiteral("Close"), client());
    close->setObjectName(QStringLiteral("CloseButt"));
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    layout->addWidget(close, 0, Qt::AlignRight);
    setDefaultButton(close);
}

} // namespace plovista
