#include "selection/choosemenumf.h"

#include "app/app.h"

namespace plovista {

ChooseMenuMF::ChooseMenuMF(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ChooseMenuMF"))
{
}

} // namespace plovista
