#pragma once

#include "app/formwindow.h"

namespace plovista {

class Facts10Menu final : public FormWindow
{
    Q_OBJECT
public:
    explicit Facts10Menu(App &app);
};

} // namespace plovista
