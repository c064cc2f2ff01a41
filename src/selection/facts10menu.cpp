#include "selection/facts10menu.h"

#include "app/app.h"
#include "app/assistform.h"
#include "app/shapes.h"
#include "app/twips.h"
#include "drill/factsproblems.h"
#include "drill/scoring.h"
#include "platform/clock.h"
#include "selection/mainmenu.h"
#include "selection/optionbutton.h"
#include "selection/selectioncodes.h"
#include "settings/settingkeys.h"

#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace plovista {

Facts10Menu::Facts10Menu(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("Facts10Menu"))
{
    setWindowTitle(QStringLiteral("Facts of Ten"));
    setClientSizeTwips(4200, 2040);

    auto option = [this](const QString &name, const QString &caption, const QString &tip, int left) {
        auto *button = new OptionButton(name, caption, client());
        button->setToolTip(tip);
        QFont f = button->font();
        f.setPointSize(10);
        button->setFont(f);
        placeTwips(button, left, 660);
        connect(button, &OptionButton::doubleClicked, this, &Facts10Menu::AcceptButt_Click);
        return button;
    };
    placeTwips(label(client(), QStringLiteral("Label1"), QStringLiteral("Format 1"), 10, true), 600, 240);
    placeTwips(label(client(), QStringLiteral("Label2"), QStringLiteral("Format 2"), 10, true), 2640, 240);
    m_option1 = option(QStringLiteral("Option1"), QStringLiteral("10 -- A = B"), QStringLiteral(" Format 1"), 420);
    m_option2 = option(QStringLiteral("Option2"), QStringLiteral("A + B = 10"), QStringLiteral(" Format 2"), 2460);
    m_option2->setChecked(true);

    m_acceptButt = new QPushButton(QStringLiteral("Accept"), client());
    m_acceptButt->setObjectName(QStringLiteral("AcceptButt"));
    placeTwips(m_acceptButt, 1492, 1380, 1215, 420);
    connect(m_acceptButt, &QPushButton::clicked, this, &Facts10Menu::AcceptButt_Click);
    setDefaultButton(m_acceptButt);

    buildMenuBar();
}

void Facts10Menu::buildMenuBar()
{
    QAction *help = addMenuCommand(QStringLiteral("Help"), QStringLiteral("Help"));
    connect(help, &QAction::triggered, this, &Facts10Menu::help_Click);
    QAction *quit = addMenuCommand(QStringLiteral("Quit"), QStringLiteral("Quit"));
    connect(quit, &QAction::triggered, this, &Facts10Menu::Quit_Click);
}

void Facts10Menu::openFromMenu()
{
    show();
    raise();
    activateWindow();
    m_option2->setChecked(true);
    m_option2->setFocus();
}

int Facts10Menu::selectedFormat() const
{
    return m_option1->isChecked() ? 1 : 2;
}

void Facts10Menu::AcceptButt_Click()
{
    AppState &s = m_app.state();
    m_app.assistForm().hide();
    s.SubtractionFlag = false;
    s.FactsOfTenActive = true;
    s.Drill.resetCounters();
    s.Selection.factOption = 0;
    // Unlike the fact menu, Peedy is not stopped first.
    if (m_app.settings().value(keys::PeedyEnabled))
        m_app.speech().PerchPeedy();

    // The activity code stays "F10" and the range code keeps the last fact-menu
    // drill's value: a Facts of Ten record has no range of its own.
    s.Selection.operation = Operation::FactsOfTen;
    s.Selection.factsOfTenFormat = selectedFormat();
    s.FormatCode = factsOfTenFormatCode(s.Selection.factsOfTenFormat);
    s.Drill.prepare(m_app.settings().value(keys::FactsCount));
    s.StartSeconds = secondsSinceMidnight(m_app.clock().now().time());

    m_app.factsProblems().openForDrill();
    hide();
}

void Facts10Menu::help_Click()
{
    m_app.showAssist(QStringLiteral("Facts of Ten"),
                     QStringLiteral("Select a  Mode checkbox and press the Enter key or the Accept button."));
}

void Facts10Menu::Quit_Click()
{
    m_app.quitFrom(*this);
}

void Facts10Menu::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.assistForm().hide();
    m_app.state().FactsOfTenActive = false;
    MainMenu &menu = m_app.mainMenu();
    menu.show();
    menu.raise();
    menu.activateWindow();
}

} // namespace plovista
