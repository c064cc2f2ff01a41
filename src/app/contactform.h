#pragma once

#include "app/formwindow.h"

namespace plovista {

// How to reach the program's makers: an e-mail address for support and a web
// site, read from a data file that a distributor can fill in.
class ContactForm final : public FormWindow
{
    Q_OBJECT
public:
    explicit ContactForm(App &app);

    QString email() const { return m_email; }
    QString website() const { return m_website; }

private:
    QString m_email;
    QString m_website;
};

} // namespace plovista
