#include "app/screensize.h"

#include "app/app.h"
#include "app/twips.h"
#include "platform/display.h"
#include "settings/settingkeys.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QLabel>

namespace plovista {

ScreenSize::ScreenSize(App &app)
    : FormWindow(app, Audience::Student, QStringLiteral("ScreenSize"))
{
    setWindowTitle(QStringLiteral("Screen Size"));
    setClientSizeTwips(8000, 4000);

    m_label1 = new QLabel(client());
    m_label1->setObjectName(QStringLiteral("Label1"));
    m_label1->setWordWrap(true);
    QFont ten = m_label1->font();
    ten.setPointSize(10);
    m_label1->setFont(ten);
    placeTwips(m_label1, 200, 100, 7500, 1450);

    m_change = new QCheckBox(QStringLiteral("Change the display setting each time the program runs."), client());
    m_change->setObjectName(QStringLiteral("Change"));
    placeTwips(m_change, 200, 1600, 7500);
    m_dontChange = new QCheckBox(QStringLiteral("Don't change the display setting."), client());
    m_dontChange->setObjectName(QStringLiteral("DontChange"));
    placeTwips(m_dontChange, 200, 2000, 7500);
    // Two boxes that act as one choice which may also be left empty.
    connect(m_change, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_dontChange->setChecked(false);
    });
    connect(m_dontChange, &QCheckBox::clicked, this, [this](bool on) {
        if (on)
            m_change->setChecked(false);
    });

    m_label2 = new QLabel(QStringLiteral("* Note: If the program is terminated from an external source, you will "
                                         "need to reset original display setting in the desktop's display settings."),
                          client());
    m_label2->setObjectName(QStringLiteral("Label2"));
    m_label2->setWordWrap(true);
    placeTwips(m_label2, 200, 2800, 7500, 800);
}

void ScreenSize::open()
{
    if (const auto choice = m_app.settings().reread(keys::DisplayChoice)) {
        if (*choice == QLatin1String("Change")) {
            m_change->setChecked(true);
            m_dontChange->setChecked(false);
        } else if (*choice == QLatin1String("DontChange")) {
            m_change->setChecked(false);
            m_dontChange->setChecked(true);
        }
    }
    const DisplayMode found = m_app.startup().startDisplayMode;
    // Where the desktop keeps the display mode to itself (Wayland, XWayland,
    // an X server without RandR) there is nothing to choose, and the window
    // only tells what it sees.
    m_offered = m_app.display().canSwitch();
    for (QWidget *offer : std::initializer_list<QWidget *> {m_change, m_dontChange, m_label2})
        offer->setVisible(m_offered);
    if (m_offered)
        m_label1->setText(
            QStringLiteral("The current display setting is %1x%2 pixels.  You can run the program at this setting.  "
                           "Brevandi programs are designed to run at a display setting of 800x600 pixels.  You can "
                           "change the display to this optimal setting each time the program runs.  The display "
                           "setting will revert back to the original setting after the program is terminated *.  The "
                           "new settings will take effect the next time the program is run.")
                .arg(found.width)
                .arg(found.height));
    else if (found.width > 0)
        m_label1->setText(QStringLiteral("The current display setting is %1x%2 pixels.  The program runs at this "
                                         "setting: this desktop does not let programs change the display setting.")
                              .arg(found.width)
                              .arg(found.height));
    else
        m_label1->setText(QStringLiteral("The program runs at the display setting the desktop has: this desktop "
                                         "does not let programs read or change the display setting."));
    show();
    raise();
    activateWindow();
}

void ScreenSize::closeEvent(QCloseEvent *event)
{
    // Where nothing was offered, nothing was chosen.
    if (m_offered && m_change->isChecked())
        m_app.writeSetting(keys::DisplayChoice, QStringLiteral("Change"));
    else if (m_offered && m_dontChange->isChecked())
        m_app.writeSetting(keys::DisplayChoice, QStringLiteral("DontChange"));
    event->accept();
}

} // namespace plovista
