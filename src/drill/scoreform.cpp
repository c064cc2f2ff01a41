#include "drill/scoreform.h"

#include "app/app.h"

namespace plovista {

ScoreForm::ScoreForm(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ScoreForm"))
{
}

} // namespace plovista
