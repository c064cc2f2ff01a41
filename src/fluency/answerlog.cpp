#include "fluency/answerlog.h"

#include "fluency/csv.h"
#include "settings/textfile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QVarLengthArray>

#include <algorithm>
#include <array>

namespace plovista {

namespace {

// The columns in the order they are written. Readers find them by the names
// of the header, so a later version may add columns at the end.
enum Column {
    Id,
    Drill,
    Sequence,
    Time,
    Student,
    OperationColumn,
    Left,
    Right,
    Expected,
    Given,
    FirstTry,
    Correct,
    Ms,
    MsAfterReading,
    Format,
    Range,
    Version,
    Computer,
    Activity,
    ColumnCount
};

constexpr std::array<const char *, ColumnCount> ColumnNames = {
    "id",     "drill",    "sequence", "time",      "student", "operation", "left",
    "right",  "expected", "given",    "first_try", "correct", "ms",        "ms_after_reading",
    "format", "range",    "version",  "computer",  "activity"};

constexpr std::array<std::pair<Operation, const char *>, 5> OperationNames = {{
    {Operation::Addition, "Addition"},
    {Operation::Subtraction, "Subtraction"},
    {Operation::Multiplication, "Multiplication"},
    {Operation::Division, "Division"},
    {Operation::FactsOfTen, "Facts of Ten"},
}};

// Cut parts keep this much of their encoded text before '~' and the digest.
constexpr qsizetype StudentPartLimit = 120;
constexpr qsizetype ComputerPartLimit = 60;

QString oneLine(QString text)
{
    text.replace(u'\r', u' ');
    text.replace(u'\n', u' ');
    return text;
}

QString optionalNumber(const std::optional<int> &value)
{
    return value ? QString::number(*value) : QString();
}

bool keptInFileName(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '-' || u == '_' ||
        u == ' ';
}

QString encodedPart(const QString &text, qsizetype limit)
{
    QString part;
    const QByteArray utf8 = text.toUtf8();
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const QChar c(byte);
        // A blank at either end would be dropped by some file systems.
        const bool edge = byte == ' ' && (i == 0 || i == utf8.size() - 1);
        if (byte < 0x80 && keptInFileName(c) && !edge)
            part += c;
        else
            part += QStringLiteral("%%1").arg(byte, 2, 16, QLatin1Char('0')).toUpper();
    }
    if (part.size() <= limit)
        return part;
    qsizetype keep = limit - 9;
    // Never cut through a %XX.
    if (part[keep - 1] == u'%')
        keep -= 1;
    else if (part[keep - 2] == u'%')
        keep -= 2;
    const QByteArray digest = QCryptographicHash::hash(utf8, QCryptographicHash::Sha1).toHex().left(8);
    return part.left(keep) + u'~' + QString::fromLatin1(digest);
}

// Our own form, "2026-12-06T10:00:03.250+01:00", read without Qt's general
// parser, which would cost more than the rest of the line.
std::optional<QDateTime> parseTime(QStringView s)
{
    const auto digits = [&](qsizetype at, int count) -> int {
        if (at + count > s.size())
            return -1;
        int value = 0;
        for (int i = 0; i < count; ++i) {
            const char16_t u = s[at + i].unicode();
            if (u < '0' || u > '9')
                return -1;
            value = value * 10 + (u - '0');
        }
        return value;
    };
    if (s.size() < 20 || s[4] != u'-' || s[7] != u'-' || s[10] != u'T' || s[13] != u':' || s[16] != u':')
        return std::nullopt;
    const int year = digits(0, 4), month = digits(5, 2), day = digits(8, 2);
    const int hour = digits(11, 2), minute = digits(14, 2), second = digits(17, 2);
    if (year < 0 || month < 0 || day < 0 || hour < 0 || minute < 0 || second < 0)
        return std::nullopt;
    qsizetype at = 19;
    int ms = 0;
    if (s[at] == u'.') {
        ++at;
        int scale = 100;
        while (at < s.size() && s[at].isDigit()) {
            ms += (s[at].unicode() - '0') * scale;
            scale /= 10;
            ++at;
        }
    }
    int offset = 0;
    if (at < s.size() && s[at] == u'Z' && at + 1 == s.size()) {
        offset = 0;
    } else if (at + 6 == s.size() && (s[at] == u'+' || s[at] == u'-') && s[at + 3] == u':') {
        const int hours = digits(at + 1, 2), minutes = digits(at + 4, 2);
        if (hours < 0 || minutes < 0)
            return std::nullopt;
        offset = (hours * 3600 + minutes * 60) * (s[at] == u'-' ? -1 : 1);
    } else {
        return std::nullopt;
    }
    const QDate date(year, month, day);
    const QTime time(hour, minute, second, ms);
    if (!date.isValid() || !time.isValid())
        return std::nullopt;
    return QDateTime(date, time, Qt::OffsetFromUTC, offset);
}

// The fields of a line, as views into it (or into `storage` for a line with
// quotes, the rare one).
using Fields = QVarLengthArray<QStringView, 32>;

bool splitLine(QStringView line, Fields &fields, QStringList &storage)
{
    fields.clear();
    if (!line.contains(u'"')) {
        qsizetype start = 0;
        for (;;) {
            const qsizetype comma = line.indexOf(u',', start);
            if (comma < 0) {
                fields.append(line.mid(start));
                return true;
            }
            fields.append(line.mid(start, comma - start));
            start = comma + 1;
        }
    }
    std::optional<QStringList> parsed = parseCsvLine(line);
    if (!parsed)
        return false;
    storage = std::move(*parsed);
    for (const QString &field : std::as_const(storage))
        fields.append(field);
    return true;
}

std::optional<int> parseCount(QStringView text)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 0 ? std::optional<int>(value) : std::nullopt;
}

