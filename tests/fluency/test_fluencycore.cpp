#include "fluency/answerlog.h"
#include "fluency/answerlogwriter.h"
#include "fluency/classexport.h"
#include "fluency/csv.h"
#include "fluency/factstatus.h"
#include "fluency/fluencygrid.h"
#include "fluency/logsummary.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <functional>

#ifdef Q_OS_UNIX
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

using namespace plovista;

namespace {

const QDate Day1(2026, 12, 1);
const QDate Today(2026, 12, 10);
const QDateTime Now(Today, QTime(12, 0), Qt::OffsetFromUTC, 3600);

// "R2999" right in 2999 ms, "W" wrong, "R" right with no time; "@3" on day 3.
std::vector<Attempt> history(const QString &text)
{
    std::vector<Attempt> attempts;
    qint64 at = 0;
    for (const QString &item : text.split(u' ', Qt::SkipEmptyParts)) {
        const QString answer = item.section(u'@', 0, 0);
        const int day = item.contains(u'@') ? item.section(u'@', 1).toInt() : 1;
        Attempt a;
        a.at = ++at;
        a.day = Day1.addDays(day - 1);
        a.correct = answer.startsWith(u'R');
        if (answer.size() > 1)
            a.ms = answer.mid(1).toInt();
        attempts.push_back(a);
    }
    return attempts;
}

AnswerEntry entry(const QString &student, const QString &computer, int sequence, int left, int right, bool correct,
                  int ms, const QDateTime &time)
{
    AnswerEntry e;
    e.drillId = QStringLiteral("drill-%1-%2").arg(computer).arg(time.date().day());
    e.sequence = sequence;
    e.id = e.drillId + u'-' + QString::number(sequence);
    e.time = time;
    e.student = student;
    e.operation = Operation::Multiplication;
    e.left = left;
    e.right = right;
    e.expected = left * right;
    e.given = correct ? e.expected : e.expected + 1;
    e.correct = correct;
    e.ms = ms;
    e.format = QStringLiteral("H");
    e.range = QStringLiteral("0->12");
    e.version = QStringLiteral("7.1");
    e.computer = computer;
    return e;
}

QDateTime at(const QDate &day, int minute, int offsetSeconds = 3600)
{
    return QDateTime(day, QTime(9, minute, 0, 250), Qt::OffsetFromUTC, offsetSeconds);
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void appendBytes(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::Append));
    file.write(bytes);
}

std::vector<AnswerEntry> scan(const QString &folder, const QString &student, LogScan *report = nullptr)
{
    std::vector<AnswerEntry> entries;
    const LogScan s = scanStudentLog(folder, student, [&](const AnswerEntry &e) { entries.push_back(e); });
    if (report)
        *report = s;
    return entries;
}

// Writes the answers into the log folder, each to its student's and
// computer's file, as the writer would.
void writeLog(const QString &folder, const std::vector<AnswerEntry> &entries)
{
    QDir().mkpath(folder);
    for (const AnswerEntry &e : entries) {
        const QString path = QDir(folder).filePath(answerLogFileName(e.student, e.computer));
        const QByteArray header = QFile::exists(path) ? QByteArray() : answerLogHeader().toUtf8();
        appendBytes(path, header + answerLogLine(e).toUtf8());
    }
}

// Every operation's grid cell by cell, with the counts and the weeks, as one
// text, so two loads compare in one go and a difference shows where it is.
QStringList gridsOf(const StudentLog &log, const QString &student)
{
    QStringList lines;
    for (const Operation op : {Operation::Addition, Operation::Subtraction, Operation::Multiplication,
                               Operation::Division, Operation::FactsOfTen}) {
        const FluencyGrid grid = fluencyGrid(log.fluency, student, op, 3000, Today);
        lines << QStringLiteral("%1: %2 of %3").arg(operationName(op)).arg(grid.automatic).arg(grid.facts);
        for (int row = 0; row < grid.rows; ++row) {
            for (int index = 0; index < grid.columns; ++index) {
                const FactCell cell {op, row, grid.columnNumber(index)};
                if (!isGridFact(cell))
                    continue;
                const FactRecord &r = log.fluency.record(cell);
                const GridCell &c = grid.at(row, index);
                lines << QStringLiteral("%1 %2 %3 %4/%5/%6")
                             .arg(factText(cell), statusName(c.status))
                             .arg(c.ms.value_or(-1))
                             .arg(r.firstTries)
                             .arg(r.rightFirstTries)
                             .arg(r.askedAgain);
            }
        }
        for (const WeekCount &w : log.fluency.knownByWeek(op, 3000, Today))
            lines << w.weekStart.toString(Qt::ISODate) + u' ' + QString::number(w.known);
    }
    lines << QStringLiteral("entries %1 duplicates %2 damaged %3")
                 .arg(log.scan.entries)
                 .arg(log.scan.duplicates)
                 .arg(log.scan.damagedLines);
    return lines;
}

} // namespace

