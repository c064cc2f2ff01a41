#include "app/placeholders.h"

#include "app/app.h"
#include "app/company.h"
#include "app/twips.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace plovista {

GetPassW::GetPassW(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("GetPassW"))
{
    setWindowTitle(QStringLiteral("Password"));
    m_label1 = new QLabel(QStringLiteral("Enter the password..."), client());
    m_label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(m_label1, 240, 120, 3600);
    m_text1 = new QLineEdit(client());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setEchoMode(QLineEdit::Password);
    m_text1->setAccessibleName(QStringLiteral("Enter the password..."));
    placeTwips(m_text1, 240, 480, 2400);
    m_text2 = new QLineEdit(client());
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setEchoMode(QLineEdit::Password);
    placeTwips(m_text2, 240, 900, 2400);
    m_command1 = new QPushButton(QStringLiteral("Change"), client());
    m_command1->setObjectName(QStringLiteral("Command1"));
    placeTwips(m_command1, 2880, 480, 1000);
    setClientSizeTwips(4200, 1975 - 600);
}

void GetPassW::prepare()
{
    m_command1->setEnabled(false);
}

void GetPassW::openForEntry()
{
    setWindowTitle(QStringLiteral("Password"));
    m_text1->clear();
    m_text2->hide();
    m_label1->setText(QStringLiteral("Enter the password..."));
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

void GetPassW::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.company().returnToStart();
}

} // namespace plovista
