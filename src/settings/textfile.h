#pragma once

#include <QByteArray>
#include <QString>
#include <chrono>
#include <memory>
#include <optional>
#include <vector>

#include <sys/types.h>

namespace plovista {

// Text files move between machines in Windows-1252 with CR LF line ends;
// files of our own that other programs read (the answer log, exports) are UTF-8.
QString decodeWindows1252(QByteArrayView bytes);
// Characters that Windows-1252 cannot hold become '?'.
QByteArray encodeWindows1252(const QString &text);
bool fitsWindows1252(QChar c);

// How the text of a file is read: a UTF-8 byte-order mark or valid
// multi-byte UTF-8 is taken as UTF-8, anything else as Windows-1252.
enum class TextEncoding {
    Windows1252,
    Utf8,
};
TextEncoding textEncodingOf(QByteArrayView bytes);
// Bytes of text in the given encoding, a byte-order mark already left out.
QString decodeText(QByteArrayView bytes, TextEncoding encoding);
// The three bytes of UTF-8's byte-order mark, when the bytes start with it.
qsizetype byteOrderMarkLength(QByteArrayView bytes);
// Whether any byte is above 127, which only an encoding can make sense of.
bool anyHighByte(QByteArrayView bytes);

struct ReadResult
{
    std::optional<QString> text; // the whole file; empty when it could not be read
    bool missing = false; // there is no file of that name
    QString error; // why it could not be read, in words a teacher can act on
};

// Reads a text file written by this program or by hand, decoded as
// textEncodingOf tells. Only a regular file is read: a named pipe, a device or a
// folder in its place is refused at once instead of being waited on or read
// without end. With a limit, a file larger than maxBytes is refused as damaged.
// With Utf8 the bytes are taken as UTF-8 whatever they hold (a damaged
// sequence becomes a replacement character where it stands) and a leading
// byte-order mark is dropped.
ReadResult readTextFileReporting(const QString &path, qint64 maxBytes = -1,
                                 std::optional<TextEncoding> encoding = std::nullopt);
// The same, when why does not matter: empty when the file cannot be read.
std::optional<QString> readTextFile(const QString &path, qint64 maxBytes = -1);

// The same reading rules for a file copied as it is, byte for byte.
struct BytesResult
{
    std::optional<QByteArray> bytes; // the whole file; empty when it could not be read
    bool missing = false;
    QString error;
};
BytesResult readFileReporting(const QString &path, qint64 maxBytes = -1);

struct OpenResult;

// A file held open for reading, read where it is asked to. Copies share the
// descriptor, which closes with the last of them. What is read is the file
// that was opened, even after another is renamed into its place.
class ReadOnlyFile
{
public:
    // Up to `size` bytes from `offset` into `into`: fewer where the file ends
    // (it may have been shortened since), none past its end; -1 when the
    // system cannot read it.
    qint64 readAt(qint64 offset, char *into, qint64 size) const;

private:
    friend OpenResult openFileReporting(const QString &path);
    explicit ReadOnlyFile(int fd);
    std::shared_ptr<const int> m_fd;
};

struct OpenResult
{
    std::optional<ReadOnlyFile> file; // empty when it could not be opened
    qint64 size = 0; // bytes in it when it was opened
    bool missing = false;
    QString error;
};
// Opens a file by readFileReporting's rules: only a regular file, never
// waiting on a named pipe, with the same reasons when it cannot be opened.
OpenResult openFileReporting(const QString &path);

// How long an append waits for another appender to let go of the file: long
// enough for any append that is going on, short enough that a window waiting
// on it is not taken for hung.
inline constexpr std::chrono::milliseconds AppendLockWait {3000};
// The reason given when that wait ran out.
inline constexpr char FileInUse[] = "the file is in use by another program";

struct WriteResult
{
    bool ok = true;
    QString error; // why it failed, in words a teacher can act on, with the file
    QString reason; // the same without the file, for telling many files at once
};

// Replaces the file atomically (a whole new file, then a rename), so a crash
// or a full disk never leaves it half-written or empty: on failure the old
// file stays as it was. The new file is written beside the target under a
// hidden name of its own (".<name>.<16 hex digits>.tmp"), which no saved
// record name can have and no list of files shows; a crash may leave it
// behind for removeInterruptedWrites.
WriteResult writeTextFileAtomically(const QString &path, const QString &text,
                                    TextEncoding encoding = TextEncoding::Windows1252);
// The same for bytes written as they are.
WriteResult writeFileAtomically(const QString &path, const QByteArray &bytes);
// The same for many files at once, each replaced atomically, but made safe on
// the disk together: every new file is written first, then synced in one
// pass, then renamed into place, then each folder synced once. A crash leaves
// each file old or new and whole. A result for each file, in order.
struct NewFileBytes
{
    QString path;
    QByteArray bytes;
};
std::vector<WriteResult> writeFilesAtomically(const std::vector<NewFileBytes> &files);

// Removes from the folder what interrupted writes left there: plain files
// with the hidden name writeFileAtomically gives a new file, and only those
// no write is still filling. Returns how many went.
int removeInterruptedWrites(const QString &folder);
// The same, for a file made piece by piece (one too large to hold whole):
// the pieces go into a new file beside the old one, and only commit() puts
// it in the old one's place. Dropped without a commit (a failure, a cancel,
// an exception), the new file is removed and the old one stays as it was.
class AtomicFileWriter
{
public:
    explicit AtomicFileWriter(const QString &path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter &) = delete;
    AtomicFileWriter &operator=(const AtomicFileWriter &) = delete;

    // False once anything failed; later writes are then ignored, and commit
    // tells why.
    bool write(QByteArrayView bytes);
    WriteResult commit();

private:
    friend std::vector<WriteResult> writeFilesAtomically(const std::vector<NewFileBytes> &files);
    void discard();
    // The steps of commit, which writeFilesAtomically takes for many files at
    // once: the new file made ready, its data made safe on the disk, and the
    // file renamed into place.
    void finishWriting();
    void syncData();
    WriteResult renameIntoPlace();

    QString m_path;
    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    int m_error = 0;
    std::optional<mode_t> m_mode; // the old file's, given to the new one
};

// Appends to the file, creating it when missing. Costs the same whatever the
// size of the file. A last line left without its end (by hand or by an older
// program) is ended first, so the text starts a line of its own. Appenders
// take turns under a lock on the file, and a failed append takes back exactly
// its own bytes, so concurrent appends stay whole whatever fails. A
// firstLine is written before the text when the file is empty, under the
// same lock, so a header is written once however many appenders start.
// The lock is waited for lockWait at most: another program holding it (one
// that hangs or was stopped half way through its own append) fails the
// append with FileInUse as the reason, and the file is left as it was.
WriteResult appendTextFile(const QString &path, const QString &text, TextEncoding encoding = TextEncoding::Windows1252,
                           const QString &firstLine = {}, std::chrono::milliseconds lockWait = AppendLockWait);

// Takes, without waiting, the lock that every write of ours holds on a file
// while it changes it (an append, or an atomic write's new file until its
// rename): an open file description's record lock, which holds between
// computers on NFS and SMB shares too (docs/decisions.md), and which another
// descriptor of the same program conflicts with as well. It covers one byte
// far past any data, so that on SMB, where locks are mandatory, other
// computers' reads never fail on it. Released when the descriptor is closed.
// 0, or the error number: EWOULDBLOCK when another open file holds it.
int tryLockForWriting(int fd);

// Why a file operation failed, from the system's error number, in words a
// teacher can act on: "the disk is full", "permission denied" and the like.
QString fileErrorReason(int errorNumber);

} // namespace plovista
