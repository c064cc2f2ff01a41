#include "speech/namelexicon.h"

#include <QHash>
#include <QRegularExpression>

namespace plovista {

const QList<NameSaying> &nameLexicon()
{
    // Each spelling was checked against both synthesisers' own reading of
    // it (Festival's lexicon and letter-to-sound rules, espeak-ng's
    // phonemes); names they already read right are left out.
    static const QList<NameSaying> names = {
        {"Ailbhe", "Alva"},     {"Aisling", "Ashling"}, {"Aoife", "Eefa"},     {"Benoit", "Benwah"},
        {"Caoimhe", "Keeva"},   {"Cerys", "Kerris"},    {"Chidi", "Cheedee"},  {"Cian", "Keen"},
        {"Ciara", "Keera"},     {"Ciaran", "Keeran"},   {"Dafydd", "Davith"},  {"Duc", "Dook"},
        {"Eoin", "Owen"},       {"Grainne", "Grawnya"}, {"Huong", "Hoong"},    {"Ioan", "Yoan"},
        {"Jacek", "Yahtsek"},   {"Joaquin", "Wahkeen"}, {"Juan", "Wahn"},      {"Maeve", "Mayve"},
        {"Meabh", "Mayve"},     {"Nguyen", "Win"},      {"Niamh", "Neeve"},    {"Oisin", "Usheen"},
        {"Padraig", "Pawdrig"}, {"Phuong", "Fuhng"},    {"Quang", "Kwahng"},   {"Quynh", "Kwin"},
        {"Raul", "Rahool"},     {"Rhys", "Reese"},      {"Roisin", "Rosheen"}, {"Ruairi", "Rory"},
        {"Sade", "Shahday"},    {"Saoirse", "Seersha"}, {"Sian", "Shahn"},     {"Sinead", "Shinaid"},
        {"Siobhan", "Shivawn"}, {"Siofra", "Sheefra"},  {"Sorcha", "Surka"},   {"Thanh", "Tahn"},
        {"Thuy", "Twee"},       {"Tomasz", "Tomash"},   {"Tuan", "Twahn"},     {"Wojciech", "Voychek"},
        {"Ximena", "Heemenna"}, {"Xin", "Shin"},        {"Xuan", "Swahn"},     {"Zhang", "Jahng"},
        {"Zhen", "Jen"},        {"Zheng", "Jeng"},      {"Zhou", "Joe"},
    };
    return names;
}

QString respellNames(const QString &text)
{
    static const QHash<QString, QString> sayings = [] {
        QHash<QString, QString> byName;
        for (const NameSaying &saying : nameLexicon())
            byName.insert(QString::fromLatin1(saying.name).toLower(), QString::fromLatin1(saying.sayAs));
        return byName;
    }();
    static const QRegularExpression word(QStringLiteral("[A-Za-z]+"));
    QString out;
    qsizetype from = 0;
    for (QRegularExpressionMatchIterator it = word.globalMatch(text); it.hasNext();) {
        const QRegularExpressionMatch match = it.next();
        out += QStringView(text).mid(from, match.capturedStart() - from);
        const auto saying = sayings.constFind(match.captured().toLower());
        out += saying == sayings.constEnd() ? match.captured() : *saying;
        from = match.capturedEnd();
    }
    out += QStringView(text).mid(from);
    return out;
}

} // namespace plovista
