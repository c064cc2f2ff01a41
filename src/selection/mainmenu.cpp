#include "selection/mainmenu.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/company.h"
#include "app/twips.h"
#include "drill/factsproblems.h"
#include "practice/dailypractice.h"
#include "practice/practicesession.h"
#include "records/recordsform.h"
#include "selection/choosemenumf.h"
#include "selection/facts10menu.h"
#include "selection/optionbutton.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>

namespace plovista {

MainMenu::MainMenu(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("MainMenu"))
{
    setWindowTitle(QStringLiteral("Main Menu"));
    setClientSizeTwips(4320, 3240);

    auto option = [this](const QString &name, const QString &caption, const QString &tip, int left, int top) {
        auto *button = new OptionButton(name, caption, client());
        if (!tip.isEmpty())
            button->setToolTip(tip);
        QFont font = button->font();
        font.setPointSize(10);
        button->setFont(font);
        placeTwips(button, left, top);
        // A double-click is a selection and an Accept in one.
        connect(button, &OptionButton::doubleClicked, this, &MainMenu::AcceptButt_Click);
        return button;
    };
    m_facts10OptButt = option(QStringLiteral("Facts10OptButt"), QStringLiteral("Facts of Ten"), {}, 1560, 240);
    m_addOptButt =
        option(QStringLiteral("AddOptButt"), QStringLiteral("Addition"), QStringLiteral(" addition facts "), 480, 840);
    m_subOptButt = option(QStringLiteral("SubOptButt"), QStringLiteral("Subtraction"),
                          QStringLiteral(" subtraction facts "), 2400, 840);
    m_multOptButt = option(QStringLiteral("MultOptButt"), QStringLiteral("Multiplication"),
                           QStringLiteral(" multiplication facts "), 480, 1440);
    m_divOptButt = option(QStringLiteral("DivOptButt"), QStringLiteral("Division"), QStringLiteral(" division facts "),
                          2400, 1440);
    m_viewRecordsOption = option(QStringLiteral("ViewRecordsOption"), QStringLiteral("View Records"),
                                 QStringLiteral(" current records "), 1560, 2040);
    m_multOptButt->setChecked(true);

    m_acceptButt = new QPushButton(QStringLiteral("Accept"), client());
    m_acceptButt->setObjectName(QStringLiteral("AcceptButt"));
    placeTwips(m_acceptButt, 1560, 2640, 1215, 420);
    connect(m_acceptButt, &QPushButton::clicked, this, &MainMenu::AcceptButt_Click);
    setDefaultButton(m_acceptButt);

    buildMenuBar();

    // Only the first loading of the menu clears the subtraction flag; later
    // choices leave it as the last subtraction drill set it.
    m_app.state().SubtractionFlag = false;
}

void MainMenu::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &MainMenu::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &MainMenu::Quit_Click);
    // Our own addition beside the menu's commands, there while the teacher
    // offers it.
    m_dailyPractice = addMenuCommand(QStringLiteral("mnuDailyPractice"), QStringLiteral("Daily Practice"));
    connect(m_dailyPractice, &QAction::triggered, this, &MainMenu::dailyPractice_Click);
    Settings &settings = m_app.settings();
    settings.watch(keys::PracticeEnabled, this, [this] { showDailyPractice(); });
    settings.watch(keys::PracticeOperations, this, [this] { showDailyPractice(); });
    showDailyPractice();
}

void MainMenu::showDailyPractice()
{
    const Settings &settings = m_app.settings();
    m_dailyPractice->setVisible(settings.value(keys::PracticeEnabled) && !practiceOperations(settings).isEmpty());
}

void MainMenu::dailyPractice_Click()
{
    // The teacher may have turned it off since the menu was drawn.
    showDailyPractice();
    if (!m_dailyPractice->isVisible())
        return;
    m_app.assistForm().hide();
    m_app.dailyPractice().openFrom(*this);
}

std::optional<Operation> MainMenu::selectedOperation() const
{
    if (m_addOptButt->isChecked())
        return Operation::Addition;
    if (m_subOptButt->isChecked())
        return Operation::Subtraction;
    if (m_multOptButt->isChecked())
        return Operation::Multiplication;
    if (m_divOptButt->isChecked())
        return Operation::Division;
    if (m_facts10OptButt->isChecked())
        return Operation::FactsOfTen;
    return std::nullopt;
}

void MainMenu::showEvent(QShowEvent *event)
{
    FormWindow::showEvent(event);
    if (!m_openedFromStart)
        return;
    m_openedFromStart = false;
    // A focused option is the selected one: each student starts on
    // Multiplication.
    m_multOptButt->setChecked(true);
    m_multOptButt->setFocus();
}

void MainMenu::AcceptButt_Click()
{
    AppState &s = m_app.state();
    m_app.assistForm().hide();
    s.FormatCode.clear();
    m_app.factsProblems().clearAnswer();

    const std::optional<Operation> operation = selectedOperation();
    if (operation && *operation != Operation::FactsOfTen) {
        if (*operation == Operation::Subtraction)
            s.SubtractionFlag = true;
        m_app.chooseMenuMF().prepareFor(*operation);
    }
    hide();

    if (!operation) {
        viewRecords();
        return;
    }
    s.Selection.operation = *operation;
    if (*operation == Operation::FactsOfTen) {
        s.FactsOfTenActive = true;
        s.ActivityCode = QStringLiteral("F10");
        m_app.facts10Menu().openFromMenu();
        return;
    }
    m_app.chooseMenuMF().openWithFreshChoices();
}

void MainMenu::viewRecords()
{
    // The viewer perches Peedy, loads the records and, when there are none,
    // brings this menu back with its message.
    m_app.recordsForm().openForStudent();
}

void MainMenu::help_Click()
{
    m_app.showAssist(
        QStringLiteral("Main Menu"),
        QStringLiteral("Double-click on an option.  Select  'View Records'  to view the current records."));
}

void MainMenu::Quit_Click()
{
    if (m_app.quitFrom(*this))
        m_openedFromStart = true;
}

void MainMenu::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().StopPeedy();
    m_openedFromStart = true;
    m_app.company().returnToStart();
}

} // namespace plovista
