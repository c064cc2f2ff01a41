#include "fluency/answerlogwriter.h"
#include "fluency/classexport.h"
#include "fluency/csv.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace plovista;

namespace {

// In the past, so no rule that distrusts a clock ahead of now sets them aside.
const QDate Day1(2026, 11, 2);
const QDate Day2(2026, 11, 3);
const QDate Today(2026, 11, 10);

// One answer, the first try of a drill of its own.
AnswerEntry answer(const QString &student, const QString &computer, const QDate &day, Operation operation, int left,
                   int right, int expected, bool correct, int ms)
{
    static int drill = 0;
    AnswerEntry e;
    e.drillId = QStringLiteral("%1-drill-%2").arg(computer).arg(++drill);
    e.sequence = 1;
    e.id = e.drillId + QStringLiteral("-1");
    e.time = QDateTime(day, QTime(9, drill), Qt::OffsetFromUTC, 3600);
    e.student = student;
    e.operation = operation;
    e.left = left;
    e.right = right;
    e.expected = expected;
    e.given = correct ? expected : expected + 1;
    e.correct = correct;
    e.ms = ms;
    e.format = operation == Operation::FactsOfTen ? (left == 10 ? QStringLiteral("1") : QStringLiteral("2"))
                                                  : QStringLiteral("H");
    e.range = operation == Operation::FactsOfTen ? QString() : QStringLiteral("0->12");
    e.version = QStringLiteral("7.1");
    e.computer = computer;
    return e;
}

// Two students on two computers. Ann: 7 x 5 fluent on both days (known),
// 8 x 5 missed (to teach), 9 x 5 right but slow (almost), and "10 - ? = 3"
// fluent once (almost). "=Ben": "3 + ? = 10", the same fact of ten in the
// other format, missed, and 35 / 5 fluent once.
void writeHistory(const QString &logFolder)
{
    const QString ann = QStringLiteral("Ann Lee");
    const QString ben = QStringLiteral("=Ben");
    const QString pc1 = QStringLiteral("PC1");
    const QString pc2 = QStringLiteral("PC2");
    AnswerLogWriter writer(logFolder);
    writer.append(answer(ann, pc1, Day1, Operation::Multiplication, 7, 5, 35, true, 1400));
    writer.append(answer(ann, pc1, Day1, Operation::Multiplication, 9, 5, 45, true, 4000));
    writer.append(answer(ann, pc1, Day1, Operation::FactsOfTen, 10, 3, 7, true, 1200));
    writer.append(answer(ann, pc2, Day2, Operation::Multiplication, 7, 5, 35, true, 1700));
    writer.append(answer(ann, pc2, Day2, Operation::Multiplication, 8, 5, 40, false, 1500));
    writer.append(answer(ben, pc2, Day1, Operation::FactsOfTen, 3, 10, 7, false, 2500));
    writer.append(answer(ben, pc1, Day2, Operation::Division, 35, 5, 7, true, 2000));
}

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestClassExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void theWideExportReadsBackCellByCell()
    {
        QTemporaryDir dir;
        const QString log = dir.filePath(QStringLiteral("Log"));
        writeHistory(log);
        const QString path = dir.filePath(QStringLiteral("families.csv"));
        const ClassExport exported = exportClass(log, 3000, Today, path, nullptr, ExportShape::Wide);
        QVERIFY(exported.written.ok && !exported.cancelled);
        QCOMPARE(exported.students, 2);
        const QByteArray bytes = bytesOf(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        QCOMPARE(bytes.count("\r\n"), bytes.count('\n'));
        const CsvTable table = readCsv(QString::fromUtf8(bytes.mid(3)));
        QVERIFY(!table.damaged);
        // The families 2 to 9 of each operation, 2 to 12 of one drilled in the 0
        // to 12 range (Ann's multiplication, Ben's division), and the Facts of Ten.
        QCOMPARE(int(table.records.size()), 1 + 2 * (4 * 8 + 3 + 1));
        QCOMPARE(table.records[0],
                 QStringList({"Student", "Operation", "Family", "Number", "Range", "Knows it", "Almost", "Teach it",
                              "Not asked yet", "Facts", "Last practised", "Exported", "Threshold ms"}));
        const auto row = [&](const QString &student, const QString &family) {
            for (const QStringList &record : table.records)
                if (record[0] == student && record[2] == family)
                    return record;
            return QStringList();
        };
        QCOMPARE(row("Ann Lee", "x5"),
                 QStringList({"Ann Lee", "Multiplication", "x5", "5", "0->12", "1", "1", "1", "10", "13", "2026-11-03",
                              "2026-11-10", "3000"}));
        QCOMPARE(row("Ann Lee", "Facts of Ten"),
                 QStringList({"Ann Lee", "Facts of Ten", "Facts of Ten", "10", "", "0", "1", "0", "9", "10",
                              "2026-11-02", "2026-11-10", "3000"}));
        QCOMPARE(row("Ann Lee", "'+2"),
                 QStringList(
                     {"Ann Lee", "Addition", "'+2", "2", "0->9", "0", "0", "0", "10", "10", "", "2026-11-10", "3000"}));
        QCOMPARE(row("Ann Lee", "'+12"), QStringList());
        QCOMPARE(row("'=Ben", "Facts of Ten"),
                 QStringList({"'=Ben", "Facts of Ten", "Facts of Ten", "10", "", "0", "0", "1", "9", "10", "2026-11-02",
                              "2026-11-10", "3000"}));
        QCOMPARE(row("'=Ben", QStringLiteral("\u00F75")),
                 QStringList({"'=Ben", "Division", QStringLiteral("\u00F75"), "5", "0->12", "0", "1", "0", "12", "13",
                              "2026-11-03", "2026-11-10", "3000"}));
        QCOMPARE(row("'=Ben", "x5").mid(4, 6), QStringList({"0->9", "0", "0", "0", "10", "10"}));

        // The long export names the fact of ten in one cell, as the drill showed it.
        QVERIFY(exportClass(log, 3000, Today, path).written.ok);
        const CsvTable long_ = readCsv(QString::fromUtf8(bytesOf(path).mid(3)));
        QStringList ten;
        for (const QStringList &record : long_.records)
            if (record[1] == QLatin1String("Facts of Ten") && record[3] != QLatin1String("not asked yet"))
                ten << record[0] + u'|' + record[2] + u'|' + record[3] + u'|' + record[9] + u'|' + record[10];
        QCOMPARE(ten,
                 QStringList({"'=Ben|3 + ? = 10 or 10 - ? = 3|needs work|2026-11-10|3000",
                              "Ann Lee|3 + ? = 10 or 10 - ? = 3|fluent, one day so far|2026-11-10|3000"}));
    }

    // The command a school's nightly job runs: the same file as the window's
    // export, with the threshold of the folder's speed goal; a one-line reason
    // and a non-zero status when it cannot.
    void theReportCommandWritesTheExportOrSaysWhyNot()
    {
        QTemporaryDir dir;
        const QString missing = dir.filePath(QStringLiteral("nowhere"));
        const QString csv = dir.filePath(QStringLiteral("out.csv"));
        QProcess report;
        report.start(QStringLiteral(PLOVISTA_REPORT_BINARY), {"--folder", missing, "--csv", csv, "--wide"});
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.exitCode(), 1);
        QCOMPARE(report.readAllStandardError(),
                 QStringLiteral("plovista-report: The folder \"%1\" does not exist.\n").arg(missing).toUtf8());
        QVERIFY(!QFile::exists(csv));

        writeHistory(dir.filePath(QStringLiteral("Log")));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("Files")));
        QFile speedGoal(dir.filePath(QStringLiteral("Files/Sg")));
        QVERIFY(speedGoal.open(QIODevice::WriteOnly));
        speedGoal.write("\"2.0\"\r\n");
        speedGoal.close();
        report.start(QStringLiteral(PLOVISTA_REPORT_BINARY), {"--folder", dir.path(), "--csv", csv, "--wide"});
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.readAllStandardError(), QByteArray());
        QCOMPARE(report.exitCode(), 0);
        const QString expected = dir.filePath(QStringLiteral("expected.csv"));
        QVERIFY(exportClass(dir.filePath(QStringLiteral("Log")), 2000, QDate::currentDate(), expected, nullptr,
                            ExportShape::Wide)
                    .written.ok);
        QCOMPARE(bytesOf(csv), bytesOf(expected));

        report.start(QStringLiteral(PLOVISTA_REPORT_BINARY), {"--folder", dir.path(), "--wide"});
        QVERIFY(report.waitForFinished(60000));
        QCOMPARE(report.exitCode(), 2);
        QCOMPARE(report.readAllStandardError(), QByteArray("plovista-report: --csv is missing (see --help).\n"));
    }
};

QTEST_GUILESS_MAIN(TestClassExport)

#include "test_classexport.moc"
