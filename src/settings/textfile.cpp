#include "settings/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <limits>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

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

// Closes a descriptor on every way out.
class Descriptor
{
public:
    explicit Descriptor(int fd)
        : m_fd(fd)
    { }
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }
    // Hands the descriptor on, no longer closed here.
    int release() { return std::exchange(m_fd, -1); }
    // Closes now; the error number of a failed close, else 0.
    int close()
    {
        const int fd = std::exchange(m_fd, -1);
        return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
    }

private:
    int m_fd;
};

int openFile(const QByteArray &path, int flags, mode_t mode = 0)
{
    int fd = -1;
    do
        fd = ::open(path.constData(), flags | O_CLOEXEC | O_NOCTTY, mode);
    while (fd < 0 && errno == EINTR);
    return fd;
}

// Writes all the bytes; 0, or the error number that stopped the write. A
// short write is followed by another, which tells why the first stopped.
int writeAll(int fd, const char *data, qint64 size)
{
    while (size > 0) {
        const ssize_t written = ::write(fd, data, static_cast<size_t>(size));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        size -= written;
    }
    return 0;
}

const QString NotPlainFile = QStringLiteral("it is not a plain file");

WriteResult failure(const QString &reason, const QString &path)
{
    return {false, QStringLiteral("%1 (%2)").arg(reason, path), reason};
}

WriteResult failure(int errorNumber, const QString &path)
{
    return failure(fileErrorReason(errorNumber), path);
}

BytesResult readFailure(const QString &reason, const QString &path)
{
    BytesResult result;
    result.error = QStringLiteral("%1 (%2)").arg(reason, path);
    return result;
}

BytesResult readFailure(int errorNumber, const QString &path)
{
    BytesResult result = readFailure(fileErrorReason(errorNumber), path);
    result.missing = errorNumber == ENOENT || errorNumber == ENOTDIR;
    return result;
}

QByteArray encodeText(const QString &text, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? text.toUtf8() : encodeWindows1252(text);
}

} // namespace

QString decodeWindows1252(QByteArrayView bytes)
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

bool anyHighByte(QByteArrayView bytes)
{
    // Eight bytes at a time, as a records file of many megabytes is looked
    // through before it is shown.
    constexpr quint64 HighBits = 0x8080808080808080ULL;
    const char *from = bytes.begin();
    for (; bytes.end() - from >= 8; from += 8) {
        quint64 word = 0;
        std::memcpy(&word, from, 8);
        if (word & HighBits)
            return true;
    }
    return std::any_of(from, bytes.end(), [](char b) { return static_cast<unsigned char>(b) >= 0x80; });
}

qsizetype byteOrderMarkLength(QByteArrayView bytes)
{
    return bytes.startsWith("\xEF\xBB\xBF") ? 3 : 0;
}

TextEncoding textEncodingOf(QByteArrayView bytes)
{
    if (byteOrderMarkLength(bytes) > 0)
        return TextEncoding::Utf8;
    if (!anyHighByte(bytes))
        return TextEncoding::Windows1252;
    // Checked a piece at a time, each ending at a line end (which no UTF-8
    // sequence spans), so a file of many megabytes is never decoded whole
    // just to learn how to decode it.
    constexpr qsizetype Piece = 64 * 1024;
    const char *from = bytes.begin();
    while (from != bytes.end()) {
        const char *to = from + std::min<qsizetype>(Piece, bytes.end() - from);
        to = std::find(to, bytes.end(), '\n');
        if (to != bytes.end())
            ++to;
        if (anyHighByte(QByteArrayView(from, to))) {
            QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
            const QString decoded = utf8(QByteArrayView(from, to));
            if (utf8.hasError())
                return TextEncoding::Windows1252;
        }
        from = to;
    }
    return TextEncoding::Utf8;
}

