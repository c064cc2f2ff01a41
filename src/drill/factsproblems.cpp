#include "drill/factsproblems.h"

#include "app/app.h"

namespace plovista {

FactsProblems::FactsProblems(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("FactsProblems"))
{
}

void FactsProblems::layOut() {}

void FactsProblems::openForDrill()
{
    show();
}

} // namespace plovista
