#include "app/startup.h"
#include "settings/settingkeys.h"
#include "settings/settings.h"
#include "settings/settingsstore.h"
#include "settings/textfile.h"
#include "settings/textlines.h"
#include "speech/speech.h"
#include "support/firstrunfiles.h"
#include "support/smalldisk.h"
#include "teacher/passwordfile.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>

using namespace plovista;
using namespace plovista::test;

namespace {
QByteArray readBytes(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
void writeBytes(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}
} // namespace

class TestSettings : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void readingRule_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("field");
        QTest::newRow("plain") << "DontChange\r\n"
                               << "DontChange";
        QTest::newRow("number with blanks") << " 10 \r\n"
                                            << "10";
        QTest::newRow("comma ends the field") << "  Ann, Lee\r\n"
                                              << "Ann";
        QTest::newRow("quoted keeps comma and blanks") << "\" Ann, Lee \",x"
                                                       << " Ann, Lee ";
        QTest::newRow("trailing blanks dropped") << "Visible   \r\n"
                                                 << "Visible";
        QTest::newRow("unterminated quote") << "\"abc"
                                            << "abc";
        // A value never carries a line end into what is built from it.
        QTest::newRow("unterminated quote ends at the line end") << "\"abc\r\n"
                                                                 << "abc";
        QTest::newRow("quote open across lines") << "\"ab\ncd\"\r\n"
                                                 << "ab";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("inner blanks kept") << "Mr Owl \r\n"
                                           << "Mr Owl";
    }
    void readingRule()
    {
        QFETCH(QString, line);
        QFETCH(QString, field);
        QCOMPARE(firstField(line), field);
    }

    void switchesAndNumbers()
    {
        QCOMPARE(parseSwitch(QStringLiteral("True")), std::optional<bool>(true));
        QCOMPARE(parseSwitch(QStringLiteral("False")), std::optional<bool>(false));
        QVERIFY(!parseSwitch(QStringLiteral("Yes")).has_value());
        QCOMPARE(parseWholeNumber(QStringLiteral("10")), std::optional<int>(10));
        QVERIFY(!parseWholeNumber(QStringLiteral("ten")).has_value());
        QVERIFY(!parseWholeNumber(QStringLiteral("70000")).has_value());
        QCOMPARE(formatWholeNumber(10), QStringLiteral(" 10 "));
        QCOMPARE(formatWholeNumber(-3), QStringLiteral("-3 "));
    }

    void windows1252RoundTrip()
    {
        const QString text = QStringLiteral("Zoë €5 “quoted” – Ñandú");
        const QByteArray bytes = encodeWindows1252(text);
        QCOMPARE(bytes.size(), text.size());
        QCOMPARE(static_cast<unsigned char>(bytes.at(4)), 0x80); // the euro sign
        QCOMPARE(decodeWindows1252(bytes), text);
        QCOMPARE(encodeWindows1252(QStringLiteral("日")), QByteArray("?"));
        QVERIFY(!fitsWindows1252(QChar(0x65E5)));
    }

    void readerAcceptsUtf8AndWindows1252()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("f"));
        writeBytes(path, QByteArray("\xEF\xBB\xBFZo\xC3\xAB\r\n"));
        QCOMPARE(*readTextFile(path), QStringLiteral("Zoë\r\n"));
        writeBytes(path, QByteArray("Zo\xC3\xAB\r\n"));
        QCOMPARE(*readTextFile(path), QStringLiteral("Zoë\r\n"));
        writeBytes(path, QByteArray("Zo\xEB\r\n")); // not valid UTF-8: Windows-1252
        QCOMPARE(*readTextFile(path), QStringLiteral("Zoë\r\n"));
        QVERIFY(!readTextFile(dir.filePath(QStringLiteral("none"))).has_value());
    }

    // The records viewer reads and decodes a line when it is drawn: each line
    // must read as the whole file read by readTextFile, whatever ends its
    // lines, whether the lines are held or read from the file.
    void textLinesReadAsTheWholeFile_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<int>("longest");
        QTest::newRow("nothing") << QByteArray() << QStringList {""} << 0;
        QTest::newRow("CR LF, ended") << QByteArray("ab\r\nc\r\n") << QStringList {"ab", "c", ""} << 2;
        QTest::newRow("LF, CR and CR LF, not ended")
            << QByteArray("a\nbb\rccc\r\n\r\rd") << QStringList {"a", "bb", "ccc", "", "", "d"} << 3;
        QTest::newRow("CR, then CR LF") << QByteArray("x\r\r\n") << QStringList {"x", "", ""} << 1;
        QTest::newRow("CR at the end") << QByteArray("a\rbc\r") << QStringList {"a", "bc", ""} << 2;
        QTest::newRow("Windows-1252") << QByteArray("Zo\xEB \x80\r\n") << QStringList {"Zoë €", ""} << 5;
        QTest::newRow("UTF-8") << QByteArray("Zo\xC3\xAB\r\n\xE2\x82\xAC") << QStringList {"Zoë", "€"} << 3;
        QTest::newRow("byte-order mark") << QByteArray("\xEF\xBB\xBF\xE2\x82\xAC\r\nab") << QStringList {"€", "ab"}
                                         << 2;
        QTest::newRow("UTF-8 cut short at the end")
            << QByteArray("Zo\xC3\xAB\r\n\xC3") << QStringList {"ZoÃ«", "Ã"} << 4;
    }
    void textLinesReadAsTheWholeFile()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QFETCH(int, longest);
        const TextLines text(bytes);
        QCOMPARE(text.lineCount(), lines.size());
        for (qsizetype i = 0; i < lines.size(); ++i)
            QCOMPARE(text.line(i), lines[i]);
        QCOMPARE(text.line(lines.size()), QString());
        QCOMPARE(text.longestLine(), longest);

        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Madtr"));
        writeBytes(path, bytes);
        QString whole = *readTextFile(path);
        whole.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QCOMPARE(text.joined(), whole);
        const std::optional<TextLines> fromFile = TextLines::read(path).lines;
        QVERIFY(fromFile);
        QCOMPARE(fromFile->lines(0, lines.size() + 1), lines);
        QCOMPARE(fromFile->longestLine(), longest);
    }

    // A file is read a mebibyte at a time to find its lines: a line end, a
    // line and a UTF-8 character split between two pieces read as they would
    // whole.
    void textLinesReadFromAFileInPieces()
    {
        constexpr qsizetype MiB = 1 << 20;
        QByteArray bytes = QByteArray("Zo\xC3\xAB\r\n");
        bytes += QByteArray(MiB - 1 - bytes.size(), 'a') + "\r\n"; // CR | LF
        bytes += QByteArray(2 * MiB - 1 - bytes.size(), 'b') + "\xC3\xAB\r\r"; // C3 | AB
        bytes += QByteArray(3 * MiB - 1 - bytes.size(), 'c') + "\rlast"; // CR | a line without its end
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Madtr"));
        writeBytes(path, bytes);
        const TextLinesResult read = TextLines::read(path);
        QVERIFY(read.lines);
        const TextLines &text = *read.lines;
        QString whole = *readTextFile(path);
        whole.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        QCOMPARE(text.encoding(), TextEncoding::Utf8);
        QCOMPARE(text.lineCount(), 6);
        QCOMPARE(text.joined(), whole);
        QCOMPARE(text.line(1), QString(MiB - 7, QLatin1Char('a')));
        QCOMPARE(text.line(2), QString(MiB - 2, QLatin1Char('b')) + QStringLiteral("ë"));
        QCOMPARE(text.line(3), QString());
        QCOMPARE(text.line(4), QString(MiB - 4, QLatin1Char('c')));
        QCOMPARE(text.line(5), QStringLiteral("last"));
        QCOMPARE(text.longestLine(), MiB - 1); // characters, not bytes
    }

    // The viewer keeps the file open and reads the lines in sight from it:
    // what it shows is the file as it was read, whatever happens to the name,
    // and a file cut short shows what is left without reading past its end.
    void textLinesFromAFileKeptOpen()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Madtr"));
        writeBytes(path, "first\r\nsecond\r\nthird\r\nfourth");
        std::optional<TextLines> text = TextLines::read(path).lines;
        QVERIFY(text);
        const QStringList all = {"first", "second", "third", "fourth"};

        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::Append));
            file.write("\r\nadded later\r\n");
        }
        QCOMPARE(text->lines(0, 10), all);
        QVERIFY(writeFileAtomically(path, "replaced\r\n").ok);
        QCOMPARE(text->lines(0, 10), all);

        writeBytes(dir.filePath(QStringLiteral("Madtr2")), "first\r\nsecond\r\nthird\r\nfourth");
        text = TextLines::read(dir.filePath(QStringLiteral("Madtr2"))).lines;
        QVERIFY(QFile::resize(dir.filePath(QStringLiteral("Madtr2")), 10)); // "first\r\nsec"
        QCOMPARE(text->lineCount(), 4);
        QCOMPARE(text->lines(0, 4), QStringList({"first", "sec", "", ""}));
        QCOMPARE(text->line(3), QString());
        QVERIFY(QFile::resize(dir.filePath(QStringLiteral("Madtr2")), 6)); // "first\r"
        QCOMPARE(text->lines(0, 2), QStringList({"first", ""}));
    }

    // The encoding is that of the whole file, found without decoding it whole:
    // what lies far from the start decides as much as what lies near it.
    void textLinesTakeTheWholeFilesEncoding()
    {
        const QByteArray filler = QByteArray("12/06/26   Student\r\n").repeated(5000); // 100,000 bytes
        QCOMPARE(TextLines(filler + "Zo\xC3\xAB").line(5000), QStringLiteral("Zoë"));
        QCOMPARE(TextLines("Zo\xC3\xAB\r\n" + filler + "Zo\xEB").line(0), QStringLiteral("ZoÃ«"));
        // A line longer than the pieces checked at a time, a character across
        // the pieces' border.
        const QByteArray longLine = QByteArray(65535, 'a') + "\xC3\xAB";
        QCOMPARE(TextLines(longLine).line(0), QString(65535, QLatin1Char('a')) + QStringLiteral("ë"));
        QCOMPARE(TextLines(longLine).longestLine(), 65536);

        QVERIFY(TextLines().isEmpty());
        QVERIFY(TextLines(QByteArray("\xEF\xBB\xBF")).isEmpty());
        QVERIFY(!TextLines(QByteArray("\r\n")).isEmpty());
    }

    void writesAreAtomicAndReportFailure()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(store.ensureFolders().isEmpty());
        QVERIFY(store.write(QStringLiteral("Sg"), QStringLiteral("3.5")).ok);
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Sg"))), QByteArray("3.5\r\n"));
        // Either separator names the same file.
        QCOMPARE(store.pathOf(QStringLiteral("Files\\Sg")), store.pathOf(QStringLiteral("Files/Sg")));

        // A folder where the file should be: the write fails and says why.
        QDir().mkpath(store.pathOf(QStringLiteral("Ag")));
        const WriteResult blocked = store.write(QStringLiteral("Ag"), QStringLiteral("90"));
        QVERIFY(!blocked.ok);
        QVERIFY(!blocked.error.isEmpty());

        // A folder that cannot be written: the old value survives whole and
        // the failure says why.
        QFile::setPermissions(store.filesFolder(), QFile::ReadOwner | QFile::ExeOwner);
        const WriteResult failed = store.write(QStringLiteral("Sg"), QStringLiteral("2.0"));
        QFile::setPermissions(store.filesFolder(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (QFileInfo(store.filesFolder()).isWritable() && failed.ok)
            QSKIP("running with privileges that ignore folder permissions");
        QVERIFY(!failed.ok);
        QVERIFY(!failed.error.isEmpty());
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Sg"))), QByteArray("3.5\r\n"));
    }

    // Computers sharing a class folder on NFS or SMB see each other's locks
    // only when they are record locks, which those file systems send to the
    // server; and on SMB a lock over the data would fail other computers'
    // reads of it, so the lock stands past any data.
    void aWriteHoldsARecordLockPastTheData()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("Madtr"));
        AtomicFileWriter writer(path);
        QVERIFY(writer.write("a record\r\n"));
        const QFileInfoList underWay = QDir(dir.path()).entryInfoList(QDir::Files | QDir::Hidden);
        QCOMPARE(underWay.size(), 1);
        QFile other(underWay.front().filePath());
        QVERIFY(other.open(QIODevice::ReadWrite));
        const auto lockOn = [&](off_t start, off_t length) {
            struct flock asked
            {
            };
            asked.l_type = F_WRLCK;
            asked.l_whence = SEEK_SET;
            asked.l_start = start;
            asked.l_len = length;
            return ::fcntl(other.handle(), F_OFD_GETLK, &asked) == 0 ? asked.l_type : -1;
        };
        QCOMPARE(lockOn(0, 0), F_WRLCK); // the whole file, to its largest size
        QCOMPARE(lockOn(0, off_t(1) << 40), F_UNLCK); // a terabyte of data
        QVERIFY(writer.commit().ok);
        QCOMPARE(readBytes(path), QByteArray("a record\r\n"));
    }

    // Only plain files of settings size are read: a named pipe would block
    // start-up, a link to /dev/zero would fill memory, and a 10 MB goal would
    // be copied into every record.
    void settingsFilesMustBePlainAndSmall()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        QVERIFY(store.ensureFolders().isEmpty());
        QCOMPARE(::mkfifo(QFile::encodeName(store.pathOf(QStringLiteral("Display"))).constData(), 0644), 0);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), store.pathOf(QStringLiteral("Mbar"))));
        writeBytes(store.pathOf(QStringLiteral("Sg")), QByteArray(10 * 1024 * 1024, '9') + "\r\n");
        writeBytes(store.pathOf(QStringLiteral("Ag")), "95\r\n" + QByteArray(SettingsFileLimit - 4, ' ') + 'x');
        writeBytes(store.pathOf(QStringLiteral("PGreet")), QByteArray(SettingsFileLimit - 1, 'a') + 'b');

        Settings settings(dir.path());
        loadSettings(settings, false);
        // Each is damaged: the setting keeps the value it had.
        QCOMPARE(settings.value(keys::DisplayChoice), QString());
        QCOMPARE(settings.value(keys::MenuBarState), QString());
        QCOMPARE(settings.value(keys::SpeedGoal), QString());
        QCOMPARE(settings.value(keys::AccuracyGoal), QString());
        // Up to the limit a file is read as ever.
        QCOMPARE(settings.value(keys::CustomGreeting).size(), qsizetype(SettingsFileLimit));
        writeBytes(store.pathOf(QStringLiteral("Ag")), "95\r\n" + QByteArray(SettingsFileLimit - 4, ' '));
        QCOMPARE(settings.reread(keys::AccuracyGoal), std::optional<QString>(QStringLiteral("95")));
    }

    // A full disk: the write is told as failed and the old file stays whole,
    // where a rename after a failed write once left it empty.
    void aFullDiskKeepsTheOldValue()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP(disk.whyNot().constData());
        SettingsStore store(disk.path());
        QVERIFY(store.ensureFolders().isEmpty());
        QVERIFY(store.write(QStringLiteral("Sg"), QStringLiteral("3.5")).ok);
        disk.fill();

        const WriteResult failed = store.write(QStringLiteral("Sg"), QStringLiteral("2.0"));
        QVERIFY(!failed.ok);
        QCOMPARE(failed.reason, QStringLiteral("the disk is full"));
        QVERIFY(failed.error.contains(store.pathOf(QStringLiteral("Sg"))));
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Sg"))), QByteArray("3.5\r\n"));
        QCOMPARE(QDir(store.filesFolder()).entryList(QDir::Files | QDir::Hidden), QStringList {QStringLiteral("Sg")});
    }

    // A first run on a full disk goes on with the defaults it told of, and
    // leaves no empty settings file to be read as damaged next time.
    void aFirstRunOnAFullDisk()
    {
        SmallDisk disk;
        if (!disk.mounted())
            QSKIP(disk.whyNot().constData());
        disk.fill();
        SettingsStore store(disk.path());
        Settings settings(disk.path());
        const SettingsAtStart read = loadSettings(settings, false);
        const QStringList told = read.failures;

        QCOMPARE(told, QStringList {QStringLiteral("24 settings files could not be written: the disk is full.")});
        // Only the greeting, empty by default, takes no room.
        QCOMPARE(QDir(store.filesFolder()).entryList(QDir::Files | QDir::Hidden),
                 QStringList {QStringLiteral("PGreet")});
        QCOMPARE(settings.value(keys::DisplayChoice), QStringLiteral("DontChange"));
        QCOMPARE(perchTopFor(settings.value(keys::PerchStyle)), 150);
        QVERIFY(settings.value(keys::VistaNotice) && settings.value(keys::PeedyTeacher) &&
                settings.value(keys::VoiceEnabled) && settings.value(keys::VoiceRewards));
        QCOMPARE(settings.value(keys::SpeedGoal), QStringLiteral("5.0"));
        QCOMPARE(settings.value(keys::AccuracyGoal), QStringLiteral("100"));
        QCOMPARE(read.baseGreeting, QStringLiteral("Hello. I am ~so happy to work with you.,?"));
    }

    void firstRunWritesEveryDefault()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        Settings settings(dir.path());
        const SettingsAtStart read = loadSettings(settings, false);
        QVERIFY(read.failures.isEmpty());
        QVERIFY(QDir(dir.filePath(QStringLiteral("SDat"))).exists());

        for (const auto &[name, bytes] : FirstRunFiles)
            QCOMPARE(readBytes(store.pathOf(QLatin1String(name))), bytes);
        const QByteArray adword = readBytes(store.pathOf(QStringLiteral("AdWord")));
        QCOMPARE(adword.size(), 37);
        QVERIFY(adword.endsWith("\r\n"));
        QByteArray picked;
        for (const int p : {5, 11, 17, 23, 29})
            picked += adword.at(p);
        QCOMPARE(picked, QByteArray("maple"));
        QCOMPARE(QDir(store.filesFolder()).entryList(QDir::Files).size(), 25);

        QCOMPARE(settings.value(keys::FactsCount), 10);
        QCOMPARE(perchTopFor(settings.value(keys::PerchStyle)), 150);
        QVERIFY(!settings.value(keys::PeedyEnabled));
        QVERIFY(settings.value(keys::VoiceEnabled));
        QCOMPARE(settings.value(keys::SpeedGoal), QStringLiteral("5.0"));
        QCOMPARE(settings.value(keys::AccuracyGoal), QStringLiteral("100"));
        QCOMPARE(read.baseGreeting, QStringLiteral("Hello. I am ~so happy to work with you.,?"));
        QCOMPARE(read.spokenName, QString());
    }

    // One write puts the value in force and in its file; the value is in
    // force even when the file cannot be written, and a change is told once.
    void aWriteTakesTheValueAndItsFileTogether()
    {
        QTemporaryDir dir;
        Settings settings(dir.path());
        loadSettings(settings, false);
        QSignalSpy changed(&settings, &Settings::changed);
        QVERIFY(settings.write(keys::FactsCount, 30).ok);
        QCOMPARE(settings.value(keys::FactsCount), 30);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("Files/Facts"))), QByteArray(" 30 \r\n"));
        QVERIFY(settings.write(keys::FactsCount, 30).ok);
        QCOMPARE(changed.count(), 1);
        QCOMPARE(changed.front().front().toString(), QStringLiteral("Facts"));

        QVERIFY(QFile::remove(dir.filePath(QStringLiteral("Files/Sg"))));
        QVERIFY(QDir().mkpath(dir.filePath(QStringLiteral("Files/Sg"))));
        QVERIFY(!settings.write(keys::SpeedGoal, QStringLiteral("2.0")).ok);
        QCOMPARE(settings.value(keys::SpeedGoal), QStringLiteral("2.0"));

        // A file changed by hand counts once it is read again; a damaged one
        // leaves the value, and a value for this run leaves the file.
        writeBytes(dir.filePath(QStringLiteral("Files/Ag")), "85\r\n");
        QCOMPARE(settings.value(keys::AccuracyGoal), QStringLiteral("100"));
        QCOMPARE(settings.reread(keys::AccuracyGoal), std::optional<QString>(QStringLiteral("85")));
        QCOMPARE(settings.value(keys::AccuracyGoal), QStringLiteral("85"));
        writeBytes(dir.filePath(QStringLiteral("Files/TTS")), "Maybe\r\n");
        QVERIFY(!settings.reread(keys::VoiceEnabled).has_value());
        QVERIFY(settings.value(keys::VoiceEnabled));
        settings.setForThisRun(keys::VoiceEnabled, false);
        QCOMPARE(readBytes(dir.filePath(QStringLiteral("Files/TTS"))), QByteArray("Maybe\r\n"));
    }

    // Each key has a file of its own, and its default reads back from the
    // file as itself, so a setting created at start-up has the same value on
    // the next run.
    void everyKeyHasItsOwnFileAndItsDefaultReadsBack()
    {
        QSet<QString> files;
        for (const AnySetting &any : keys::All)
            std::visit(
                [&files](const auto *key) {
                    files.insert(key->name());
                    const auto value = key->defaultFor(false);
                    const QString file =
                        key->createdEmpty ? QString() : key->format.line(value) + QStringLiteral("\r\n");
                    QCOMPARE(key->format.read(file), std::optional(value));
                },
                any);
        QCOMPARE(files.size(), qsizetype(keys::All.size()));
    }

    void xpStylePerch()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        Settings settings(dir.path());
        loadSettings(settings, true);
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Perch"))), QByteArray("XP\r\n"));
        QCOMPARE(perchTopFor(settings.value(keys::PerchStyle)), 157);
    }

    void damagedFilesKeepTheirValueOrAreRestored()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.ensureFolders();
        writeBytes(store.pathOf(QStringLiteral("Facts")), ""); // empty: rewritten
        writeBytes(store.pathOf(QStringLiteral("Perch")), ""); // empty: rewritten
        writeBytes(store.pathOf(QStringLiteral("Mbar")), ""); // empty: left alone
        writeBytes(store.pathOf(QStringLiteral("PShow")), "Maybe\r\n"); // wrong form: skipped
        writeBytes(store.pathOf(QStringLiteral("PName")), "  Ann, the owl  \r\n");
        writeBytes(store.pathOf(QStringLiteral("PGreet")), "Good morning,\r\nclass!\r\n");
        Settings settings(dir.path());
        const SettingsAtStart read = loadSettings(settings, false);
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Facts"))), QByteArray(" 10 \r\n"));
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Perch"))), QByteArray("Standard\r\n"));
        QCOMPARE(readBytes(store.pathOf(QStringLiteral("Mbar"))), QByteArray());
        QCOMPARE(settings.value(keys::MenuBarState), QString());
        QVERIFY(!settings.value(keys::PeedyEnabled));
        QCOMPARE(read.spokenName, QStringLiteral("Ann"));
        QCOMPARE(settings.value(keys::CustomGreeting), QStringLiteral("Good morning,class!"));
    }

    void factsCountIsKeptWithinTheDrillTable_data()
    {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<int>("facts");
        QTest::newRow("zero") << QByteArray(" 0 \r\n") << 10;
        QTest::newRow("damaged") << QByteArray("lots\r\n") << 10;
        QTest::newRow("thirty") << QByteArray(" 30 \r\n") << 30;
        QTest::newRow("fifty") << QByteArray(" 50 \r\n") << 50;
        QTest::newRow("too many") << QByteArray(" 500 \r\n") << 50;
    }
    void factsCountIsKeptWithinTheDrillTable()
    {
        QFETCH(QByteArray, file);
        QFETCH(int, facts);
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.ensureFolders();
        writeBytes(store.pathOf(QStringLiteral("Facts")), file);
        Settings settings(dir.path());
        loadSettings(settings, false);
        QCOMPARE(settings.value(keys::FactsCount), facts);
    }

    void greetingModeAndCustomName()
    {
        QTemporaryDir dir;
        SettingsStore store(dir.path());
        store.ensureFolders();
        writeBytes(store.pathOf(QStringLiteral("MGreet")), "IntegrateYes\r\n");
        writeBytes(store.pathOf(QStringLiteral("PGreet")), "Welcome back!");
        writeBytes(store.pathOf(QStringLiteral("PName")), "\r\n");
        Settings settings(dir.path());
        const SettingsAtStart read = loadSettings(settings, false);
        QCOMPARE(read.baseGreeting, QStringLiteral("Welcome back!"));
        QCOMPARE(read.spokenName, QString());
    }

    void passwordLayout()
    {
        const QString line = passwordLine(QStringLiteral("tiger"));
        QCOMPARE(line.size(), 35);
        QCOMPARE(*passwordFromLine(line), QStringLiteral("tiger"));
        for (const QChar c : line)
            QVERIFY(c.isLetterOrNumber());
        QVERIFY(!passwordFromLine(QStringLiteral("short")).has_value());
    }

    void versionClassification_data()
    {
        QTest::addColumn<bool>("nt");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("build");
        QTest::addColumn<QString>("code");
        QTest::newRow("xp") << true << 5 << 1 << 2600 << "XP";
        QTest::newRow("xp old build") << true << 5 << 1 << 2500 << "";
        QTest::newRow("2000") << true << 5 << 0 << 2195 << "";
        QTest::newRow("vista") << true << 6 << 0 << 6000 << "VA";
        QTest::newRow("seven") << true << 6 << 1 << 7600 << "VA";
        QTest::newRow("not nt") << false << 6 << 1 << 0 << "";
    }
    void versionClassification()
    {
        QFETCH(bool, nt);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, build);
        QFETCH(QString, code);
        const VersionClass v = classifyVersion(OsVersion {nt, major, minor, build});
        QCOMPARE(v.code, code);
        QCOMPARE(v.xpStyle, !code.isEmpty());
        QVERIFY(!classifyVersion(std::nullopt).xpStyle);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "test_settings.moc"