std::optional<bool> parseFlag(QStringView text)
{
    if (text == QLatin1String("1"))
        return true;
    if (text == QLatin1String("0"))
        return false;
    return std::nullopt;
}

struct Columns
{
    std::array<int, ColumnCount> index {};

    Columns()
    {
        for (int i = 0; i < ColumnCount; ++i)
            index[static_cast<std::size_t>(i)] = i;
    }
    static bool isHeader(const Fields &fields)
    {
        return !fields.isEmpty() && fields[0] == QLatin1String(ColumnNames[Id]);
    }
    static Columns fromHeader(const Fields &fields)
    {
        Columns columns;
        for (int i = 0; i < ColumnCount; ++i) {
            const QLatin1String name(ColumnNames[static_cast<std::size_t>(i)]);
            const auto found = std::find(fields.cbegin(), fields.cend(), name);
            columns.index[static_cast<std::size_t>(i)] =
                found == fields.cend() ? -1 : static_cast<int>(found - fields.cbegin());
        }
        // A file begun before the activity column keeps its header: the lines
        // appended to it since carry the activity just past its columns.
        if (columns.index[Activity] < 0)
            columns.index[Activity] = static_cast<int>(fields.size());
        return columns;
    }
    QStringView at(const Fields &fields, Column column) const
    {
        const int i = index[static_cast<std::size_t>(column)];
        return i >= 0 && i < fields.size() ? fields[i] : QStringView();
    }
    bool covers(const Fields &fields) const
    {
        for (const Column required : {Id, Time, Student, OperationColumn, Left, Right, FirstTry, Correct}) {
            const int i = index[static_cast<std::size_t>(required)];
            if (i < 0 || i >= fields.size())
                return false;
        }
        return true;
    }
};

