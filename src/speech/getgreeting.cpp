#include "speech/getgreeting.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/shapes.h"
#include "app/startup.h"
#include "app/twips.h"
#include "settings/settingkeys.h"
#include "speech/controlpeedy.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalBlocker>

namespace plovista {

namespace {

constexpr int kGreetingLength = 700;
constexpr int kNameLength = 15;

} // namespace

GetGreeting::GetGreeting(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("GetGreeting"))
{
    setWindowTitle(QStringLiteral("Customize Greetings"));
    setClientSizeTwips(7200, 4440);

    placeTwips(label(client(), QStringLiteral("IntroLabel"), QStringLiteral("Custom Greeting:")), 240, 150);
    // A greeting may be long, so its box wraps; it stays one line all the same
    // (see keepGreetingToOneLine).
    m_text1 = new QPlainTextEdit(client());
    m_text1->setObjectName(QStringLiteral("Text1"));
    m_text1->setToolTip(QStringLiteral(" enter a greeting "));
    m_text1->setAccessibleName(QStringLiteral("Custom Greeting:"));
    m_text1->setTabChangesFocus(true);
    m_text1->installEventFilter(this);
    placeTwips(m_text1, 240, 420, 5400, 1200);
    connect(m_text1, &QPlainTextEdit::textChanged, this, &GetGreeting::keepGreetingToOneLine);
    m_prevIntroButt = button(client(), QStringLiteral("PrevIntroButt"), QStringLiteral("Preview"),
                             QStringLiteral(" press to hear the greeting "));
    placeTwips(m_prevIntroButt, 5880, 420, 1100, 400);
    connect(m_prevIntroButt, &QPushButton::clicked, this, &GetGreeting::PrevIntroButt_Click);

    m_noGreeting = checkBox(client(), QStringLiteral("NoGreeting"), QStringLiteral("No Greeting"));
    placeTwips(m_noGreeting, 240, 1740, 3000);
    connect(m_noGreeting, &QCheckBox::clicked, this, &GetGreeting::NoGreeting_Click);
    m_integrateGreeting =
        checkBox(client(), QStringLiteral("IntegrateGreeting"), QStringLiteral("Integrate Custom Greeting"),
                 QStringLiteral(" Integrate your greeting with the standard greetings "));
    placeTwips(m_integrateGreeting, 2400, 1740, 3000);

    m_nameLabel = label(client(), QStringLiteral("NameLabel"), QStringLiteral("Custom Name:"));
    placeTwips(m_nameLabel, 240, 2340);
    m_text2 = new QLineEdit(client());
    m_text2->setObjectName(QStringLiteral("Text2"));
    m_text2->setToolTip(QStringLiteral(" enter a name "));
    m_text2->setAccessibleName(QStringLiteral("Custom Name:"));
    m_text2->setMaxLength(kNameLength);
    placeTwips(m_text2, 240, 2610, 3000);
    m_prevNameButt = button(client(), QStringLiteral("PrevNameButt"), QStringLiteral("Preview"),
                            QStringLiteral(" press to hear the name "));
    placeTwips(m_prevNameButt, 3360, 2580, 1100, 400);
    connect(m_prevNameButt, &QPushButton::clicked, this, &GetGreeting::PrevNameButt_Click);
    m_allowUserName = checkBox(client(), QStringLiteral("AllowUserName"), QStringLiteral("Allow Any User Name"),
                               QStringLiteral(" Peedy says all user names "));
    placeTwips(m_allowUserName, 240, 3180, 3000);
    connect(m_allowUserName, &QCheckBox::clicked, this, &GetGreeting::AllowUserName_Click);

    m_acceptButt = new QPushButton(QStringLiteral("Accept"), client());
    m_acceptButt->setObjectName(QStringLiteral("AcceptButt"));
    m_acceptButt->setToolTip(QStringLiteral(" press to accept changes "));
    placeTwips(m_acceptButt, 5880, 3720, 1100, 420);
    connect(m_acceptButt, &QPushButton::clicked, this, &GetGreeting::AcceptButt_Click);
    setDefaultButton(m_acceptButt);

    buildMenuBar();
}

void GetGreeting::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &GetGreeting::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("&Quit"));
    connect(quit, &QAction::triggered, this, &GetGreeting::Quit_Click);
}

