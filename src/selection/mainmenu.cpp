#include "selection/mainmenu.h"

#include "app/app.h"
#include "app/company.h"

#include <QCloseEvent>

namespace plovista {

MainMenu::MainMenu(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("MainMenu"))
{
    setWindowTitle(QStringLiteral("Main Menu"));
}

void MainMenu::closeEvent(QCloseEvent *event)
{
    event->accept();
    m_app.company().returnToStart();
}

} // namespace plovista
