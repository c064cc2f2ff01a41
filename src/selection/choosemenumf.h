#pragma once

#include "app/formwindow.h"

namespace plovista {

class ChooseMenuMF final : public FormWindow
{
    Q_OBJECT
public:
    explicit ChooseMenuMF(App &app);
};

} // namespace plovista
