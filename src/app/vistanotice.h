#pragma once

#include "app/formwindow.h"

class QCheckBox;

namespace plovista {

// A one-time note shown at start on one old desktop version; ticking the box
// keeps it from showing again.
class VistaNotice final : public FormWindow
{
    Q_OBJECT
public:
    explicit VistaNotice(App &app);

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    QCheckBox *m_vistaCheck = nullptr;
};

} // namespace plovista