std::optional<AnswerEntry> parseEntry(const Fields &fields, const Columns &columns)
{
    if (!columns.covers(fields))
        return std::nullopt;
    AnswerEntry e;
    e.id = columns.at(fields, Id).toString();
    const std::optional<QDateTime> time = parseTime(columns.at(fields, Time));
    const std::optional<Operation> operation = operationFromName(columns.at(fields, OperationColumn));
    const std::optional<int> left = parseCount(columns.at(fields, Left));
    const std::optional<int> right = parseCount(columns.at(fields, Right));
    const std::optional<bool> firstTry = parseFlag(columns.at(fields, FirstTry));
    const std::optional<bool> correct = parseFlag(columns.at(fields, Correct));
    if (e.id.isEmpty() || !time || !operation || !left || !right || !firstTry || !correct)
        return std::nullopt;
    e.time = *time;
    e.operation = *operation;
    e.left = *left;
    e.right = *right;
    e.firstTry = *firstTry;
    e.correct = *correct;
    e.student = columns.at(fields, Student).toString();
    e.drillId = columns.at(fields, Drill).toString();
    e.sequence = parseCount(columns.at(fields, Sequence)).value_or(0);
    e.expected = parseCount(columns.at(fields, Expected)).value_or(0);
    // Empty: no answer was given (a skip, or the time ran out).
    const QStringView given = columns.at(fields, Given);
    e.given = given.isEmpty() ? AnswerEntry::NoAnswer : parseCount(given).value_or(0);
    // A time that is there must be a time; an empty one is a time not taken.
    for (const auto &[column, slot] : {std::pair {Ms, &e.ms}, std::pair {MsAfterReading, &e.msAfterReading}}) {
        const QStringView text = columns.at(fields, column);
        if (text.isEmpty())
            continue;
        *slot = parseCount(text);
        if (!*slot)
            return std::nullopt;
    }
    e.format = columns.at(fields, Format).toString();
    e.range = columns.at(fields, Range).toString();
    e.version = columns.at(fields, Version).toString();
    e.computer = columns.at(fields, Computer).toString();
    e.activity = columns.at(fields, Activity).toString();
    return e;
}

// FNV-1a over the UTF-16 text: the same on every run and every machine.
quint64 idDigest(QStringView id)
{
    quint64 hash = 14695981039346656037ULL;
    for (const QChar c : id) {
        hash ^= c.unicode();
        hash *= 1099511628211ULL;
    }
    return hash;
}

QString studentPartOf(const QString &fileName)
{
    return fileName.section(u'@', 0, 0);
}

std::optional<QByteArray> bytesOfFileNamePart(QStringView part)
{
    QByteArray utf8;
    for (qsizetype i = 0; i < part.size(); ++i) {
        const QChar c = part[i];
        if (c == u'%') {
            const auto hex = [&](qsizetype at) {
                return at < part.size() && QStringLiteral("0123456789ABCDEF").contains(part[at]);
            };
            if (!hex(i + 1) || !hex(i + 2))
                return std::nullopt;
            utf8 += static_cast<char>(part.mid(i + 1, 2).toInt(nullptr, 16));
            i += 2;
        } else if (c.unicode() < 0x80 && keptInFileName(c)) {
            utf8 += static_cast<char>(c.unicode());
        } else {
            return std::nullopt; // cut ('~'), or not a name we made
        }
    }
    return utf8;
}

QStringList logFiles(const QString &logFolder)
{
    return QDir(logFolder).entryList({QStringLiteral("*.csv")}, QDir::Files, QDir::Name);
}

// Pieces a file is read in. No answer's line comes near the line limit: a
// longer one is damage (a file of another kind), skipped without being kept.
constexpr qint64 PieceBytes = 256 * 1024;
constexpr qsizetype LineLimit = 64 * 1024;

// Takes one entry; false stops the reading of the file.
using EntryTaker = std::function<bool(const AnswerEntry &)>;

// The lines of one file, as entries; what it skips goes into scan.
class LogLines
{
public:
    LogLines(LogScan &scan, const EntryTaker &take)
        : m_scan(scan)
        , m_take(take)
    { }

