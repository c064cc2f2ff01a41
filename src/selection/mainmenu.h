#pragma once

#include "app/formwindow.h"

namespace plovista {

class MainMenu final : public FormWindow
{
    Q_OBJECT
public:
    explicit MainMenu(App &app);

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace plovista
