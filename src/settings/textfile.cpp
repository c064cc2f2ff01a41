#include "settings/textfile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

#include <algorithm>
#include <array>

namespace plovista {

namespace {

// Code points of bytes 0x80 to 0x9F; 0 marks the five bytes the code page
// leaves undefined, which we pass through as the C1 control of that number.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

std::optional<char> toWindows1252(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<char>(u);
    for (std::size_t i = 0; i < kHighControls.size(); ++i) {
        const char16_t mapped = kHighControls[i] ? kHighControls[i] : static_cast<char16_t>(0x80 + i);
        if (mapped == u)
            return static_cast<char>(0x80 + i);
    }
    return std::nullopt;
}

QString describe(const QFileDevice &file)
{
    switch (file.error()) {
    case QFileDevice::PermissionsError:
        return QStringLiteral("permission denied (%1)").arg(file.fileName());
    case QFileDevice::ResourceError:
        return QStringLiteral("the disk is full or unavailable (%1)").arg(file.fileName());
    default:
        return QStringLiteral("%1 (%2)").arg(file.errorString(), file.fileName());
    }
}

} // namespace

QString decodeWindows1252(const QByteArray &bytes)
{
    // Latin-1 differs only in 0x80 to 0x9F; converting in one go keeps a
    // records file of many thousands of lines quick to open.
    QString text = QString::fromLatin1(bytes);
    for (QChar &c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x80 && u < 0xA0 && kHighControls[u - 0x80])
            c = QChar(kHighControls[u - 0x80]);
    }
    return text;
}

bool fitsWindows1252(QChar c)
{
    return toWindows1252(c).has_value();
}

QByteArray encodeWindows1252(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text)
        bytes.append(toWindows1252(c).value_or('?'));
    return bytes;
}

std::optional<QString> readTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    const bool high =
        std::any_of(bytes.cbegin(), bytes.cend(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
    if (high) {
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString asUtf8 = utf8(bytes);
        if (!utf8.hasError())
            return asUtf8;
    }
    return decodeWindows1252(bytes);
}

WriteResult writeTextFileAtomically(const QString &path, const QString &text)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return {false, describe(file)};
    const QByteArray bytes = encodeWindows1252(text);
    if (file.write(bytes) != bytes.size()) {
        const QString why = describe(file);
        file.cancelWriting();
        return {false, why};
    }
    if (!file.commit())
        return {false, describe(file)};
    return {};
}

WriteResult appendTextFile(const QString &path, const QString &text)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Unbuffered))
        return {false, describe(file)};
    const qint64 before = file.size();
    const QByteArray bytes = encodeWindows1252(text);
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString why = describe(file);
        // Leave no partial line behind: cut the file back to where it was.
        file.resize(before);
        return {false, why};
    }
    file.close();
    if (file.error() != QFileDevice::NoError)
        return {false, describe(file)};
    return {};
}

} // namespace plovista
