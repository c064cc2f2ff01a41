#pragma once

#include "app/formwindow.h"

namespace plovista {

class ScoreForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit ScoreForm(App &app);
};

} // namespace plovista