class TestFluencyCore : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void statusRules_data()
    {
        QTest::addColumn<QString>("attempts");
        QTest::addColumn<int>("threshold");
        QTest::addColumn<int>("status");
        const auto row = [](const char *name, const char *attempts, FactStatus status, int threshold = 3000) {
            QTest::newRow(name) << QString::fromLatin1(attempts) << threshold << static_cast<int>(status);
        };
        row("never asked", "", FactStatus::Unseen);
        row("one wrong", "W", FactStatus::NeedsWork);
        row("2999 ms is fluent", "R2999", FactStatus::Fluent);
        row("3000 ms is slow", "R3000", FactStatus::Slow);
        row("right without a time is slow", "R", FactStatus::Slow);
        row("two fluent on one day", "R1000@1 R1000@1", FactStatus::Fluent);
        row("two fluent on two days", "R1000@1 R2999@2", FactStatus::Automatic);
        row("automatic with a slow latest", "R1000@1 R1000@2 R5000@3", FactStatus::Automatic);
        row("automatic then wrong", "R1000@1 R1000@2 W@3", FactStatus::NeedsWork);
        row("two of three wrong", "W@1 W@2 R1000@3", FactStatus::NeedsWork);
        row("one old miss forgiven", "W@1 R1000@2 R1000@3", FactStatus::Automatic);
        row("speed goal 2.5 is stricter", "R2499@1 R2500@2", FactStatus::Slow, 2500);
        row("speed goal 2.5, both under", "R2499@1 R2400@2", FactStatus::Automatic, 2500);
    }
    void statusRules()
    {
        QFETCH(QString, attempts);
        QFETCH(int, threshold);
        QFETCH(int, status);
        QCOMPARE(static_cast<int>(factStatus(history(attempts), threshold, Today)), status);
    }

    void staleAfterThirtyDays()
    {
        const std::vector<Attempt> known = history(QStringLiteral("R1000@1 R1000@2"));
        const QDate latest = Day1.addDays(1);
        QCOMPARE(factStatus(known, 3000, latest.addDays(29)), FactStatus::Automatic);
        QCOMPARE(factStatus(known, 3000, latest.addDays(30)), FactStatus::Stale);
        // A fact only fluent once is not stale, however old: it was never known.
        QCOMPARE(factStatus(history(QStringLiteral("R1000@1")), 3000, latest.addDays(90)), FactStatus::Fluent);
    }

    void threeLevelsATeacherReads()
    {
        // Only an automatic fact is known; fluent once, slow or slipping is almost.
        QCOMPARE(factLevel(FactStatus::Automatic), FactLevel::KnowsIt);
        QCOMPARE(factLevel(FactStatus::Fluent), FactLevel::Almost);
        QCOMPARE(factLevel(FactStatus::Slow), FactLevel::Almost);
        QCOMPARE(factLevel(FactStatus::Stale), FactLevel::Almost);
        QCOMPARE(factLevel(FactStatus::NeedsWork), FactLevel::TeachIt);
        QCOMPARE(factLevel(FactStatus::Unseen), FactLevel::NotAsked);
        QCOMPARE(levelName(FactLevel::TeachIt), QStringLiteral("teach it"));
    }

    void thresholdFromTheSpeedGoal()
    {
        QCOMPARE(fluencyThresholdMs(QStringLiteral("2.5")), 2500);
        QCOMPARE(fluencyThresholdMs(QStringLiteral("2.0")), 2000);
        QCOMPARE(fluencyThresholdMs(QStringLiteral("3.5")), 3000);
        QCOMPARE(fluencyThresholdMs(QStringLiteral("5.0")), 3000);
        QCOMPARE(fluencyThresholdMs(QString()), 3000);
        QCOMPARE(fluencyThresholdMs(QStringLiteral("damaged")), 3000);
    }

    void cellsOfInverseFacts()
    {
        // 12 - 5 = 7 and 35 / 5 = 7 stand where 7 + 5 and 7 x 5 stand.
        QCOMPARE(factCell(Operation::Addition, 7, 5), (FactCell {Operation::Addition, 5, 7}));
        QCOMPARE(factCell(Operation::Subtraction, 12, 5), (FactCell {Operation::Subtraction, 5, 7}));
        QCOMPARE(factCell(Operation::Division, 35, 5), (FactCell {Operation::Division, 5, 7}));
        QCOMPARE(factCell(Operation::FactsOfTen, 10, 3), (FactCell {Operation::FactsOfTen, 0, 3}));
        QCOMPARE(factCell(Operation::FactsOfTen, 3, 10), (FactCell {Operation::FactsOfTen, 0, 3}));
        QCOMPARE(factCell(Operation::Division, 36, 5), std::nullopt);
        QCOMPARE(factCell(Operation::Division, 7, 0), std::nullopt);
        QCOMPARE(factCell(Operation::Addition, 13, 5), std::nullopt);
        QCOMPARE(factText({Operation::Subtraction, 5, 7}), QStringLiteral("12 - 5"));
    }

    void formulaGuard_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("guarded");
        const auto row = [](const char *name, const QString &text, bool guarded) {
            QTest::newRow(name) << text << guarded;
        };
        row("equals", QStringLiteral("=SUM(A1)"), true);
        row("tab first", QStringLiteral("\tTab"), true);
        row("a blank first", QStringLiteral(" =1+1"), true);
        row("a no-break space first", QStringLiteral("\u00A0=1+1"), true);
        row("full-width equals", QStringLiteral("\uFF1D1+1"), true);
        row("full-width at", QStringLiteral(" \uFF20A1"), true);
        row("bar first", QStringLiteral("|=1+1"), true);
        row("semicolon first", QStringLiteral(";-1"), true);
        row("blanks and bars", QStringLiteral(" ;| +A1"), true);
        row("a name", QStringLiteral("Ann Lee"), false);
        row("an equals later", QStringLiteral("Ann=1"), false);
        row("a bar before a letter", QStringLiteral("|Ann"), false);
        row("a fact", QStringLiteral("12 - 5"), false);
        row("empty", QString(), false);
    }
    void formulaGuard()
    {
        QFETCH(QString, text);
        QFETCH(bool, guarded);
        QCOMPARE(spreadsheetText(text), guarded ? u'\'' + text : text);
    }

    void csvQuotingAndReading()
    {
        QCOMPARE(csvField(u"plain"), QStringLiteral("plain"));
        QCOMPARE(csvField(u"O'Brien, \"Ann\""), QStringLiteral("\"O'Brien, \"\"Ann\"\"\""));
        QCOMPARE(csvField(u"two\r\nlines"), QStringLiteral("\"two\r\nlines\""));
        QCOMPARE(csvRecord({QStringLiteral("a"), QString(), QStringLiteral("b,c")}), QStringLiteral("a,,\"b,c\"\r\n"));
        // Where a spreadsheet reads ";" or a tab as the separator.
        QCOMPARE(csvField(u"Bo;=1+1"), QStringLiteral("\"Bo;=1+1\""));
        QCOMPARE(csvField(u"Bo\t=1+1"), QStringLiteral("\"Bo\t=1+1\""));

        QCOMPARE(parseCsvLine(u"a,\"b,\"\"c\"\"\",,d"), QStringList({"a", "b,\"c\"", "", "d"}));
        QCOMPARE(parseCsvLine(u"a,\"open"), std::nullopt);
        QCOMPARE(parseCsvLine(u"a,\"closed\"x"), std::nullopt);
        QCOMPARE(parseCsvLine(u"a,b\"c"), std::nullopt);

        // Written by hand as a spreadsheet writes it: a line end inside quotes,
        // an empty last field, no line end after the last record.
        const CsvTable table = readCsv(u"h1,h2,h3\r\n\"x\r\ny\",\"\"\"q\"\"\",\r\nlast,1,2");
        QVERIFY(!table.damaged);
        QCOMPARE(table.records.size(), std::size_t(3));
        QCOMPARE(table.records[1], QStringList({"x\r\ny", "\"q\"", ""}));
        QCOMPARE(table.records[2], QStringList({"last", "1", "2"}));
        QVERIFY(readCsv(u"a,b\r\n\"never closed,c\r\n").damaged);
    }

    // What one computer writes comes back whole, quoting and times included;
    // a line cut short, a malformed line and a copied file's duplicates do not.
    void theLogReadsBackWhatWasWritten()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString odd = QStringLiteral("O'Brien, \"Ann\"");
        AnswerEntry first = entry(odd, QStringLiteral("PC1"), 1, 7, 5, true, 1234, at(Day1, 0, -5 * 3600));
        first.msAfterReading = 310;
        AnswerEntry repeat = entry(odd, QStringLiteral("PC1"), 2, 6, 5, true, 2100, at(Day1, 1, -5 * 3600));
        repeat.firstTry = false;
        {
            AnswerLogWriter writer(folder);
            writer.append(first);
            writer.append(repeat);
        }
        const QString path = QDir(folder).filePath(answerLogFileName(odd, QStringLiteral("PC1")));
        QVERIFY(bytesOf(path).startsWith(answerLogHeader().toUtf8()));
        // A crash mid-line, a line of another program, and the same file
        // copied in under another computer's name.
        appendBytes(path, "not,a,line,of,ours\r\n");
        QFile::copy(path, QDir(folder).filePath(answerLogFileName(odd, QStringLiteral("PC1 copy"))));
        appendBytes(
            path, answerLogLine(entry(odd, QStringLiteral("PC1"), 3, 2, 5, true, 900, at(Day1, 2))).toUtf8().left(40));

        LogScan report;
        std::vector<AnswerEntry> read = scan(folder, odd, &report);
        QCOMPARE(read.size(), std::size_t(2));
        QCOMPARE(report.duplicates, 2);
        QCOMPARE(report.damagedLines, 3); // the foreign line twice, the cut line once
        QCOMPARE(answerLogLine(read[0]), answerLogLine(first));
        QCOMPARE(read[0].time, first.time);
        QCOMPARE(read[0].time.offsetFromUtc(), -5 * 3600);
        QCOMPARE(read[0].msAfterReading, std::optional<int>(310));
        QVERIFY(!read[1].firstTry);

        // The next append ends the cut line first, so it stays the only loss.
        {
            AnswerLogWriter writer(folder);
            writer.append(entry(odd, QStringLiteral("PC1"), 4, 3, 5, false, 4000, at(Day1, 3)));
        }
        read = scan(folder, odd, &report);
        QCOMPARE(read.size(), std::size_t(3));
        QCOMPARE(read[2].sequence, 4);
        QCOMPARE(report.damagedLines, 3);
    }

    void namesBecomeSafeFileNames()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QStringList names = {QStringLiteral("../../escape"),
                                   QStringLiteral(".hidden"),
                                   QStringLiteral("a/b\\c"),
                                   QStringLiteral("tab\there"),
                                   QStringLiteral("Zo\u00EB \u00DCnal"),
                                   QStringLiteral(" Edge "),
                                   QStringLiteral("Edge"),
                                   QStringLiteral("x@y%z~"),
                                   QString(300, u'W'),
                                   QString(299, u'W') + u'V',
                                   QStringLiteral("line\nend"),
                                   QStringLiteral("Cut\r\nshort ") + QString(200, u'Y'),
                                   QStringLiteral("Zed")};
        {
            AnswerLogWriter writer(folder);
            for (const QString &name : names)
                writer.append(entry(name, QStringLiteral("PC/1"), 1, 2, 3, true, 800, at(Day1, 0)));
        }
        // A file renamed by hand is not named as the log names files.
        QVERIFY(QDir(folder).rename(answerLogFileName(QStringLiteral("Zed"), QStringLiteral("PC/1")),
                                    QStringLiteral("Zed (old PC).csv")));
        const QStringList files = QDir(folder).entryList(QDir::Files | QDir::Hidden);
        QCOMPARE(files.size(), names.size());
        for (const QString &file : files) {
            QVERIFY2(!file.startsWith(u'.'), qPrintable(file));
            QVERIFY2(file.toUtf8().size() <= 255, qPrintable(file));
            for (const QChar c : file)
                QVERIFY2(c.unicode() >= 0x20 && c != u'\\', qPrintable(file));
        }
        QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), QStringList {"Log"});

        // A line end in a name is a blank in the line, and the line names the student.
        QStringList expected;
        for (QString name : names)
            expected << name.replace(u'\r', u' ').replace(u'\n', u' ');
        std::sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
            const int folded = a.compare(b, Qt::CaseInsensitive);
            return folded != 0 ? folded < 0 : a < b;
        });
        QCOMPARE(loggedStudents(folder), expected);
        for (const QString &name : expected)
            QVERIFY2(scan(folder, name).size() == 1, qPrintable(name));
    }

    void aFailedWriteWaitsAndIsWrittenLater()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        QVERIFY(QFile(folder).open(QIODevice::WriteOnly)); // a file where the folder belongs
        AnswerLogWriter writer(folder);
        writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 1, 2, 3, true, 800, at(Day1, 0)));
        writer.flush();
        QCOMPARE(writer.backlog().waiting(), 1);
        QVERIFY(!writer.backlog().files.at(0).reason.isEmpty());

        QVERIFY(QFile::remove(folder));
        writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 2, 4, 3, true, 800, at(Day1, 1)));
        writer.flush();
        QCOMPARE(writer.backlog().waiting(), 0);
        const std::vector<AnswerEntry> read = scan(folder, QStringLiteral("Ann Lee"));
        QCOMPARE(read.size(), std::size_t(2));
        QCOMPARE(read[0].sequence, 1);
    }

    // A file that cannot be written keeps its own answers waiting, in order,
    // and no one else's; what it still holds when the writer goes is said.
    void aFailingFileHoldsUpOnlyItsOwnAnswers()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QDir(folder).filePath(answerLogFileName(QStringLiteral("Ann Lee"), QStringLiteral("PC1")));
        QVERIFY(QDir().mkpath(ann)); // a folder where Ann's file belongs
        const AnswerEntry ann1 =
            entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 1, 2, 3, true, 800, at(Day1, 0));
        const AnswerEntry ben =
            entry(QStringLiteral("Ben Cho"), QStringLiteral("PC1"), 1, 4, 3, true, 800, at(Day1, 1));
        {
            AnswerLogWriter writer(folder);
            writer.append(ann1);
            writer.append(ben);
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 2, 5, 3, true, 800, at(Day1, 2)));
            QVERIFY(writer.flush());
            QCOMPARE(scan(folder, QStringLiteral("Ben Cho")).size(), std::size_t(1));
            const AnswerLogWriter::Backlog backlog = writer.backlog();
            QCOMPARE(backlog.files.size(), std::size_t(1));
            QCOMPARE(backlog.files[0].answers, 2);
            QVERIFY(backlog.holdsUp(ann1.drillId));
            QVERIFY(!backlog.holdsUp(QStringLiteral("another drill")));
            const QString line = describeBacklog(backlog).value(0);
            QVERIFY2(line.startsWith(QStringLiteral("2 answers of Ann Lee have not been written to \"%1\": ")
                                         .arg(QDir::toNativeSeparators(ann))),
                     qPrintable(line));

            // Tried again on the next flush, in the order they came.
            QVERIFY(QDir(ann).removeRecursively());
            QVERIFY(writer.flush());
            QCOMPARE(writer.backlog().waiting(), 0);
            const std::vector<AnswerEntry> read = scan(folder, QStringLiteral("Ann Lee"));
            QCOMPARE(read.size(), std::size_t(2));
            QCOMPARE(read[0].sequence, 1);

            QVERIFY(
                QDir().mkpath(QDir(folder).filePath(answerLogFileName(QStringLiteral("Cy"), QStringLiteral("PC1")))));
            writer.append(entry(QStringLiteral("Cy"), QStringLiteral("PC1"), 1, 6, 3, true, 800, at(Day1, 3)));
            QTest::ignoreMessage(QtWarningMsg,
                                 QRegularExpression(QStringLiteral("1 answer of Cy has not been written to .*: .+")));
        }
    }

    // A file held locked (as a share that hangs holds a write) neither holds
    // up the caller nor keeps the writer from going; the answer is written
    // once the file is free.
    void aHeldFileHoldsUpOnlyTheWritersThread()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        QDir().mkpath(folder);
        const QString path = QDir(folder).filePath(answerLogFileName(QStringLiteral("Ann Lee"), QStringLiteral("PC1")));
        QFile held(path);
        QVERIFY(held.open(QIODevice::WriteOnly));
        QCOMPARE(::flock(held.handle(), LOCK_EX), 0);
        {
            AnswerLogWriter writer(folder, std::chrono::milliseconds(5000), std::chrono::milliseconds(50));
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 1, 2, 3, true, 800, at(Day1, 0)));
            QVERIFY(!writer.flush(std::chrono::milliseconds(50)));
            QCOMPARE(writer.backlog().waiting(), 1);
        }
        ::flock(held.handle(), LOCK_UN);
        QTRY_COMPARE(scan(folder, QStringLiteral("Ann Lee")).size(), std::size_t(1));
