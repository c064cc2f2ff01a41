#include "records/recordsform.h"

#include "app/app.h"

namespace plovista {

RecordsForm::RecordsForm(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("RecordsForm"))
{
}

} // namespace plovista
