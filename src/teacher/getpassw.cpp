#include "teacher/getpassw.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/twips.h"
#include "app/windowplacement.h"
#include "settings/settingkeys.h"
#include "teacher/formsize.h"
#include "teacher/passwordfile.h"
#include "teacher/utilityform.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace plovista {

namespace {

const QString EntryCaption = QStringLiteral("Password");
const QString ChangeCaption = QStringLiteral("Change Password");
const QString EntryLabel = QStringLiteral("Enter the password...");
constexpr int Width = 4200;
constexpr int EntryHeight = 1975;
constexpr int ChangeHeight = 2975;
constexpr int PasswordLength = 5;

// The buttons stand near the bottom of the window in both of its heights.
int buttonTop(int height)
{
    return height - 600 - 480;
}

QLineEdit *passwordBox(QWidget *parent, const QString &name, const QString &tip)
{
    auto *box = new QLineEdit(parent);
    box->setObjectName(name);
    box->setToolTip(tip);
    box->setEchoMode(QLineEdit::Password);
    box->setMaxLength(PasswordLength);
    // One "*" for each character, whatever the style would draw.
    box->setStyleSheet(QStringLiteral("lineedit-password-character: 42;"));
    return box;
}

} // namespace

GetPassW::GetPassW(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("GetPassW"))
{
    setWindowTitle(QStringLiteral("Get Password"));
    m_label1 = new QLabel(QStringLiteral("Type the password."), client());
    m_label1->setObjectName(QStringLiteral("Label1"));
    placeTwips(m_label1, 240, 120, 3600);
    m_text1 = passwordBox(client(), QStringLiteral("Text1"), QStringLiteral(" enter password "));
    placeTwips(m_text1, 240, 480, 2400);
    m_label1->setBuddy(m_text1);
    connect(m_text1, &QLineEdit::textChanged, this, &GetPassW::Text1_Change);
    m_text2 = passwordBox(client(), QStringLiteral("Text2"), QStringLiteral(" confirm password "));
    // The second box has no caption of its own; its tool tip names it.
    m_text2->setAccessibleName(QStringLiteral("confirm password"));
    placeTwips(m_text2, 240, 900, 2400);

    m_command1 = new QPushButton(QStringLiteral("Accept"), client());
    m_command1->setObjectName(QStringLiteral("Command1"));
    connect(m_command1, &QPushButton::clicked, this, &GetPassW::Command1_Click);
    setDefaultButton(m_command1);
    m_changeButt = new QPushButton(QStringLiteral("Change Password..."), client());
    m_changeButt->setObjectName(QStringLiteral("ChangeButt"));
    m_changeButt->setToolTip(QStringLiteral(" type the password, then choose a new one "));
    m_changeButt->setAutoDefault(false);
    connect(m_changeButt, &QPushButton::clicked, this, &GetPassW::ChangeButt_Click);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &GetPassW::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &GetPassW::Quit_Click);

    placeTwips(m_command1, 240, buttonTop(EntryHeight), 1000, 360);
    placeTwips(m_changeButt, 1440, buttonTop(EntryHeight), 2400, 360);
    setFormSizeTwips(*this, Width, EntryHeight);
    m_text1->clear();
}

bool GetPassW::changeMode() const
{
    return windowTitle() == ChangeCaption;
}

void GetPassW::prepare()
{
    m_command1->setEnabled(false);
}

void GetPassW::openForEntry()
{
    m_changeRequested = false;
    setWindowTitle(EntryCaption);
    setFormSizeTwips(*this, Width, EntryHeight);
    placeTwips(m_command1, 240, buttonTop(EntryHeight), 1000, 360);
    m_changeButt->show();
    m_text1->clear();
    m_text2->hide();
    m_label1->setText(EntryLabel);
    // Clear of the name box the access code was typed in, as the start
    // screen's Help box is.
    if (const QScreen *screen = this->screen()) {
        adjustSize();
        placeFrameAt(placeClearOf(frameSizeGuess(), m_app.company().nameArea(), screen->availableGeometry()));
    }
    show();
    raise();
    activateWindow();
    m_text1->setFocus();
}