#else
        QSKIP("needs flock");
#endif
    }

    void twoComputersAppendIntoOneFolder()
    {
#ifdef Q_OS_UNIX
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        constexpr int Answers = 500;
        const auto computer = [&](const QString &name) {
            const pid_t pid = ::fork();
            if (pid == 0) {
                {
                    AnswerLogWriter writer(folder);
                    for (int i = 1; i <= Answers; ++i)
                        writer.append(entry(QStringLiteral("Ann Lee"), name, i, i % 13, 7, true, 900, at(Day1, 0)));
                }
                ::_exit(0);
            }
            return pid;
        };
        const pid_t first = computer(QStringLiteral("PC1"));
        const pid_t second = computer(QStringLiteral("PC2"));
        for (const pid_t pid : {first, second}) {
            int status = -1;
            QCOMPARE(::waitpid(pid, &status, 0), pid);
            QVERIFY(WIFEXITED(status) && WEXITSTATUS(status) == 0);
        }
        LogScan report;
        QCOMPARE(scan(folder, QStringLiteral("Ann Lee"), &report).size(), std::size_t(2 * Answers));
        QCOMPARE(report.damagedLines, 0);
        QCOMPARE(QDir(folder).entryList(QDir::Files).size(), 2);
        for (const QString &file : QDir(folder).entryList(QDir::Files))
            QCOMPARE(bytesOf(QDir(folder).filePath(file)).count(answerLogHeader().toUtf8()), 1);
#else
        QSKIP("needs a second process");
#endif
    }

    // Answers from two computers arrive file by file, not in time order; the
    // grid still goes by the three latest.
    void theGridGoesByTheLatestAnswers()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        {
            AnswerLogWriter writer(folder);
            // PC2 answered 7 x 5 early and wrongly; PC1 later and fluently, on two days.
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 1, 7, 5, true, 1400, at(Day1, 30)));
            writer.append(
                entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 2, 7, 5, true, 1600, at(Day1.addDays(1), 30)));
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC2"), 1, 7, 5, false, 900, at(Day1, 1)));
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC2"), 2, 7, 5, false, 900, at(Day1, 2)));
            writer.append(entry(QStringLiteral("Ann Lee"), QStringLiteral("PC2"), 3, 4, 5, true, 3000, at(Day1, 3)));
        }
        const StudentLog log = loadStudentLog(folder, QStringLiteral("Ann Lee"), nullptr, Now);
        const FluencyGrid grid =
            fluencyGrid(log.fluency, QStringLiteral("Ann Lee"), Operation::Multiplication, 3000, Today);
        QCOMPARE(grid.facts, 143);
        QCOMPARE(grid.at(5, 7).status, FactStatus::Automatic); // W, R, R: the early misses drop out
        QCOMPARE(grid.at(5, 7).ms, std::optional<int>(1600)); // the latest fluent answer
        QCOMPARE(grid.at(5, 4).status, FactStatus::Slow);
        QCOMPARE(grid.at(5, 4).ms, std::optional<int>(3000));
        QCOMPARE(grid.automaticInRow[5], 1);
        QCOMPARE(grid.automatic, 1);
        // PC2's second miss was in the drill of its first: a repeat.
        QCOMPARE(log.fluency.record({Operation::Multiplication, 5, 7}).firstTries, 3);
    }

    // PC2's clock is a year ahead: its one miss of 7 x 5, given before PC1's
    // answers of the next days, does not stay the latest answer for a year.
    void aClockAheadDoesNotOverrideLaterAnswers()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QStringLiteral("Ann Lee");
        writeLog(folder,
                 {entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1200, at(Day1, 0)),
                  entry(ann, QStringLiteral("PC2"), 1, 7, 5, false, 1200, at(Day1.addDays(366), 5)),
                  entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1300, at(Day1.addDays(2), 0)),
                  entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1400, at(Day1.addDays(3), 0))});
        const StudentLog log = loadStudentLog(folder, ann, nullptr, Now);
        const FluencyGrid grid = fluencyGrid(log.fluency, ann, Operation::Multiplication, 3000, Today);
        QCOMPARE(grid.at(5, 7).status, FactStatus::Automatic);
        QCOMPARE(log.fluency.lastPractised(Operation::Multiplication), std::optional<QDate>(Today));
        // A year on, the clock is right, and its answer the latest.
        const StudentLog later = loadStudentLog(folder, ann, nullptr, Now.addDays(400));
        QCOMPARE(factStatus(later.fluency.record({Operation::Multiplication, 5, 7}).last, 3000, Today.addDays(400)),
                 FactStatus::NeedsWork);
    }

    // 7 x 5 missed, corrected, and drawn again later in the same drill: the
    // second asking is a repeat, so the miss stays the latest first try.
    void aFactAskedAgainInItsDrillIsARepeat()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QStringLiteral("Ann Lee");
        std::vector<AnswerEntry> entries {
            entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1000, at(Day1, 0)),
            entry(ann, QStringLiteral("PC1"), 1, 7, 5, false, 1000, at(Day1.addDays(1), 0)),
            entry(ann, QStringLiteral("PC1"), 2, 7, 5, true, 1000, at(Day1.addDays(1), 0)),
            entry(ann, QStringLiteral("PC1"), 3, 4, 5, true, 1000, at(Day1.addDays(1), 0)),
            entry(ann, QStringLiteral("PC1"), 4, 7, 5, true, 900, at(Day1.addDays(1), 1))};
        entries[2].firstTry = false;
        writeLog(folder, entries);
        const StudentLog log = loadStudentLog(folder, ann, nullptr, Now);
        const FactRecord &record = log.fluency.record({Operation::Multiplication, 5, 7});
        QCOMPARE(record.firstTries, 2);
        QCOMPARE(record.askedAgain, 2);
        const FluencyGrid grid = fluencyGrid(log.fluency, ann, Operation::Multiplication, 3000, Today);
        QCOMPARE(grid.at(5, 7).status, FactStatus::NeedsWork);
        QCOMPARE(grid.at(5, 7).ms, std::nullopt);
    }

    // The grid counts the facts a drill of the student's range can ask.
    void theFactsDrilledPerRange()
    {
        QCOMPARE(drilledFacts(Operation::Multiplication, FactRange::ZeroToNine), 80);
        QCOMPARE(drilledFacts(Operation::Division, FactRange::ZeroToTwelve), 143);
        QCOMPARE(drilledFacts(Operation::FactsOfTen, FactRange::ZeroToNine), 10);
        QVERIFY(!isDrilledFact({Operation::Addition, 1, 5}, FactRange::ZeroToTwelve));
        QVERIFY(!isDrilledFact({Operation::Addition, 5, 10}, FactRange::ZeroToNine));

        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QStringLiteral("Ann Lee");
        AnswerEntry nine = entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1000, at(Day1, 0));
        nine.range = QStringLiteral("0->9");
        writeLog(folder, {nine});
        const auto facts = [&] {
            const StudentLog log = loadStudentLog(folder, ann, nullptr, Now);
            return fluencyGrid(log.fluency, ann, Operation::Multiplication, 3000, Today).facts;
        };
        QCOMPARE(facts(), 80);
        writeLog(folder, {entry(ann, QStringLiteral("PC2"), 1, 11, 12, true, 1000, at(Day1, 0))});
        QCOMPARE(facts(), 143);
    }

    // Known (automatic) facts at the end of each week, from the first week.
    void knownFactsByWeek()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QStringLiteral("Ann Lee");
        const QDate monday(2026, 11, 2);
        writeLog(folder,
                 {entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1000, at(monday, 0)),
                  entry(ann, QStringLiteral("PC1"), 1, 7, 5, true, 1000, at(monday.addDays(8), 0)),
                  entry(ann, QStringLiteral("PC1"), 2, 4, 5, true, 1000, at(monday.addDays(8), 1)),
                  entry(ann, QStringLiteral("PC1"), 1, 4, 5, true, 1000, at(monday.addDays(9), 0)),
                  entry(ann, QStringLiteral("PC1"), 1, 7, 5, false, 1000, at(monday.addDays(22), 0))});
        const StudentLog log = loadStudentLog(folder, ann, nullptr, Now);
        const std::vector<WeekCount> weeks = log.fluency.knownByWeek(Operation::Multiplication, 3000, Today);
        QCOMPARE(weeks.size(), std::size_t(6));
        QCOMPARE(weeks.front().weekStart, monday);
        QCOMPARE(weeks.back().weekStart, QDate(2026, 12, 7));
        QList<int> known;
        for (const WeekCount &w : weeks)
            known << w.known;
        QCOMPARE(known, QList<int>({0, 2, 2, 1, 1, 1}));
        QCOMPARE(log.fluency.knownByWeek(Operation::Addition, 3000, Today).size(), std::size_t(0));
        QCOMPARE(log.fluency.lastPractised(Operation::Multiplication), std::optional<QDate>(monday.addDays(22)));
    }

    // A history over two computers, read once, grown, damaged: a load that
    // goes on from the summaries reads only what was added, and gives what a
    // fresh read of the whole log gives; so after the summaries are deleted,
    // damaged, or their log replaced.
    void theSummariesGiveWhatTheLogGives()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QString ann = QStringLiteral("Ann Lee");
        const auto day = [&](int drill, const QString &pc, int n) {
            std::vector<AnswerEntry> drillAnswers;
            for (int i = 1; i <= n; ++i) {
                const int v = (drill * 7 + i * 3) % 13;
                const QDate when = pc == QLatin1String("PC2") ? Day1.addDays(drill + 370) : Day1.addDays(drill - 40);
                AnswerEntry e = entry(ann, pc, i, v, 2 + (drill + i) % 11, (drill + i) % 4 != 0,
                                      700 + (i * 389 + drill * 97) % 3600, at(when, i));
                e.drillId = QStringLiteral("%1-%2").arg(pc).arg(drill);
                e.id = e.drillId + u'-' + QString::number(i);
                e.firstTry = i % 9 != 0;
                drillAnswers.push_back(e);
            }
            return drillAnswers;
        };
        const auto drills = [&](int first, int last) {
            std::vector<AnswerEntry> all;
            for (int d = first; d <= last; ++d)
                for (const QString &pc : {QStringLiteral("PC1"), QStringLiteral("PC2")})
                    for (const AnswerEntry &e : day(d, pc, 30))
                        all.push_back(e);
            return all;
        };
        const auto load = [&](qint64 *read = nullptr) {
            WorkProgress progress;
            StudentLog log = loadStudentLog(folder, ann, &progress, Now);
            if (read)
                *read = progress.done();
            return log;
        };
        const auto fresh = [&] {
            QDir(QDir(folder).filePath(SummaryFolder)).removeRecursively();
            return gridsOf(load(), ann);
        };
        const QString pc1 = QDir(folder).filePath(answerLogFileName(ann, QStringLiteral("PC1")));
        const QString pc2 = QDir(folder).filePath(answerLogFileName(ann, QStringLiteral("PC2")));

        writeLog(folder, drills(1, 30));
        load(); // makes the summaries
        writeLog(folder, drills(31, 40));
        appendBytes(pc2, "damaged,line\r\n");
        writeLog(folder, drills(41, 42));
        appendBytes(pc1, "cut short, being writ");
        const qint64 size = QFileInfo(pc1).size() + QFileInfo(pc2).size();
        qint64 read = 0;
        const QStringList grown = gridsOf(load(&read), ann);
        QVERIFY2(read < size / 3, qPrintable(QStringLiteral("%1 of %2 bytes read").arg(read).arg(size)));
        QVERIFY(grown.last().endsWith(QLatin1String("damaged 2")));
        QCOMPARE(gridsOf(load(), ann), grown); // from the summaries that load wrote
        QCOMPARE(grown, fresh());

        // A damaged summary is read past and made again.
        const QString summary = QDir(QDir(folder).filePath(SummaryFolder)).entryInfoList(QDir::Files)[0].filePath();
        QByteArray bytes = bytesOf(summary);
        bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x55);
        QFile damaged(summary);
        QVERIFY(damaged.open(QIODevice::WriteOnly) && damaged.write(bytes) == bytes.size());
        damaged.close();
        QCOMPARE(gridsOf(load(), ann), grown);
        load(&read);
        QVERIFY(read < size / 3);

        // A log replaced by a shorter one (a restored backup) is read afresh.
        QFile::remove(pc1);
        writeLog(folder, drills(1, 3));
        const QStringList replaced = gridsOf(load(), ann);
        QVERIFY(replaced != grown);
        QCOMPARE(replaced, fresh());
    }

    // A log far longer than one piece of reading: lines across the pieces,
    // a name in UTF-8, a line of junk longer than any answer, a copy of the
    // file, which is left out drill by drill.
    void aLongLogReadsInPieces()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        QDir().mkpath(folder);
        const QString zoe = QStringLiteral("Zo\u00EB Lee");
        constexpr int Answers = 4000;
        QByteArray lines = answerLogHeader().toUtf8();
        for (int i = 1; i <= Answers; ++i) {
            AnswerEntry e = entry(zoe, QStringLiteral("PC1"), i, i % 13, i % 11 + 1, i % 7 != 0, 500 + i % 3000,
                                  at(Day1.addDays(i % 9), i % 60));
            e.firstTry = i % 5 != 0;
            lines += answerLogLine(e).toUtf8();
            if (i == Answers / 2)
                lines += QByteArray(300 * 1024, 'x') + "\r\n";
        }
        const QString path = QDir(folder).filePath(answerLogFileName(zoe, QStringLiteral("PC1")));
        appendBytes(path, lines);
        const QString copy = answerLogFileName(zoe, QStringLiteral("PC1 copy"));
        QVERIFY(QFile::copy(path, QDir(folder).filePath(copy)));

        WorkProgress progress;
        const StudentLog whole = loadStudentLog(folder, zoe, &progress, Now);
        QCOMPARE(whole.scan.entries, Answers);
        QCOMPARE(whole.scan.duplicates, Answers);
        QCOMPARE(whole.scan.damagedLines, 2);
        QCOMPARE(whole.scan.damagedFiles.size(), 2);
        QVERIFY(whole.scan.damagedFiles.contains(qMakePair(copy, 1)));
        QCOMPARE(progress.done(), 2 * qint64(lines.size()));
        QCOMPARE(studentLogSize(folder, zoe), 2 * qint64(lines.size()));
    }

    // Cancelled once the new file is begun, the export leaves the old one as
    // it was and nothing beside it.
    void aCancelledExportLeavesTheOldFile()
    {
        struct CancelAtOnce : WorkProgress
        {
            bool advance(qint64 bytes) override
            {
                WorkProgress::advance(bytes);
                cancel();
                return false;
            }
        };
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        {
            AnswerLogWriter writer(folder);
            for (const QString &s : {QStringLiteral("Ann Lee"), QStringLiteral("Ben Cho")})
                writer.append(entry(s, QStringLiteral("PC1"), 1, 7, 5, true, 1400, at(Day1, 0)));
        }
        const QString path = dir.filePath(QStringLiteral("class.csv"));
        appendBytes(path, "old\r\n");
        CancelAtOnce cancelling;
        const ClassExport cancelled = exportClass(folder, 3000, Today, path, &cancelling);
        QVERIFY(cancelled.cancelled);
        QCOMPARE(bytesOf(path), QByteArray("old\r\n"));
        QStringList entries = QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
        entries.sort();
        QCOMPARE(entries, QStringList({"Log", "class.csv"}));
    }

    void theClassExportReadsBackCellByCell()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(QStringLiteral("Log"));
        const QStringList students = {QStringLiteral("Ann Lee"), QStringLiteral("=SUM(A1)"), QStringLiteral("-Bo"),
                                      QStringLiteral("@x"),      QStringLiteral("+1"),       QStringLiteral("\tTab")};
        {
            AnswerLogWriter writer(folder);
            for (const QString &s : students)
                writer.append(entry(s, QStringLiteral("PC1"), 1, 7, 5, true, 1400, at(Day1, 0)));
            writer.append(
                entry(QStringLiteral("Ann Lee"), QStringLiteral("PC1"), 2, 7, 5, true, 1700, at(Day1.addDays(1), 0)));
        }
        const QString path = dir.filePath(QStringLiteral("class.csv"));
        const ClassExport exported = exportClass(folder, 3000, Today, path);
        QVERIFY(exported.written.ok && !exported.cancelled);
        QCOMPARE(exported.students, students.size());
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));

        const CsvTable table = readCsv(QString::fromUtf8(bytes.mid(3)));
        QVERIFY(!table.damaged);
        constexpr int FactsPerStudent = 169 * 3 + 156 + 10;
        QCOMPARE(int(table.records.size()), 1 + students.size() * FactsPerStudent);
        QCOMPARE(table.records[0],
                 QStringList({"Student", "Operation", "Fact", "Status", "First tries", "Right at first try",
                              "Asked again", "Time ms", "Last asked", "Exported", "Threshold ms"}));
        QStringList firstCells;
        for (const QStringList &record : table.records)
            if (record[1] == QLatin1String("Multiplication") && record[2] == QLatin1String("7 x 5"))
                firstCells << record[0];
        QCOMPARE(firstCells, QStringList({"'\tTab", "'+1", "'-Bo", "'=SUM(A1)", "'@x", "Ann Lee"}));

        const auto row = [&](const QString &student, const QString &fact) {
            for (const QStringList &record : table.records)
                if (record[0] == student && record[1] == QLatin1String("Multiplication") && record[2] == fact)
                    return record;
            return QStringList();
        };
        QCOMPARE(row(QStringLiteral("Ann Lee"), QStringLiteral("7 x 5")),
                 QStringList({"Ann Lee", "Multiplication", "7 x 5", "automatic", "2", "2", "0", "1700", "2026-12-02",
                              "2026-12-10", "3000"}));
        QCOMPARE(row(QStringLiteral("'-Bo"), QStringLiteral("7 x 5")),
                 QStringList({"'-Bo", "Multiplication", "7 x 5", "fluent, one day so far", "1", "1", "0", "1400",
                              "2026-12-01", "2026-12-10", "3000"}));
        QCOMPARE(row(QStringLiteral("Ann Lee"), QStringLiteral("8 x 5")),
                 QStringList({"Ann Lee", "Multiplication", "8 x 5", "not asked yet", "0", "0", "0", "", "",
                              "2026-12-10", "3000"}));
    }
};

QTEST_GUILESS_MAIN(TestFluencyCore)

#include "test_fluencycore.moc"
