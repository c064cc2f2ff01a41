#include "fluency/logsummary.h"

#include "settings/textfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <limits>
#include <type_traits>

namespace plovista {

namespace {

constexpr quint32 Magic = 0x504C5653; // "PLVS"
// A new version is never read by an older program, nor an older one by this:
// the summary is then built again from the log.
constexpr quint32 Version = 5;
constexpr qint64 DigestSpan = 4096;
constexpr int MaxAttempts = 3;

// FNV-1a: for the student's name in the file name.
quint64 fnv(QByteArrayView bytes, quint64 hash = 14695981039346656037ULL)
{
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

// A digest of the summary's bytes, 8 at a time: a summary is checked whole at
// every load, and a byte at a time cost as much as the rest of the reading.
quint64 digestOf(QByteArrayView bytes)
{
    quint64 hash = 14695981039346656037ULL ^ static_cast<quint64>(bytes.size());
    qsizetype at = 0;
    for (; at + 8 <= bytes.size(); at += 8) {
        quint64 word;
        std::memcpy(&word, bytes.data() + at, 8);
        hash = (hash ^ qFromLittleEndian(word)) * 0x9E3779B97F4A7C15ULL;
        hash ^= hash >> 29;
    }
    return fnv(bytes.sliced(at), hash);
}

// Numbers as little-endian bytes, read back with every read checked against
// the end: a summary is read whole at every load, so faster than a stream.
class Writer
{
public:
    template<typename T>
    void put(T value)
    {
        static_assert(std::is_integral_v<T>);
        const T little = qToLittleEndian(value);
        bytes.append(reinterpret_cast<const char *>(&little), sizeof(T));
    }
    void put(const QDate &day) { put<qint64>(day.isValid() ? day.toJulianDay() : std::numeric_limits<qint64>::min()); }
    void put(const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        put<quint32>(static_cast<quint32>(utf8.size()));
        bytes.append(utf8);
    }
    void put(const std::vector<Attempt> &attempts)
    {
        put<quint8>(static_cast<quint8>(attempts.size()));
        for (const Attempt &a : attempts) {
            put<qint64>(a.at);
            put(a.day);
            put<quint8>(a.correct ? 1 : 0);
            put<qint32>(a.ms.value_or(-1));
            put<qint64>(a.position);
        }
    }
    QByteArray bytes;
};

class Reader
{
public:
    explicit Reader(QByteArrayView bytes)
        : m_at(bytes.data())
        , m_end(bytes.data() + bytes.size())
    { }
    template<typename T>
    T get()
    {
        static_assert(std::is_integral_v<T>);
        if (m_end - m_at < static_cast<std::ptrdiff_t>(sizeof(T))) {
            m_ok = false;
            return T {};
        }
        T value;
        std::memcpy(&value, m_at, sizeof(T));
        m_at += sizeof(T);
        return qFromLittleEndian(value);
    }
    QDate date()
    {
        const auto jd = get<qint64>();
        return jd == std::numeric_limits<qint64>::min() ? QDate() : QDate::fromJulianDay(jd);
    }
    QString text()
    {
        const auto size = get<quint32>();
        if (!ok() || m_end - m_at < static_cast<std::ptrdiff_t>(size)) {
            m_ok = false;
            return {};
        }
        const QString t = QString::fromUtf8(m_at, size);
        m_at += size;
        return t;
    }
    // A count of things each at least `least` bytes long: never more than
    // the bytes left could hold.
    std::size_t count(std::size_t least)
    {
        const auto n = get<quint32>();
        if (static_cast<std::ptrdiff_t>(n * least) > m_end - m_at)
            m_ok = false;
        return m_ok ? n : 0;
    }
    bool attempts(std::vector<Attempt> &attempts)
    {
        const auto n = get<quint8>();
        if (n > MaxAttempts)
            m_ok = false;
        attempts.resize(m_ok ? n : 0);
        for (Attempt &a : attempts) {
            a.at = get<qint64>();
            a.day = date();
            a.correct = get<quint8>() != 0;
            const auto ms = get<qint32>();
            a.ms = ms >= 0 ? std::optional<int>(ms) : std::nullopt;
            a.position = get<qint64>();
        }
        return m_ok;
    }
    bool skip(qsizetype bytes)
    {
        if (m_end - m_at < bytes)
            m_ok = false;
        else
            m_at += bytes;
        return m_ok;
    }
    // Where the reading stands in the bytes it began with.
    qsizetype offset(QByteArrayView start) const { return m_at - start.data(); }
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_end; }

private:
    const char *m_at;
    const char *m_end;
    bool m_ok = true;
};

} // namespace

QString summaryPath(const QString &logPath, const QString &student)
{
    const QFileInfo log(logPath);
    const quint64 digest = fnv(student.toUtf8());
    return log.dir().filePath(
        QStringLiteral("%1/%2.%3.sum").arg(SummaryFolder, log.fileName()).arg(digest, 16, 16, QLatin1Char('0')));
}

QByteArray encodeSummary(const LogSummary &s)
{
    Writer out;
    const LogFileFluency &f = s.fluency;
    out.put<quint32>(Magic);
    out.put<quint32>(Version);
    out.put(s.student);
    out.put<qint64>(s.end);
    out.put<quint64>(s.headDigest);
    out.put<quint64>(s.tailDigest);
    out.put<qint64>(f.answers);
    out.put<qint64>(f.trusted);
    out.put<qint64>(f.latestTrusted);
    out.put<qint64>(f.earliestAhead);
    out.put<qint32>(f.duplicates);
    out.put<qint32>(f.damagedLines);
    for (std::size_t op = 0; op < f.lastDay.size(); ++op) {
        out.put(f.lastDay[op]);
        out.put<quint8>(f.zeroToTwelve[op] ? 1 : 0);
    }
    out.put<quint32>(static_cast<quint32>(f.drills.size()));
    for (const quint64 d : f.drills)
        out.put<quint64>(d);
    out.put<quint32>(static_cast<quint32>(f.recent.size()));
    for (const LogFileFluency::Drill &d : f.recent) {
        out.put<quint64>(d.digest);
        out.put<qint32>(d.lastSequence);
        out.put<quint32>(static_cast<quint32>(d.missed.size()));
        for (const int slot : d.missed)
            out.put<qint32>(slot);
    }
    for (std::size_t slot = 0; slot < f.records.size(); ++slot) {
        const FactRecord &r = f.records[slot];
        if (r.firstTries == 0 && r.askedAgain == 0)
            continue;
        out.put<qint32>(static_cast<qint32>(slot));
        out.put<qint32>(r.firstTries);
        out.put<qint32>(r.rightFirstTries);
        out.put<qint32>(r.askedAgain);
        out.put(r.last);
    }
    out.put<qint32>(-1);
    // The weeks last, each fact's as one piece, which a load unpacks only when
    // they are asked for; those not unpacked are copied as they were.
    for (std::size_t slot = 0; slot < f.records.size(); ++slot) {
        const LogFileFluency::Packed &packed = f.packedAt[slot];
        const std::vector<WeekTry> &tries = f.weeks[slot];
        if (packed.count == 0 && tries.empty())
            continue;
        out.put<qint32>(static_cast<qint32>(slot));
        if (packed.count > 0) {
            out.put<quint32>(packed.count);
            out.bytes.append(QByteArrayView(f.packedWeeks).sliced(packed.offset, packed.count * WeekTryBytes));
            continue;
        }
        out.put<quint32>(static_cast<quint32>(tries.size()));
        for (const WeekTry &t : tries) {
            out.put<qint64>(t.at);
            out.put<qint32>(t.week);
            out.put<qint32>(t.day);
            out.put<qint32>(t.ms);
            out.put<quint8>(t.correct ? 1 : 0);
        }
    }
    out.put<qint32>(-1);
    // A digest of all before it: a summary cut short or changed is not used.
    out.put<quint64>(digestOf(out.bytes));
    return out.bytes;
}

std::optional<LogSummary> decodeSummary(const QByteArray &bytes)
{
    if (bytes.size() < 16)
        return std::nullopt;
    const QByteArrayView body(bytes.constData(), bytes.size() - 8);
    if (Reader(QByteArrayView(bytes).sliced(body.size())).get<quint64>() != digestOf(body))
        return std::nullopt;
    Reader in(body);
    if (in.get<quint32>() != Magic || in.get<quint32>() != Version)
        return std::nullopt;
    LogSummary s;
    LogFileFluency &f = s.fluency;
    s.student = in.text();
    s.end = in.get<qint64>();
    s.headDigest = in.get<quint64>();
    s.tailDigest = in.get<quint64>();
    f.answers = in.get<qint64>();
    f.trusted = in.get<qint64>();
    f.latestTrusted = in.get<qint64>();
    f.earliestAhead = in.get<qint64>();
    f.duplicates = in.get<qint32>();
    f.damagedLines = in.get<qint32>();
    for (std::size_t op = 0; op < f.lastDay.size(); ++op) {
        f.lastDay[op] = in.date();
        f.zeroToTwelve[op] = in.get<quint8>() != 0;
    }
    f.drills.resize(in.count(sizeof(quint64)));
    for (quint64 &d : f.drills)
        d = in.get<quint64>();
    f.recent.resize(in.count(16));
    for (LogFileFluency::Drill &d : f.recent) {
        d.digest = in.get<quint64>();
        d.lastSequence = in.get<qint32>();
        d.missed.resize(in.count(sizeof(qint32)));
        for (int &slot : d.missed)
            slot = in.get<qint32>();
    }
    for (;;) {
        const auto slot = in.get<qint32>();
        if (!in.ok())
            return std::nullopt;
        if (slot == -1)
            break;
        if (slot < 0 || static_cast<std::size_t>(slot) >= f.records.size())
            return std::nullopt;
        FactRecord &r = f.records[static_cast<std::size_t>(slot)];
        r.firstTries = in.get<qint32>();
        r.rightFirstTries = in.get<qint32>();
        r.askedAgain = in.get<qint32>();
        if (!in.attempts(r.last))
            return std::nullopt;
    }
    // The weeks stay packed in the summary's bytes (shared, not copied).
    f.packedWeeks = bytes;
    for (;;) {
        const auto slot = in.get<qint32>();
        if (!in.ok())
            return std::nullopt;
        if (slot == -1)
            break;
        if (slot < 0 || static_cast<std::size_t>(slot) >= f.records.size())
            return std::nullopt;
        const qsizetype offset = in.offset(body);
        const std::size_t count = in.count(WeekTryBytes);
        if (!in.ok() || !in.skip(static_cast<qsizetype>(count) * WeekTryBytes))
            return std::nullopt;
        f.packedAt[static_cast<std::size_t>(slot)] = {offset + 4, static_cast<quint32>(count)};
    }
    if (!in.ok() || !in.atEnd())
        return std::nullopt;
    return s;
}

std::vector<WeekTry> unpackWeekTries(QByteArrayView bytes, quint32 count)
{
    Reader in(bytes);
    std::vector<WeekTry> tries(count);
    for (WeekTry &t : tries) {
        t.at = in.get<qint64>();
        t.week = in.get<qint32>();
        t.day = in.get<qint32>();
        t.ms = in.get<qint32>();
        t.correct = in.get<quint8>() != 0;
    }
    return tries;
}

std::optional<LogDigests> logDigests(const QString &logPath, qint64 end)
{
    QFile file(logPath);
    if (!file.open(QIODevice::ReadOnly) || file.size() < end)
        return std::nullopt;
    const qint64 headSize = std::min(end, DigestSpan);
    const QByteArray head = file.read(headSize);
    const qint64 tailStart = std::max<qint64>(0, end - DigestSpan);
    if (head.size() != headSize || !file.seek(tailStart))
        return std::nullopt;
    const QByteArray tail = file.read(end - tailStart);
    if (tail.size() != end - tailStart)
        return std::nullopt;
    return LogDigests {fnv(head), fnv(tail)};
}

std::optional<LogSummary> readSummary(const QString &logPath, const QString &student)
{
    QFile file(summaryPath(logPath, student));
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    std::optional<LogSummary> summary = decodeSummary(file.readAll());
    if (!summary || summary->student != student)
        return std::nullopt;
    const std::optional<LogDigests> digests = logDigests(logPath, summary->end);
    if (!digests || digests->head != summary->headDigest || digests->tail != summary->tailDigest)
        return std::nullopt;
    return summary;
}

bool writeSummary(const QString &logPath, const LogSummary &summary)
{
    const QString path = summaryPath(logPath, summary.student);
    if (!QDir().mkpath(QFileInfo(path).path()))
        return false;
    return writeFileAtomically(path, encodeSummary(summary)).ok;
}

} // namespace plovista