    // Whole lines, each ending with LF; false when the taker said stop.
    bool lines(QByteArrayView bytes)
    {
        // A line end is never part of a longer UTF-8 sequence, so whole lines
        // decode on their own.
        const QString text = QString::fromUtf8(bytes);
        qsizetype at = 0;
        while (at < text.size()) {
            const qsizetype end = text.indexOf(u'\n', at);
            if (!line(QStringView(text).mid(at, end - at)))
                return false;
            at = end + 1;
        }
        return true;
    }
    void damaged() { ++m_scan.damagedLines; }
    // The columns, from the first line of a file read from its middle.
    void useHeaderOf(QByteArrayView firstLine)
    {
        const QString text = QString::fromUtf8(firstLine).trimmed();
        if (splitLine(text, m_fields, m_storage) && Columns::isHeader(m_fields))
            m_columns = Columns::fromHeader(m_fields);
        m_first = false;
    }

private:
    bool line(QStringView line)
    {
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.isEmpty())
            return true;
        if (!splitLine(line, m_fields, m_storage)) {
            damaged();
            return true;
        }
        if (Columns::isHeader(m_fields)) {
            if (m_first)
                m_columns = Columns::fromHeader(m_fields);
            m_first = false;
            return true;
        }
        m_first = false;
        const std::optional<AnswerEntry> entry = parseEntry(m_fields, m_columns);
        if (!entry) {
            damaged();
            return true;
        }
        return m_take(*entry);
    }

    LogScan &m_scan;
    const EntryTaker &m_take;
    Columns m_columns;
    Fields m_fields;
    QStringList m_storage;
    bool m_first = true;
};

// Every whole line of one file from `from` on (the start of a line), as
// entries, a piece at a time; what it skipped goes into scan. A read from the
// middle takes the columns from the file's first line. False when the
// progress said stop.
struct FileEnd
{
    qint64 wholeLines = 0; // where the last whole line ended
    bool cutTail = false; // the file ends in a line cut short
};

bool scanFile(const QString &path, LogScan &scan, WorkProgress *progress, const EntryTaker &take, qint64 from = 0,
              FileEnd *fileEnd = nullptr)
{
    const OpenResult opened = openFileReporting(path);
    if (!opened.file) {
        scan.unreadable << opened.error;
        return true;
    }
    LogLines lines(scan, take);
    QByteArray piece(PieceBytes, Qt::Uninitialized);
    if (from > 0) {
        // The header is one short line.
        const qint64 got = opened.file->readAt(0, piece.data(), std::min<qint64>(LineLimit, from));
        QByteArrayView head(piece.constData(), std::max<qint64>(got, 0));
        head = head.sliced(byteOrderMarkLength(head));
        const qsizetype end = head.indexOf('\n');
        lines.useHeaderOf(end < 0 ? QByteArrayView() : head.first(end));
    }
    QByteArray started; // a line begun in an earlier piece
    bool overlong = false; // in a line past the limit, which is not kept
    qint64 whole = from;
    for (qint64 offset = from;;) {
        const qint64 got = opened.file->readAt(offset, piece.data(), PieceBytes);
        if (got < 0) {
            scan.unreadable << QStringLiteral("%1 (%2)").arg(fileErrorReason(errno), path);
            return true;
        }
        if (got == 0)
            break;
        QByteArrayView bytes(piece.constData(), got);
        qint64 start = offset;
        if (offset == 0) {
            const qsizetype mark = byteOrderMarkLength(bytes);
            bytes = bytes.sliced(mark);
            start += mark;
        }
        offset += got;
        const qsizetype firstEnd = bytes.indexOf('\n');
        if (firstEnd < 0) {
            if (!overlong && started.size() + bytes.size() <= LineLimit)
                started += bytes;
            else
                overlong = true;
        } else {
            const qsizetype lastEnd = bytes.lastIndexOf('\n');
            bool goOn = true;
            if (overlong) {
                lines.damaged();
                goOn = lines.lines(bytes.sliced(firstEnd + 1, lastEnd - firstEnd));
            } else if (!started.isEmpty()) {
                started += bytes.first(lastEnd + 1);
                goOn = lines.lines(started);
            } else {
                goOn = lines.lines(bytes.first(lastEnd + 1));
            }
            if (!goOn)
                return true;
            whole = start + lastEnd + 1;
            overlong = false;
            started = bytes.sliced(lastEnd + 1).toByteArray();
            if (started.size() > LineLimit) {
                started.clear();
                overlong = true;
            }
        }
        if (progress && !progress->advance(got))
            return false;
    }
    // Written whole, every line ends with CR LF: the rest was cut short.
    const bool cut = overlong || !started.isEmpty();
    if (cut)
        lines.damaged();
    if (fileEnd)
        *fileEnd = {whole, cut};
    return true;
}

