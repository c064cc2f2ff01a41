#pragma once

#include "app/formwindow.h"

namespace plovista {

class RecordsForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit RecordsForm(App &app);
};

} // namespace plovista
