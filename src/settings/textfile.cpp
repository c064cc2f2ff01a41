#include "settings/textfile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QStringDecoder>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cstring>
#include <limits>
#include <memory>
#include <thread>
#include <utility>

#include <dirent.h>
#include <fcntl.h>
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

// The byte every write of ours locks: far past any data, since a lock on SMB
// is mandatory and one over the data would fail other computers' reads.
constexpr off_t LockedByte = off_t(1) << 62;

// Locks that byte for writing, without waiting: a record lock of the open
// file, which NFS and SMB send to the server. 0, or the error number,
// EWOULDBLOCK where another open file holds it.
int lockWithoutWaiting(int fd)
{
    struct flock lock
    {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = LockedByte;
    lock.l_len = 1;
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    return errno == EAGAIN || errno == EACCES ? EWOULDBLOCK : errno;
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

namespace {

// ".<name>.<digits>.tmp": the digits are a random 64-bit number in lower-case
// hex, always 16 of them.
constexpr qsizetype TemporaryDigits = 16;
constexpr QByteArrayView TemporaryEnd = ".tmp";
constexpr qsizetype TemporaryTail = 1 + TemporaryDigits + 4; // ".<digits>.tmp"

bool isTemporaryFileName(QByteArrayView name)
{
    if (name.size() < 1 + TemporaryTail || name.front() != '.' || !name.endsWith(TemporaryEnd))
        return false;
    const QByteArrayView tail = name.last(TemporaryTail);
    const QByteArrayView digits = tail.sliced(1, TemporaryDigits);
    return tail.front() == '.' && std::all_of(digits.begin(), digits.end(), [](char c) {
               return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
           });
}

// A new name beside the target's. The target's own name goes in to tell a
// reader what it was for, cut (at a whole UTF-8 character) where the whole
// would be longer than a file name may be.
QByteArray temporaryPathFor(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    QByteArray name = target.sliced(slash + 1);
    qsizetype room = NAME_MAX - 1 - TemporaryTail;
    if (name.size() > room) {
        while (room > 0 && (static_cast<unsigned char>(name.at(room)) & 0xC0) == 0x80)
            --room;
        name.truncate(room);
    }
    const QByteArray digits =
        QByteArray::number(QRandomGenerator::global()->generate64(), 16).rightJustified(TemporaryDigits, '0');
    return target.first(slash + 1) + '.' + name + '.' + digits + TemporaryEnd.toByteArray();
}

// Takes the lock a write holds on its new file until the file has its name,
// so start-up's sweep leaves it alone. False when the sweep took the file
// between its making and now (it is gone: make another). Where the file
// system has no locks the write goes on without one: the sweep cannot lock
// the file either, so it leaves it.
bool holdNewFile(int fd)
{
    // A sweep holds the file for a moment only; but the sweep of a computer
    // whose share stopped answering may hold it for long, so the wait is
    // bounded like an append's, never made in the kernel.
    const auto deadline = std::chrono::steady_clock::now() + AppendLockWait;
    for (;;) {
        const int errorNumber = tryLockForWriting(fd);
        if (errorNumber == 0 || (errorNumber != EWOULDBLOCK && errorNumber != EINTR) ||
            std::chrono::steady_clock::now() >= deadline)
            break;
        if (errorNumber == EWOULDBLOCK)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    struct stat info
    {
    };
    return ::fstat(fd, &info) != 0 || info.st_nlink > 0;
}

QByteArray folderOf(const QByteArray &target)
{
    const qsizetype slash = target.lastIndexOf('/');
    return slash < 0 ? QByteArray(".") : (slash == 0 ? QByteArray("/") : target.first(slash));
}

// A rename survives a power cut only once the folder itself is written out;
// until then the old file, or no file, may come back. Nothing is told when
// this fails: the new file is in place, as the program goes on to use it.
void syncFolderOf(const QByteArray &target)
{
    Descriptor dir(openFile(folderOf(target), O_RDONLY | O_DIRECTORY));
    if (dir.get() >= 0)
        ::fsync(dir.get());
}

} // namespace

WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes)
{
    AtomicFileWriter file(path);
    file.write(bytes);
    return file.commit();
}

AtomicFileWriter::AtomicFileWriter(const QString &path)
    : m_path(path)
    , m_target(QFile::encodeName(path))
{
    struct stat old
    {
    };
    const bool replacing = ::stat(m_target.constData(), &old) == 0;
    if (replacing && S_ISDIR(old.st_mode)) {
        m_error = EISDIR;
        return;
    }
    // The new content goes into a file of its own beside the old one, and
    // only a whole, flushed file is renamed over it.
    for (int attempt = 0; m_fd < 0 && attempt < 100; ++attempt) {
        m_temporary = temporaryPathFor(m_target);
        m_fd = openFile(m_temporary, O_WRONLY | O_CREAT | O_EXCL, 0666);
        if (m_fd < 0 && errno != EEXIST) {
            m_error = errno;
            return;
        }
        if (m_fd >= 0 && !holdNewFile(m_fd)) {
            ::close(m_fd);
            m_fd = -1;
        }
    }
    if (m_fd < 0) {
        m_error = EEXIST;
        return;
    }
    if (replacing)
        m_mode = old.st_mode & 07777;
}

AtomicFileWriter::~AtomicFileWriter()
{
    discard();
}

void AtomicFileWriter::discard()
{
    if (m_fd >= 0) {
        ::unlink(m_temporary.constData());
        ::close(m_fd);
        m_fd = -1;
    }
}

bool AtomicFileWriter::write(QByteArrayView bytes)
{
    if (m_error == 0 && m_fd < 0)
        m_error = EBADF; // already committed
    if (m_error == 0)
        m_error = writeAll(m_fd, bytes.data(), bytes.size());
    return m_error == 0;
}

void AtomicFileWriter::finishWriting()
{
    if (m_error == 0 && m_fd < 0)
        m_error = EBADF;
    // Given the old file's permissions only now, so what a crash leaves
    // can always be opened for the sweep.
    if (m_error == 0 && m_mode)
        ::fchmod(m_fd, *m_mode);
}

void AtomicFileWriter::syncData()
{
    // A file system that cannot sync has nothing more to say about the data.
    if (m_error == 0 && ::fdatasync(m_fd) != 0 && errno != EINVAL)
        m_error = errno;
}

WriteResult AtomicFileWriter::renameIntoPlace()
{
    // Renamed while still held, so the sweep never takes a finished file.
    if (m_error == 0 && ::rename(m_temporary.constData(), m_target.constData()) != 0)
        m_error = errno;
    if (m_error != 0) {
        discard();
        return failure(m_error, m_path);
    }
    // The data was synced before the rename; a late complaint of the close
    // cannot take back a file that is already in place.
    ::close(std::exchange(m_fd, -1));
    return {};
}

WriteResult AtomicFileWriter::commit()
{
    finishWriting();
    syncData();
    const WriteResult result = renameIntoPlace();
    if (result.ok)
        syncFolderOf(m_target);
    return result;
}

std::vector<WriteResult> writeFilesAtomically(const std::vector<NewFileBytes> &files)
{
    std::vector<std::unique_ptr<AtomicFileWriter>> writers;
    writers.reserve(files.size());
    for (const NewFileBytes &file : files) {
        writers.push_back(std::make_unique<AtomicFileWriter>(file.path));
        writers.back()->write(file.bytes);
        writers.back()->finishWriting();
    }

    // One pass makes every new file safe on the disk: the file system is
    // written out once, not once for each file. Where that fails, or cannot
    // be asked, each file is synced on its own, which also tells which of
    // them failed.
    const auto held = std::find_if(writers.begin(), writers.end(), [](const auto &w) { return w->m_error == 0; });
    if (held != writers.end() && ::syncfs((*held)->m_fd) != 0) {
        for (const auto &writer : writers)
            writer->syncData();
    }

    // Every rename first, then each folder written out once, after the last
    // rename into it.
    std::vector<WriteResult> results;
    results.reserve(writers.size());
    QList<QByteArray> renamedInto;
    for (const auto &writer : writers) {
        results.push_back(writer->renameIntoPlace());
        if (!results.back().ok)
            continue;
        const QByteArray &target = writer->m_target;
        if (std::none_of(renamedInto.cbegin(), renamedInto.cend(),
                         [&](const QByteArray &other) { return folderOf(other) == folderOf(target); }))
            renamedInto << target;
    }
    for (const QByteArray &target : std::as_const(renamedInto))
        syncFolderOf(target);
    return results;
}

int removeInterruptedWrites(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(::opendir(path.constData()), &::closedir);
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent *entry = ::readdir(dir.get())) {
        const QByteArrayView name(entry->d_name);
        if (!isTemporaryFileName(name))
            continue;
        const QByteArray file = path + '/' + name.toByteArray();
        // Only a plain file is opened: opening a device can do things.
        struct stat named
        {
        };
        if (::lstat(file.constData(), &named) != 0 || !S_ISREG(named.st_mode))
            continue;
        // Opened for writing, as a network file system locks only such files.
        Descriptor held(openFile(file, O_RDWR | O_NONBLOCK | O_NOFOLLOW));
        struct stat opened
        {
        };
        if (held.get() < 0 || ::fstat(held.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
            continue;
        // A write under way holds its file until it has its new name.
        if (tryLockForWriting(held.get()) != 0)
            continue;
        if (::lstat(file.constData(), &named) != 0 || named.st_dev != opened.st_dev || named.st_ino != opened.st_ino)
            continue;
        if (::unlink(file.constData()) == 0)
            ++removed;
    }
    return removed;
}

int tryLockForWriting(int fd)
{
    return lockWithoutWaiting(fd);
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
        const int errorNumber = tryLockForWriting(fd);
        if (errorNumber == 0)
            return 0;
        if (errorNumber == EINTR)
            continue;
        if (errorNumber != EWOULDBLOCK)
            return errorNumber;
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