// The name a file's part gives, made one line as the writer made it in the
// lines; empty for a part that was cut or is not one of ours.
std::optional<QString> studentOfFile(const QString &fileName)
{
    const std::optional<QByteArray> name = bytesOfFileNamePart(studentPartOf(fileName));
    if (!name)
        return std::nullopt;
    return oneLine(QString::fromUtf8(*name));
}

// Whether a file of the folder may hold lines of the student: those named
// after the student, a cut name that begins as the student's does, and any
// file whose name is not one of ours (copied in by hand, say).
bool mayHold(const QString &fileName, const QString &student, const QByteArray &studentUtf8)
{
    if (const std::optional<QString> name = studentOfFile(fileName))
        return *name == student;
    const QString part = studentPartOf(fileName);
    const qsizetype cut = part.lastIndexOf(u'~');
    const std::optional<QByteArray> kept = cut >= 0 ? bytesOfFileNamePart(QStringView(part).left(cut)) : std::nullopt;
    if (!kept)
        return true;
    QByteArray start = *kept;
    start.replace('\r', ' ').replace('\n', ' ');
    return studentUtf8.startsWith(start);
}

QStringList filesOf(const QString &logFolder, const QString &student)
{
    const QByteArray utf8 = student.toUtf8();
    QStringList files;
    for (const QString &file : logFiles(logFolder))
        if (mayHold(file, student, utf8))
            files << QDir(logFolder).filePath(file);
    return files;
}

// The share of the answers an id falls in.
int shareOf(quint64 digest, int shares)
{
    return static_cast<int>((digest ^ (digest >> 31)) % static_cast<quint64>(shares));
}

} // namespace

QString operationName(Operation operation)
{
    for (const auto &[op, name] : OperationNames)
        if (op == operation)
            return QString::fromLatin1(name);
    return {};
}

std::optional<Operation> operationFromName(QStringView name)
{
    for (const auto &[op, text] : OperationNames)
        if (name == QLatin1String(text))
            return op;
    return std::nullopt;
}

QString answerLogHeader()
{
    QStringList names;
    for (const char *name : ColumnNames)
        names << QString::fromLatin1(name);
    return csvRecord(names);
}

QString answerLogLine(const AnswerEntry &e)
{
    const QDateTime time = e.time.toOffsetFromUtc(e.time.offsetFromUtc());
    return csvRecord({
        oneLine(e.id),
        oneLine(e.drillId),
        QString::number(e.sequence),
        time.toString(Qt::ISODateWithMs),
        oneLine(e.student),
        operationName(e.operation),
        QString::number(e.left),
        QString::number(e.right),
        QString::number(e.expected),
        e.given == AnswerEntry::NoAnswer ? QString() : QString::number(e.given),
        e.firstTry ? QStringLiteral("1") : QStringLiteral("0"),
        e.correct ? QStringLiteral("1") : QStringLiteral("0"),
        optionalNumber(e.ms),
        optionalNumber(e.msAfterReading),
        oneLine(e.format),
        oneLine(e.range),
        oneLine(e.version),
        oneLine(e.computer),
        oneLine(e.activity),
    });
}

