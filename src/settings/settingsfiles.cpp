#include "settings/settingsfiles.h"

#include "settings/numbertext.h"
#include "teacher/passwordfile.h"

namespace plovista {

std::vector<SettingsFile> settingsFiles(bool xpStyle)
{
    const QString on = QStringLiteral("True");
    const QString off = QStringLiteral("False");
    return {
        {QStringLiteral("Display"), QStringLiteral("DontChange")},
        {QStringLiteral("Perch"), xpStyle ? QStringLiteral("XP") : QStringLiteral("Standard"), true},
        {QStringLiteral("Mbar"), QStringLiteral("Visible")},
        {QStringLiteral("AdWord"), passwordLine(QStringLiteral("maple"))},
        {QStringLiteral("Facts"), formatWholeNumber(10), true},
        {QStringLiteral("Vista"), on},
        {QStringLiteral("PShow"), off},
        {QStringLiteral("PShowT"), on},
        {QStringLiteral("TTS"), on},
        {QStringLiteral("PFback"), on},
        {QStringLiteral("VFback"), on},
        {QStringLiteral("PCom"), on},
        {QStringLiteral("VCom"), on},
        {QStringLiteral("PRew"), on},
        {QStringLiteral("VRew"), on},
        {QStringLiteral("Sg"), QStringLiteral("5.0")},
        {QStringLiteral("Ag"), QStringLiteral("100")},
        {QStringLiteral("MGreet"), QStringLiteral("IntegrateNo")},
        {QStringLiteral("NoGreet"), off},
        {QStringLiteral("PGreet"), QString(), false, true},
        {QStringLiteral("PName"), QStringLiteral("AllowUserName")},
    };
}

} // namespace plovista
