#include "teacher/passwordfile.h"

#include "settings/textfile.h"

#include <array>

namespace plovista {

namespace {
// Fixed blocks of letters and digits; never read back, so changing them would
// not lock anyone out, but keeping them fixed keeps the file byte-stable.
constexpr std::array<const char *, 6> kFillers = {"Qr7tW", "m2ZkP", "x9BvL", "Hd4sN", "j8GcY", "T3fuE"};
constexpr std::array<int, 5> kPositions = {5, 11, 17, 23, 29}; // 0-based
} // namespace

QString passwordLine(const QString &password)
{
    QString line;
    for (std::size_t i = 0; i < kPositions.size(); ++i) {
        line += QLatin1String(kFillers[i]);
        line += i < static_cast<std::size_t>(password.size()) ? password.at(static_cast<qsizetype>(i)) : QChar(' ');
    }
    line += QLatin1String(kFillers[5]);
    return line;
}

std::optional<QString> passwordFromLine(const QString &line)
{
    if (line.size() <= kPositions.back())
        return std::nullopt;
    QString password;
    for (const int p : kPositions)
        password += line.at(p);
    return password;
}

std::optional<QString> newPasswordProblem(const QString &password)
{
    for (const QChar c : password) {
        if (c == QLatin1Char(','))
            return QStringLiteral("A password cannot contain a comma. Please choose another password; the old "
                                  "password is still in force.");
        if (!fitsWindows1252(c) || c.category() == QChar::Other_Control)
            return QStringLiteral("The character \"%1\" cannot be kept in a password. Please choose another "
                                  "password; the old password is still in force.")
                .arg(c);
    }
    return std::nullopt;
}

} // namespace plovista