void GetGreeting::keepGreetingToOneLine()
{
    const QString typed = m_text1->toPlainText();
    const QString kept = oneLine(typed).left(kGreetingLength);
    if (kept == typed)
        return;
    QTextCursor cursor = m_text1->textCursor();
    const int position = std::min(cursor.position(), static_cast<int>(kept.size()));
    const QSignalBlocker blocker(m_text1);
    m_text1->setPlainText(kept);
    cursor = m_text1->textCursor();
    cursor.setPosition(position);
    m_text1->setTextCursor(cursor);
}

bool GetGreeting::eventFilter(QObject *watched, QEvent *event)
{
    // Enter in the greeting box is not a new line: the greeting is one line.
    if (watched == m_text1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter)
            return true;
    }
    return FormWindow::eventFilter(watched, event);
}

void GetGreeting::openFromSpeechSettings()
{
    AppState &s = m_app.state();
    Settings &settings = m_app.settings();
    setWindowTitle(QStringLiteral("Customize Greetings"));
    // The greeting, the name and the mode are read anew from their files; a
    // greeting or name that cannot be read shows as empty.
    const QString greeting = settings.reread(keys::CustomGreeting).value_or(QString());
    const QString customName = settings.reread(keys::CustomName).value_or(QString());
    s.SpokenName = spokenNameFrom(customName, s.FirstName);
    settings.reread(keys::GreetingMode);
    const QString mode = settings.value(keys::GreetingMode);

    const bool anyName = customName == QLatin1String("AllowUserName");
    m_allowUserName->setChecked(anyName);
    m_text2->setText(anyName ? QString() : customName);
    AllowUserName_Click();
    if (mode == QLatin1String("IntegrateNo"))
        m_integrateGreeting->setChecked(false);
    else if (mode == QLatin1String("IntegrateYes"))
        m_integrateGreeting->setChecked(true);
    m_noGreeting->setChecked(settings.value(keys::GreetingOff));
    NoGreeting_Click();
    m_text1->setPlainText(greeting);

    m_app.controlPeedy().hide();
    m_acceptButt->setEnabled(true);
    show();
    raise();
    activateWindow();
}

void GetGreeting::NoGreeting_Click()
{
    const bool greeting = !m_noGreeting->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *> {m_text1, m_prevIntroButt, m_integrateGreeting})
        w->setEnabled(greeting);
}

void GetGreeting::AllowUserName_Click()
{
    const bool customName = !m_allowUserName->isChecked();
    for (QWidget *w : std::initializer_list<QWidget *> {m_nameLabel, m_text2, m_prevNameButt})
        w->setVisible(customName);
}

void GetGreeting::preview(const QString &text, const QString &askForText)
{
    Speech &speech = m_app.speech();
    const bool peedy = m_app.settings().value(keys::PeedyEnabled);
    speech.StopPeedy();
    if (text.isEmpty()) {
        if (peedy) {
            speech.PeedySays({QStringLiteral("lookleft")}, QStringLiteral("There is nothing in the box!  "));
            speech.PeedySays({QStringLiteral("Explain")}, askForText);
        }
        return;
    }
    m_app.assistForm().hide();
    if (peedy) {
        speech.PerchPeedy();
        speech.PeedySays({}, text);
    }
}

void GetGreeting::PrevIntroButt_Click()
{
    preview(m_text1->toPlainText(), QStringLiteral("Type something for me to say!"));
}

void GetGreeting::PrevNameButt_Click()
{
    preview(m_text2->text(), QStringLiteral("Type a name for me to say!"));
}

GreetingBoxes GetGreeting::boxes() const
{
    GreetingBoxes b;
    b.greeting = m_text1->toPlainText();
    b.name = m_text2->text();
    b.noGreeting = m_noGreeting->isChecked();
    b.integrate = m_integrateGreeting->isChecked();
    b.allowUserName = m_allowUserName->isChecked();
    return b;
}

