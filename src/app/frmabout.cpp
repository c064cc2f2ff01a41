#include "app/frmabout.h"

#include "app/app.h"
#include "app/programinfo.h"
#include "app/svgpicture.h"
#include "app/twips.h"
#include "platform/systeminfo.h"
#include "settings/settingkeys.h"

#include <QFileInfo>
#include <QLabel>
#include <QPushButton>

namespace plovista {

frmAbout::frmAbout(App &app)
    : FormWindow(app, Audience::Unaccompanied, QStringLiteral("frmAbout"))
{
    setWindowTitle(QStringLiteral("Brevandi"));
    setClientSizeTwips(5730, 3555);

    auto *icon = new SvgPicture(app.systemInfo().systemFolder() + QStringLiteral("/logo.svg"),
                                QStringLiteral("picIcon"), client());
    placeTwips(icon, 240, 240, 1140, 1140);

    auto *title = new QLabel(QString::fromLatin1(ProgramTitle), client());
    title->setObjectName(QStringLiteral("lblTitle"));
    QFont big = title->font();
    big.setPointSize(20);
    big.setBold(true);
    title->setFont(big);
    placeTwips(title, 1680, 300, 3800, 600);

    auto *version =
        new QLabel(QStringLiteral("Version %1.%2").arg(ProgramMajorVersion).arg(ProgramMinorVersion), client());
    version->setObjectName(QStringLiteral("lblVersion"));
    placeTwips(version, 1680, 1000, 3800, 400);

    auto *ok = new QPushButton(QStringLiteral("OK"), client());
    ok->setObjectName(QStringLiteral("cmdOK"));
    placeTwips(ok, 4245, 2625, 1260, 375);
    connect(ok, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    setDefaultButton(ok);

    // Kept for the layout of the box; there is no system-information tool to open.
    auto *sysInfo = new QPushButton(QStringLiteral("&System Info..."), client());
    sysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    placeTwips(sysInfo, 4260, 3075, 1245, 345);
    sysInfo->hide();
}

void frmAbout::cmdOK_Click()
{
    if (m_app.settings().value(keys::PeedyEnabled)) {
        m_app.speech().ShowPeedy();
        m_app.speech().PerchPeedy();
    }
    close();
}

} // namespace plovista
