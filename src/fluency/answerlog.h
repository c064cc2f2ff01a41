#pragma once

#include "drill/facts.h"
#include "fluency/workprogress.h"

#include <QDateTime>
#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>

namespace plovista {

// The answer log: every answer a student gives, each with its own time, in
// the folder "Log" of the working folder. It is ours alone (the records file
// keeps its one line per drill). One UTF-8 CSV file per student and computer,
// so computers that share the folder never write into one file.
inline constexpr QLatin1String AnswerLogFolder("Log");

struct AnswerEntry
{
    QString id; // unique among all answers: the drill's id and the sequence
    QString drillId;
    int sequence = 0; // 1, 2, ...: every answer of the drill, repeats too
    QDateTime time; // the computer's local time, with its offset from UTC
    QString student;
    Operation operation = Operation::Addition;
    int left = 0; // the two numbers as the fact showed them
    int right = 0;
    int expected = 0;
    int given = 0; // NoAnswer: skipped, or the time ran out
    bool firstTry = true; // false: the fact asked again after a wrong answer
    bool correct = false;
    std::optional<int> ms; // from the first paint of the fact to the Enter
    std::optional<int> msAfterReading; // from the end of its reading aloud
    QString format; // "H", "V", "1", "2"
    QString range; // "0->9", "0->12", or empty
    QString version;
    QString computer;
    // Empty for the drills; "practice", "placement" or "typing" for Daily
    // Practice (practice/practicesession.h). Lines of before have none.
    QString activity;

    static constexpr int NoAnswer = -1;
};

// "Addition", ..., "Facts of Ten": how the log and the teacher's windows name
// an operation.
QString operationName(Operation operation);
std::optional<Operation> operationFromName(QStringView name);

// The first line of every log file, and one answer as a line; both end with
// CR LF. A line end inside a text (which no name can hold) becomes a blank,
// so every answer stays one line.
QString answerLogHeader();
QString answerLogLine(const AnswerEntry &entry);

// A text as part of a file name: letters, digits, blank, '-' and '_' stay,
// every other character becomes %XX per UTF-8 byte, so no name can leave the
// folder, hide its file, or carry a control character, and different names
// give different files. A part too long for a file name is cut and ends in
// '~' and a digest of the whole text.
QString fileNamePart(const QString &text);
// The text back from a part that was not cut; empty for a cut one.
std::optional<QString> textOfFileNamePart(QStringView part);

// "<student>@<computer>.csv", both parts encoded as above.
QString answerLogFileName(const QString &student, const QString &computer);

// The students of the log folder, sorted as a teacher reads a list, each as
// the lines of the log name it: taken from the file names, or from the lines
// of a file whose name had to be cut or is not one of ours. The progress, when
// given, is told of the lines read and can stop the reading (the list is then
// partial).
QStringList loggedStudents(const QString &logFolder, WorkProgress *progress = nullptr);

struct LogScan
{
    int entries = 0;
    int damagedLines = 0; // cut short, malformed, or with a value out of place
    QList<QPair<QString, int>> damagedFiles; // the file name of each with damaged lines, and how many
    int duplicates = 0; // an id already seen (a file copied into the folder twice)
    QStringList unreadable; // files that could not be read, each with why
    bool cancelled = false; // the progress said to stop: the scan is partial
    bool tooManyIds = false; // stopped at the id limit: the scan is partial
};

struct ScanOptions
{
    // Told of every piece read, and asked whether to go on.
    WorkProgress *progress = nullptr;
    // The answers fall by their ids into `shares` shares, and only those of
    // `share` are delivered, so the ids kept to catch an answer read twice are
    // those of one share alone.
    int shares = 1;
    int share = 0;
    // A scan that would keep more ids than this stops; -1: no limit.
    qsizetype idLimit = -1;
};

// Calls each for every whole answer of the student in the log folder, first
// sighting of an id only, file by file in the order the lines were written.
// Damaged lines (the last line of a file cut short by a crash among them) are
// skipped and counted. The files are read a piece at a time, so only the ids
// grow with the log.
LogScan scanStudentLog(const QString &logFolder, const QString &student,
                       const std::function<void(const AnswerEntry &)> &each, const ScanOptions &options = {});

// The log files that may hold answers of the student, in the order a scan
// reads them: those named after the student, and any not named by us.
QStringList studentLogFiles(const QString &logFolder, const QString &student);

// One log file read from `from` on (0, or where an earlier read's whole lines
// ended): every answer as it stands in the file, repeats and copies too, for
// whoever reads it to sort out.
struct LogFileRead
{
    qint64 end = 0; // where the last whole line ends: the next read starts here
    int damagedLines = 0; // the cut tail among them
    bool cutTail = false; // the file ends in a line cut short (being written, or a crash)
    QString unreadable; // why the file could not be read; empty when it could
    bool cancelled = false;
};
LogFileRead readLogFile(const QString &path, qint64 from, WorkProgress *progress,
                        const std::function<void(const AnswerEntry &)> &each);

// The bytes a scan of the student reads, for telling progress.
qint64 studentLogSize(const QString &logFolder, const QString &student);

} // namespace plovista
