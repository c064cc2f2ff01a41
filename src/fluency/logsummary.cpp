#include "fluency/logsummary.h"

#include "settings/textfile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIODevice>

namespace plovista {

namespace {

constexpr quint32 Magic = 0x504C5653; // "PLVS"
// A new version is never read by an older program, nor an older one by this:
// the summary is then built again from the log.
constexpr quint32 Version = 1;
constexpr qint64 DigestSpan = 4096;
constexpr int MaxAttempts = 3;

quint64 fnv(QByteArrayView bytes, quint64 hash = 14695981039346656037ULL)
{
    for (const char c : bytes) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 1099511628211ULL;
    }
    return hash;
}

void put(QDataStream &out, const std::vector<Attempt> &attempts)
{
    out << static_cast<quint8>(attempts.size());
    for (const Attempt &a : attempts)
        out << a.at << a.day << a.correct << a.ms.has_value() << qint32(a.ms.value_or(0)) << a.position;
}

bool take(QDataStream &in, std::vector<Attempt> &attempts)
{
    quint8 count = 0;
    in >> count;
    if (count > MaxAttempts)
        return false;
    attempts.resize(count);
    for (Attempt &a : attempts) {
        bool hasMs = false;
        qint32 ms = 0;
        in >> a.at >> a.day >> a.correct >> hasMs >> ms >> a.position;
        a.ms = hasMs ? std::optional<int>(ms) : std::nullopt;
    }
    return in.status() == QDataStream::Ok;
}

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
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(QDataStream::Qt_6_0);
    const LogFileFluency &f = s.fluency;
    out << Magic << Version << s.student << s.end << s.headDigest << s.tailDigest;
    out << f.answers << f.trusted << f.latestTrusted << f.earliestAhead << qint32(f.duplicates)
        << qint32(f.damagedLines);
    for (std::size_t op = 0; op < f.lastDay.size(); ++op)
        out << f.lastDay[op] << f.zeroToTwelve[op];
    out << quint32(f.drills.size());
    for (const quint64 d : f.drills)
        out << d;
    out << quint32(f.recent.size());
    for (const LogFileFluency::Drill &d : f.recent) {
        out << d.digest << qint32(d.lastSequence) << quint32(d.missed.size());
        for (const int slot : d.missed)
            out << qint32(slot);
    }
    for (std::size_t slot = 0; slot < f.records.size(); ++slot) {
        const FactRecord &r = f.records[slot];
        const std::vector<FactWeek> &weeks = f.weeks[slot];
        if (r.firstTries == 0 && r.askedAgain == 0 && weeks.empty())
            continue;
        out << qint32(slot) << qint32(r.firstTries) << qint32(r.rightFirstTries) << qint32(r.askedAgain);
        put(out, r.last);
        out << quint32(weeks.size());
        for (const FactWeek &w : weeks) {
            out << w.week;
            put(out, w.last);
        }
    }
    out << qint32(-1);
    // A digest of all before it: a summary cut short or changed is not used.
    out << fnv(bytes);
    return bytes;
}

std::optional<LogSummary> decodeSummary(const QByteArray &bytes)
{
    if (bytes.size() < 16)
        return std::nullopt;
    const QByteArrayView body(bytes.constData(), bytes.size() - 8);
    {
        QDataStream tail(bytes.sliced(bytes.size() - 8));
        quint64 digest = 0;
        tail >> digest;
        if (digest != fnv(body))
            return std::nullopt;
    }
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_0);
    quint32 magic = 0, version = 0;
    in >> magic >> version;
    if (magic != Magic || version != Version)
        return std::nullopt;
    LogSummary s;
    LogFileFluency &f = s.fluency;
    qint32 duplicates = 0, damaged = 0;
    in >> s.student >> s.end >> s.headDigest >> s.tailDigest;
    in >> f.answers >> f.trusted >> f.latestTrusted >> f.earliestAhead >> duplicates >> damaged;
    f.duplicates = duplicates;
    f.damagedLines = damaged;
    for (std::size_t op = 0; op < f.lastDay.size(); ++op)
        in >> f.lastDay[op] >> f.zeroToTwelve[op];
    const qint64 limit = bytes.size(); // no count can exceed the bytes that hold it
    quint32 drills = 0;
    in >> drills;
    if (in.status() != QDataStream::Ok || drills > limit)
        return std::nullopt;
    f.drills.resize(drills);
    for (quint64 &d : f.drills)
        in >> d;
    quint32 recent = 0;
    in >> recent;
    if (in.status() != QDataStream::Ok || recent > limit)
        return std::nullopt;
    f.recent.resize(recent);
    for (LogFileFluency::Drill &d : f.recent) {
        qint32 last = 0;
        quint32 missed = 0;
        in >> d.digest >> last >> missed;
        if (in.status() != QDataStream::Ok || missed > limit)
            return std::nullopt;
        d.lastSequence = last;
        d.missed.resize(missed);
        for (int &slot : d.missed) {
            qint32 value = 0;
            in >> value;
            slot = value;
        }
    }
    for (;;) {
        qint32 slot = -1;
        in >> slot;
        if (in.status() != QDataStream::Ok)
            return std::nullopt;
        if (slot == -1)
            break;
        if (slot < 0 || static_cast<std::size_t>(slot) >= f.records.size())
            return std::nullopt;
        FactRecord &r = f.records[static_cast<std::size_t>(slot)];
        qint32 tries = 0, right = 0, again = 0;
        in >> tries >> right >> again;
        r.firstTries = tries;
        r.rightFirstTries = right;
        r.askedAgain = again;
        if (!take(in, r.last))
            return std::nullopt;
        quint32 weeks = 0;
        in >> weeks;
        if (in.status() != QDataStream::Ok || weeks > limit)
            return std::nullopt;
        std::vector<FactWeek> &w = f.weeks[static_cast<std::size_t>(slot)];
        w.resize(weeks);
        for (FactWeek &week : w) {
            in >> week.week;
            if (!take(in, week.last))
                return std::nullopt;
        }
    }
    if (in.status() != QDataStream::Ok || in.device()->pos() != body.size())
        return std::nullopt;
    return s;
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
