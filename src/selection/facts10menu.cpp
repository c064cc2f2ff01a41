#include "selection/facts10menu.h"

#include "app/app.h"

namespace plovista {

Facts10Menu::Facts10Menu(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("Facts10Menu"))
{
}

} // namespace plovista
