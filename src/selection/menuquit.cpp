#include "selection/menuquit.h"

#include "app/app.h"
#include "app/company.h"

namespace plovista {

bool quitFromMenu(App &app, QWidget &menu)
{
    if (app.state().PeedyEnabled) {
        app.speech().StopPeedy();
        app.speech().PerchPeedy();
    }
    if (app.ask(QStringLiteral("Do you want to quit?"), QStringLiteral("Quit Program"), MsgIcon::Question,
                MsgButtons::YesNo) != MsgYes)
        return false;
    menu.hide();
    Company &company = app.company();
    company.show();
    company.setEnabled(true);
    app.endProgram();
    return true;
}

} // namespace plovista
