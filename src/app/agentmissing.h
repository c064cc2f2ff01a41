#pragma once

#include "app/formwindow.h"

namespace plovista {

// Shown when Peedy's files are missing: the program cannot be used until they
// are restored, whichever speech channel is chosen.
class AgentMissing final : public FormWindow
{
    Q_OBJECT
public:
    explicit AgentMissing(App &app);

    void open();

protected:
    void closeEvent(QCloseEvent *event) override;
};

} // namespace plovista