QString fileNamePart(const QString &text)
{
    return encodedPart(text, StudentPartLimit);
}

std::optional<QString> textOfFileNamePart(QStringView part)
{
    const std::optional<QByteArray> utf8 = bytesOfFileNamePart(part);
    return utf8 ? std::optional<QString>(QString::fromUtf8(*utf8)) : std::nullopt;
}

QString answerLogFileName(const QString &student, const QString &computer)
{
    return encodedPart(student, StudentPartLimit) + u'@' + encodedPart(computer, ComputerPartLimit) +
        QStringLiteral(".csv");
}

QStringList loggedStudents(const QString &logFolder, WorkProgress *progress)
{
    QSet<QString> names;
    for (const QString &file : logFiles(logFolder)) {
        if (const std::optional<QString> name = studentOfFile(file)) {
            names.insert(*name);
            continue;
        }
        LogScan ignored;
        const bool goOn = scanFile(QDir(logFolder).filePath(file), ignored, progress, [&](const AnswerEntry &e) {
            names.insert(e.student);
            return true;
        });
        if (!goOn)
            break;
    }
    QStringList sorted(names.cbegin(), names.cend());
    std::sort(sorted.begin(), sorted.end(), [](const QString &a, const QString &b) {
        const int folded = a.compare(b, Qt::CaseInsensitive);
        return folded != 0 ? folded < 0 : a < b;
    });
    return sorted;
}

LogScan scanStudentLog(const QString &logFolder, const QString &student,
                       const std::function<void(const AnswerEntry &)> &each, const ScanOptions &options)
{
    LogScan scan;
    // Ids are kept as 64-bit digests, a fraction of the memory and time of
    // the texts: even a million answers of one student give two different
    // ids one digest with a chance of about one in 30 million.
    QSet<quint64> seen;
    for (const QString &path : filesOf(logFolder, student)) {
        const int damagedBefore = scan.damagedLines;
        const bool goOn = scanFile(path, scan, options.progress, [&](const AnswerEntry &e) {
            // Files whose names fold together on a case-blind disk share
            // lines of more than one student.
            if (e.student != student)
                return true;
            const quint64 digest = idDigest(e.id);
            if (options.shares > 1 && shareOf(digest, options.shares) != options.share)
                return true;
            if (seen.contains(digest)) {
                ++scan.duplicates;
                return true;
            }
            if (options.idLimit >= 0 && seen.size() >= options.idLimit) {
                scan.tooManyIds = true;
                return false;
            }
            seen.insert(digest);
            ++scan.entries;
            each(e);
            return true;
        });
        if (scan.damagedLines > damagedBefore)
            scan.damagedFiles.append({QFileInfo(path).fileName(), scan.damagedLines - damagedBefore});
        scan.cancelled = !goOn;
        if (scan.cancelled || scan.tooManyIds)
            break;
    }
    return scan;
}

LogFileRead readLogFile(const QString &path, qint64 from, WorkProgress *progress,
                        const std::function<void(const AnswerEntry &)> &each)
{
    LogFileRead read;
    LogScan scan;
    FileEnd end {from, false};
    read.cancelled = !scanFile(
        path, scan, progress,
        [&](const AnswerEntry &e) {
            each(e);
            return true;
        },
        from, &end);
    read.end = end.wholeLines;
    read.cutTail = end.cutTail;
    read.damagedLines = scan.damagedLines;
    read.unreadable = scan.unreadable.value(0);
    return read;
}

QStringList studentLogFiles(const QString &logFolder, const QString &student)
{
    return filesOf(logFolder, student);
}

qint64 studentLogSize(const QString &logFolder, const QString &student)
{
    qint64 bytes = 0;
    for (const QString &path : filesOf(logFolder, student))
        bytes += QFileInfo(path).size();
    return bytes;
}

} // namespace plovista