void GetGreeting::AcceptButt_Click()
{
    Settings &settings = m_app.settings();
    Speech &speech = m_app.speech();
    speech.StopPeedy();
    m_app.assistForm().hide();
    const bool peedyStays = settings.value(keys::PeedyEnabled) && settings.value(keys::PeedyTeacher);
    if (peedyStays)
        speech.PerchPeedy();
    if (!peedyStays || settings.value(keys::VoiceEnabled)) {
        m_app.company().setPerchVisible(false);
        speech.HidePeedy();
    }

    const GreetingBoxes chosen = boxes();
    switch (checkGreeting(chosen)) {
    case GreetingCheck::Empty:
        m_app.tell(emptyGreetingMessage(), QStringLiteral("Custom Greeting Box Empty"));
        m_text1->setFocus();
        return;
    case GreetingCheck::Short:
        if (m_app.ask(shortGreetingQuestion(chosen.greeting), QStringLiteral("Short Custom Greeting"), MsgIcon::None,
                      MsgButtons::YesNo) != MsgYes)
            return;
        break;
    case GreetingCheck::Fine:
        break;
    }

    const QStringList failures = settings.writeAll(greetingWrites(chosen));
    // With "Allow Any User Name" Peedy says the current student's first name.
    AppState &s = m_app.state();
    s.SpokenName = spokenNameFrom(settings.value(keys::CustomName), s.FirstName);
    const SavedNotice notice = savedNotice(failures, QStringLiteral("Changes, if any, have been recorded"),
                                           QStringLiteral("Changes Recorded"));
    m_app.tell(notice.text, notice.title, notice.failed ? MsgIcon::Critical : MsgIcon::None);
    hide();
    m_app.controlPeedy().returnFromGreeting();
}

void GetGreeting::help_Click()
{
    const QStringList text {
        QStringLiteral("CUSTOM GREETING:"),
        QStringLiteral("* If the  No Greeting  box is checked, there will be no greeting."),
        QStringLiteral("* If the  Custom Greeting  box is left blank, there will be no custom"),
        QStringLiteral("   greeting."),
        QStringLiteral("* If a greeting is entered in the  Custom Greeting  box and the  'Integrate"),
        QStringLiteral("   Custom Greeting'  check box is not checked, when you start the"),
        QStringLiteral("   program,  Peedy will say only that greeting."),
        QStringLiteral("* If the  Integrate Custom Greeting  box is checked and a greeting is"),
        QStringLiteral("   entered, there will be about a one-in-three chance that Peedy will say"),
        QStringLiteral("   your greeting as the initial greeting."),
        QString(),
        QStringLiteral("PRONUNCIATION:  Peedy will stress the word or syllable you type an apostrophe after. If you "
                       "type a rare word that Peedy does not know, you can get a decent rendering by spelling the word "
                       "phonetically.  For example, Peedy will not roll the r,  but he can render a otherwise good "
                       "pronunciation of the spanish word    hombre   with   ohm' bray.  A word such as  ' perfect '  "
                       "can be expressed as   per' fect    or   per fect'   for the adjective or verb form."),
        QString(),
        QStringLiteral("CUSTOM NAME:"),
        QStringLiteral("* If you type a name in the  Custom Name  box, Peedy will say that name"),
        QStringLiteral("   in his initial greeting and as part of various feedback comments."),
        QStringLiteral("* If you check the  'Allow Any User Name'  box,  the initial greeting will"),
        QStringLiteral("   not include the user's name,  but the first name that a user types in the"),
        QStringLiteral("   name box will follow various feedback comments."),
        QStringLiteral("* If you don't want any name to be used in the initial greeting or after"),
        QStringLiteral("   comments, uncheck the  'Allow Any User Name'  box and leave the"),
        QStringLiteral("   'Custom Name'  box blank."),
        QString(),
        QStringLiteral("After you have written your custom greeting and/or custom name, click on the  Preview  button  "
                       "to hear how the greeting or name will sound."),
    };
    m_app.showAssist(QStringLiteral("Change Greeting and User Name"), text.join(QLatin1Char('\n')));
}

void GetGreeting::Quit_Click()
{
    m_app.assistForm().hide();
    m_app.quitFrom(*this, QStringLiteral("Do you really want to quit?"), QStringLiteral("Quit"));
}

void GetGreeting::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.controlPeedy().returnFromGreeting();
}

} // namespace plovista