QString decodeText(QByteArrayView bytes, TextEncoding encoding)
{
    return encoding == TextEncoding::Utf8 ? QString::fromUtf8(bytes) : decodeWindows1252(bytes);
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

QString fileErrorReason(int errorNumber)
{
    switch (errorNumber) {
    case ENOSPC:
    case EDQUOT:
        return QStringLiteral("the disk is full");
    case EFBIG:
        return QStringLiteral("the file has reached the largest size allowed");
    case EACCES:
    case EPERM:
        return QStringLiteral("permission denied");
    case EROFS:
        return QStringLiteral("the disk is read-only");
    case ENOENT:
        return QStringLiteral("the file or its folder does not exist");
    case ENOTDIR:
        return QStringLiteral("a file stands where a folder belongs");
    case EISDIR:
        return QStringLiteral("it is a folder, not a file");
    case EEXIST:
        return QStringLiteral("a file of that name is in the way");
    default:
        return QString::fromLocal8Bit(std::strerror(errorNumber));
    }
}

ReadOnlyFile::ReadOnlyFile(int fd)
    : m_fd(new int(fd), [](const int *owned) {
        ::close(*owned);
        delete owned;
    })
{ }

qint64 ReadOnlyFile::readAt(qint64 offset, char *into, qint64 size) const
{
    qint64 done = 0;
    while (done < size) {
        const ssize_t got = ::pread(*m_fd, into + done, static_cast<size_t>(size - done), offset + done);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return -1;
        }
        if (got == 0)
            break;
        done += got;
    }
    return done;
}

namespace {

OpenResult openFailure(int errorNumber, const QString &path)
{
    const BytesResult failed = readFailure(errorNumber, path);
    OpenResult result;
    result.missing = failed.missing;
    result.error = failed.error;
    return result;
}

} // namespace

OpenResult openFileReporting(const QString &path)
{
    // Not waiting for a writer is what keeps a named pipe from blocking; a
    // regular file reads the same either way.
    Descriptor file(openFile(QFile::encodeName(path), O_RDONLY | O_NONBLOCK));
    if (file.get() < 0)
        return openFailure(errno, path);
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0)
        return openFailure(errno, path);
    if (S_ISDIR(info.st_mode))
        return openFailure(EISDIR, path);
    if (!S_ISREG(info.st_mode)) {
        OpenResult result;
        result.error = readFailure(NotPlainFile, path).error;
        return result;
    }
    OpenResult result;
    result.size = info.st_size;
    result.file = ReadOnlyFile(file.release());
    return result;
}

BytesResult readFileReporting(const QString &path, qint64 maxBytes)
{
    const OpenResult opened = openFileReporting(path);
    if (!opened.file) {
        BytesResult result;
        result.missing = opened.missing;
        result.error = opened.error;
        return result;
    }
    const auto tooLarge = [&] { return readFailure(QStringLiteral("it is larger than %1 bytes").arg(maxBytes), path); };
    if (maxBytes >= 0 && opened.size > maxBytes)
        return tooLarge();

    // A file may grow while it is read; with a limit, one byte past it is
    // enough to know it is too large.
    const qint64 cap = maxBytes >= 0 ? maxBytes + 1 : std::numeric_limits<qsizetype>::max();
    QByteArray bytes;
    qint64 expected = std::min<qint64>(opened.size, cap);
    while (bytes.size() < cap) {
        const qint64 room = std::min<qint64>(cap - bytes.size(), std::max<qint64>(expected - bytes.size(), 65536));
        const qsizetype before = bytes.size();
        bytes.resize(before + room);
        const qint64 got = opened.file->readAt(before, bytes.data() + before, room);
        if (got < 0) {
            const int errorNumber = errno;
            bytes.resize(before);
            return readFailure(errorNumber, path);
        }
        bytes.resize(before + got);
        if (got < room)
            break;
        expected = std::max<qint64>(expected, bytes.size());
    }
    if (maxBytes >= 0 && bytes.size() > maxBytes)
        return tooLarge();
    BytesResult result;
    result.bytes = std::move(bytes);
    return result;
}

ReadResult readTextFileReporting(const QString &path, qint64 maxBytes, std::optional<TextEncoding> encoding)
{
    BytesResult read = readFileReporting(path, maxBytes);
    ReadResult result;
    result.missing = read.missing;
    result.error = std::move(read.error);
    if (read.bytes) {
        const QByteArrayView bytes = *read.bytes;
        const TextEncoding chosen = encoding.value_or(textEncodingOf(bytes));
        const qsizetype mark = chosen == TextEncoding::Utf8 ? byteOrderMarkLength(bytes) : 0;
        result.text = decodeText(bytes.sliced(mark), chosen);
    }
    return result;
}

