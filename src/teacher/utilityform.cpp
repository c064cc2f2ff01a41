#include "teacher/utilityform.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/twips.h"
#include "selection/optionbutton.h"
#include "speech/controlpeedy.h"
#include "teacher/practicesettingsform.h"
#include "teacher/subutility.h"
#include "teacher/test.h"

#include <QAction>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>

#include <array>

namespace plovista {

namespace {

struct OptionDesign
{
    UtilityChoice choice;
    const char *name;
    const char *caption;
    const char *tip;
};

// In the order they stand, top to bottom.
constexpr std::array<OptionDesign, 7> Options = {{
    {UtilityChoice::SetFacts, "SetFacts", "Facts", " set number of facts "},
    {UtilityChoice::SetSpeedGoals, "SetSpeedGoals", "Speed", " set speed goal "},
    {UtilityChoice::SetAccuracyGoals, "SetAccuracyGoals", "Accuracy ", " set accuracy goal "},
    {UtilityChoice::PrintTest, "PrintTest", "Print Test", " print a facts test "},
    {UtilityChoice::Records, "Records", "Records", " view, save and delete records "},
    {UtilityChoice::MenuBar, "MenuBar", "Menu Bar", " hide the pull-down menus  in MENU BAR"},
    {UtilityChoice::Speech, "Speech", "Speech", " select Peedy or Microsoft Voice "},
}};

// The order Accept tests the options in.
constexpr std::array<UtilityChoice, 7> TestOrder = {
    UtilityChoice::MenuBar,          UtilityChoice::SetFacts,  UtilityChoice::Speech,  UtilityChoice::SetSpeedGoals,
    UtilityChoice::SetAccuracyGoals, UtilityChoice::PrintTest, UtilityChoice::Records,
};

constexpr int OptionLeft = 600;
constexpr int FirstTop = 240;
constexpr int Step = 360;

} // namespace

UtilityForm::UtilityForm(App &app)
    : FormWindow(app, Audience::Teacher, QStringLiteral("UtilityForm"))
{
    setWindowTitle(QStringLiteral("Utility Menu"));
    int top = FirstTop;
    for (const OptionDesign &design : Options) {
        auto *button =
            new OptionButton(QString::fromLatin1(design.name), QString::fromLatin1(design.caption), client());
        button->setToolTip(QString::fromLatin1(design.tip));
        QFont font = button->font();
        font.setPointSize(10);
        button->setFont(font);
        placeTwips(button, OptionLeft, top);
        top += Step;
        connect(button, &OptionButton::doubleClicked, this, &UtilityForm::Accept2Butt_Click);
        m_options.push_back({design.choice, button});
    }

    m_accept2Butt = new QPushButton(QStringLiteral("Accept"), client());
    m_accept2Butt->setObjectName(QStringLiteral("Accept2Butt"));
    placeTwips(m_accept2Butt, 600, top + 120, 1215, 420);
    connect(m_accept2Butt, &QPushButton::clicked, this, &UtilityForm::Accept2Butt_Click);
    setDefaultButton(m_accept2Butt);
    setClientSizeTwips(2520, top + 120 + 420 + 240);

    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &UtilityForm::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &UtilityForm::Quit_Click);
    // Our own addition beside the menu's seven options, which stay as they are.
    QAction *fluency = addMenuCommand(QStringLiteral("FluencyGrid"), QStringLiteral("Fluency Grid"));
    connect(fluency, &QAction::triggered, this, [this] { m_app.openFluencyGrid(*this); });
    QAction *practice = addMenuCommand(QStringLiteral("DailyPracticeSettings"), QStringLiteral("Daily Practice"));
    connect(practice, &QAction::triggered, this, [this] { m_app.practiceSettingsForm().openFrom(*this); });
    // The bar's own commands need more room than the menu was designed with:
    // the window grows to show every one of them rather than hide the last
    // behind the bar's overflow arrow, the options standing in the middle.
    const int extra = formMenuBar()->sizeHint().width() - client()->width();
    if (extra > 0) {
        for (QWidget *child : client()->findChildren<QWidget *>(QString(), Qt::FindDirectChildrenOnly))
            child->move(child->x() + extra / 2, child->y());
        client()->setFixedWidth(client()->width() + extra);
    }
}

OptionButton *UtilityForm::buttonOf(UtilityChoice choice) const
{
    for (const Option &option : m_options)
        if (option.choice == choice)
            return option.button;
    return nullptr;
}

UtilityChoice UtilityForm::selectedChoice() const
{
    for (const UtilityChoice choice : TestOrder)
        if (buttonOf(choice)->isChecked())
            return choice;
    return UtilityChoice::None;
}

void UtilityForm::clearSetFacts()
{
    // An exclusive option cannot be unchecked while it is exclusive.
    OptionButton *facts = buttonOf(UtilityChoice::SetFacts);
    facts->setAutoExclusive(false);
    facts->setChecked(false);
    facts->setAutoExclusive(true);
}

void UtilityForm::openFromPassword()
{
    showAgain();
    // A focused option is the selected one, as on the other menus.
    OptionButton *speech = buttonOf(UtilityChoice::Speech);
    speech->setChecked(true);
    speech->setFocus();
}

void UtilityForm::showAgain()
{
    show();
    raise();
    activateWindow();
}

void UtilityForm::Accept2Butt_Click()
{
    m_app.assistForm().hide();
    const UtilityChoice choice = selectedChoice();
    switch (choice) {
    case UtilityChoice::None:
        hide();
        m_app.company().returnToStart();
        return;
    case UtilityChoice::Speech:
        hide();
        m_app.controlPeedy().openFromUtilityMenu();
        return;
    case UtilityChoice::PrintTest:
        hide();
        m_app.test().openFromUtilityMenu();
        return;
    case UtilityChoice::MenuBar:
    case UtilityChoice::SetFacts:
    case UtilityChoice::SetSpeedGoals:
    case UtilityChoice::SetAccuracyGoals:
    case UtilityChoice::Records:
        hide();
        m_app.subUtility().openFor(choice);
        return;
    }
}

void UtilityForm::help_Click()
{
    m_app.showAssist(QStringLiteral("Utility Menu"),
                     QStringList({
                                     QStringLiteral("Facts :   set the number of math facts problems"),
                                     QStringLiteral("Speed :   set the speed goal in average seconds per math fact"),
                                     QStringLiteral("Accuracy :   set the percentage accuracy goal"),
                                     QStringLiteral("Print Test:   print a math facts test"),
                                     QStringLiteral("Records :   view, save and clear user records"),
                                     QStringLiteral("Menu Bar :   hide the pull-down menus in the MENU BAR"),
                                     QStringLiteral("Speech :   control Peedy and Microsoft Voice"),
                                 })
                         .join(QStringLiteral("\n\n")));
}

void UtilityForm::Quit_Click()
{
    m_app.quitFrom(*this);
}

void UtilityForm::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.company().returnToStart();
}

} // namespace plovista
