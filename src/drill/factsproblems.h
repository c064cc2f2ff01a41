#pragma once

#include "app/formwindow.h"

namespace plovista {

class FactsProblems final : public FormWindow
{
    Q_OBJECT
public:
    explicit FactsProblems(App &app);

    // Lays the window out for the drill chosen in the program-wide state.
    void layOut();
    // Shows the window ready for a new drill, its button reading "Start".
    void openForDrill();
};

} // namespace plovista