std::optional<QString> GetPassW::storedPassword() const
{
    return m_app.settings().reread(keys::Password);
}

void GetPassW::Text1_Change()
{
    if (windowTitle() != EntryCaption)
        return;
    const std::optional<QString> password = storedPassword();
    if (!password || m_text1->text() != *password)
        return;
    if (m_changeRequested) {
        enterChangeMode();
        return;
    }
    hide();
    m_app.company().hideNamePanel();
    m_app.utilityForm().openFromPassword();
}

void GetPassW::ChangeButt_Click()
{
    m_changeRequested = true;
    m_changeButt->hide();
    m_label1->setText(QStringLiteral("Type the password to change it..."));
    m_text1->clear();
    m_text1->setFocus();
}

void GetPassW::enterChangeMode()
{
    m_changeRequested = false;
    setFormSizeTwips(*this, Width, ChangeHeight);
    setWindowTitle(ChangeCaption);
    m_label1->setText(QStringLiteral("Type the new password in both boxes."));
    placeTwips(m_command1, 240, buttonTop(ChangeHeight), 1000, 360);
    m_command1->setText(QStringLiteral("Accept"));
    m_command1->setEnabled(true);
    m_changeButt->hide();
    clearBoxes();
    m_text2->show();
    update();
}

void GetPassW::clearBoxes()
{
    // Cleared while in change mode, so the entry test stays out of it.
    m_text1->clear();
    m_text2->clear();
    m_text1->setFocus();
}

void GetPassW::Command1_Click()
{
    if (!changeMode())
        return;
    if (m_app.settings().value(keys::PeedyEnabled)) {
        m_app.speech().ShowPeedy();
        m_app.speech().PerchPeedy();
    }
    const QString first = m_text1->text();
    const QString second = m_text2->text();
    if (first.isEmpty() && second.isEmpty()) {
        // Nothing to save: back to the start screen, usable again.
        hide();
        m_app.company().returnToStart();
        return;
    }
    const QString error = QStringLiteral("Error");
    if (first.size() != PasswordLength || second.size() != PasswordLength) {
        m_app.ask(QStringLiteral("Password must be 5 characters"), error, MsgIcon::Critical, MsgButtons::RetryCancel);
        clearBoxes();
        return;
    }
    if (first != second) {
        if (m_app.ask(QStringLiteral("Your password entries do not agree. Try again."), error, MsgIcon::Critical,
                      MsgButtons::RetryCancel) == MsgRetry)
            clearBoxes();
        return;
    }
    if (const std::optional<QString> problem = newPasswordProblem(first)) {
        m_app.tell(*problem, error, MsgIcon::Critical);
        clearBoxes();
        return;
    }
    // The password is read from its file at every test, so a new one that
    // could not be written is not in force: say so and keep the old one.
    const WriteResult written = m_app.settings().write(keys::Password, first);
    if (!written.ok) {
        m_app.tell(QStringLiteral("The new password could not be saved: %1.\n\nThe old password is still in force.")
                       .arg(written.error),
                   QStringLiteral("Password Not Saved"), MsgIcon::Critical);
        clearBoxes();
        return;
    }
    m_app.tell(QStringLiteral("Your new password has been saved."), QStringLiteral("Password Saved"));
    m_app.company().returnToStart();
    // Neither box keeps the new password once the window is gone.
    m_text1->clear();
    m_text2->clear();
    hide();
}

void GetPassW::help_Click()
{
    if (changeMode())
        m_app.showAssist(ChangeCaption,
                         QStringLiteral("Type the same 5-character password in both boxes. Then press the Accept "
                                        "button. This will be the new password until you change it."));
    else
        m_app.showAssist(EntryCaption,
                         QStringLiteral("Close the  Get Password  form and see the ' Password '  information in  "
                                        "DIRECTIONS  in the MENU BAR at the top of the window."));
}

void GetPassW::Quit_Click()
{
    m_app.quitFrom(*this);
}

void GetPassW::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_changeRequested = false;
    m_app.assistForm().hide();
    m_app.company().returnToStart();
}

} // namespace plovista
