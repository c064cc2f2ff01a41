#pragma once

#include "app/formwindow.h"

namespace plovista {

// The About box: title, version and OK.
class frmAbout final : public FormWindow
{
    Q_OBJECT
public:
    explicit frmAbout(App &app);

    void cmdOK_Click();
};

} // namespace plovista