std::optional<QString> readTextFile(const QString &path, qint64 maxBytes)
{
    return readTextFileReporting(path, maxBytes).text;
}

WriteResult writeTextFileAtomically(const QString &path, const QString &text, TextEncoding encoding)
{
    return writeFileAtomically(path, encodeText(text, encoding));
}

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    struct stat old
    {
    };
    const bool replacing = ::stat(target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode))
        return failure(EISDIR, path);

    // The new content goes into a file of its own beside the old one, and
    // only a whole, flushed file is renamed over it.
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
        temporary = target + '.' + QByteArray::number(QRandomGenerator::global()->generate64(), 36);
        fd = openFile(temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (fd < 0 && errno != EEXIST)
            return failure(errno, path);
    }
    if (fd < 0)
        return failure(EEXIST, path);
    Descriptor file(fd);
    if (replacing)
        ::fchmod(fd, old.st_mode & 07777);

    int errorNumber = writeAll(fd, bytes.constData(), bytes.size());
    // A file system that cannot sync has nothing more to say about the data.
    if (errorNumber == 0 && ::fdatasync(fd) != 0 && errno != EINVAL)
        errorNumber = errno;
    const int closed = file.close();
    if (errorNumber == 0)
        errorNumber = closed;
    if (errorNumber == 0 && ::rename(temporary.constData(), target.constData()) != 0)
        errorNumber = errno;
    if (errorNumber != 0) {
        ::unlink(temporary.constData());
        return failure(errorNumber, path);
    }
    return {};
}

namespace {

// Takes the file's exclusive lock, asking again and again rather than
// waiting in the kernel, which no signal and no time limit would end. 0, or
// the error number; EWOULDBLOCK when the time ran out.
int lockWithin(int fd, std::chrono::milliseconds wait)
{
    const auto deadline = std::chrono::steady_clock::now() + wait;
    constexpr auto Pause = std::chrono::milliseconds(20);
    for (;;) {
        if (::flock(fd, LOCK_EX | LOCK_NB) == 0)
            return 0;
        if (errno == EINTR)
            continue;
        if (errno != EWOULDBLOCK)
            return errno;
        const auto left = deadline - std::chrono::steady_clock::now();
        if (left <= std::chrono::steady_clock::duration::zero())
            return EWOULDBLOCK;
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(left, Pause));
    }
}

} // namespace

WriteResult appendTextFile(const QString &path, const QString &text, TextEncoding encoding, const QString &firstLine,
                           std::chrono::milliseconds lockWait)
{
    Descriptor file(openFile(QFile::encodeName(path), O_RDWR | O_APPEND | O_CREAT | O_NONBLOCK, 0666));
    if (file.get() < 0)
        return failure(errno, path);
    struct stat info
    {
    };
    if (::fstat(file.get(), &info) != 0)
        return failure(errno, path);
    if (!S_ISREG(info.st_mode))
        return failure(NotPlainFile, path);

    // Held until the file is closed: another appender waits, so the size
    // taken here is where this append starts and where a failure cuts back to.
    if (const int errorNumber = lockWithin(file.get(), lockWait)) {
        if (errorNumber == EWOULDBLOCK)
            return failure(QString::fromLatin1(FileInUse), path);
        return failure(errorNumber, path);
    }
    if (::fstat(file.get(), &info) != 0)
        return failure(errno, path);
    const off_t before = info.st_size;

    QByteArray bytes;
    if (before > 0) {
        char last = '\n';
        if (::pread(file.get(), &last, 1, before - 1) != 1)
            return failure(errno, path);
        if (last == '\r')
            bytes += '\n';
        else if (last != '\n')
            bytes += "\r\n";
    } else if (!firstLine.isEmpty()) {
        bytes += encodeText(firstLine, encoding);
    }
    bytes += encodeText(text, encoding);

    const int errorNumber = writeAll(file.get(), bytes.constData(), bytes.size());
    if (errorNumber != 0) {
        while (::ftruncate(file.get(), before) != 0 && errno == EINTR) { }
        return failure(errorNumber, path);
    }
    if (const int closed = file.close())
        return failure(closed, path);
    return {};
}

} // namespace plovista
