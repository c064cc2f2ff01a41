#include "drill/factsproblems.h"
#include "fluency/answerlog.h"
#include "fluency/answerlogwriter.h"
#include "fluency/csv.h"
#include "fluency/fluencyform.h"
#include "fluency/fluencyview.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"
#include "support/harness.h"
#include "support/smalldisk.h"
#include "support/teacherroad.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QTest>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

FactsProblems &openDrill(Harness &h, const QString &student, Operation operation, int option)
{
    AppState &s = h.state();
    s.StudentName = student;
    s.Selection = {operation, FactRange::ZeroToTwelve, option, 2};
    s.FactsOfTenActive = false;
    s.SubtractionFlag = false;
    s.FormatCode = QStringLiteral("H");
    s.RangeCode = QStringLiteral("0->12");
    h.settings().setForThisRun(keys::FactsCount, 10);
    s.Drill.resetCounters();
    s.Drill.prepare(10);
    FactsProblems &w = h.app().factsProblems();
    w.setPauses(0ms, 0ms);
    w.openForDrill();
    [&] { QVERIFY(QTest::qWaitForWindowExposed(&w)); }();
    return w;
}

// The next fact drawn in a 0 to 12 drill.
void scriptValue(Harness &h, int value)
{
    h.random->draws.push_back((value + 0.5) / 13.0);
}

void press(FactsProblems &w, const QString &typed)
{
    auto *box = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    box->clear();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!w.isPausing());
}

// The fact on the screen is painted, the student takes ms, then answers.
void answerAfter(Harness &h, FactsProblems &w, qint64 ms, const QString &typed)
{
    QCoreApplication::processEvents();
    h.clock->advanceMs(ms);
    press(w, typed);
}

// A whole drill of ten facts of the times-option or plus-option family,
// values 0 to 9 in order; msFor gives each value's time, and the values in
// missed are answered wrong once first.
void drill(Harness &h, const QString &student, Operation operation, int option, const std::function<int(int)> &msFor,
           const QList<int> &missed = {})
{
    FactsProblems &w = openDrill(h, student, operation, option);
    scriptValue(h, 0);
    QTest::keyClick(&w, Qt::Key_Return); // Start
    for (int value = 0; value < 10; ++value) {
        const int answer = operation == Operation::Multiplication ? value * option : value + option;
        if (missed.contains(value))
            answerAfter(h, w, 5000, QString::number(answer + 1));
        if (value < 9)
            scriptValue(h, value + 1);
        answerAfter(h, w, msFor(value), QString::number(answer));
    }
    QTest::keyClick(&w, Qt::Key_Return); // Get Score
    h.clock->advanceSeconds(1); // the score seen before the next drill
}

std::vector<AnswerEntry> logged(Harness &h, const QString &student)
{
    h.app().answerLog().flush();
    std::vector<AnswerEntry> entries;
    scanStudentLog(h.app().answerLog().folder(), student, [&](const AnswerEntry &e) { entries.push_back(e); });
    return entries;
}

QString logFile(Harness &h, const QString &student)
{
    return QDir::toNativeSeparators(
        QDir(h.app().answerLog().folder()).filePath(answerLogFileName(student, h.systemInfo->computerName())));
}

QString pdfText(const QByteArray &pdf, const QString &folder)
{
    const QString pdfPath = QDir(folder).filePath(QStringLiteral("grid.pdf"));
    const QString textPath = QDir(folder).filePath(QStringLiteral("grid.txt"));
    QFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    if (QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, textPath}) != 0)
        return {};
    return readTextFile(textPath).value_or(QString());
}

} // namespace

class TestFluencyForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The program ends at once when it ends; answers still on their way to
    // the log are written first.
    void endingWritesTheAnswersOnTheirWay()
    {
        Harness h;
        h.start();
        int loggedAtEnd = -1;
        h.app().setProgramEnder([&] {
            loggedAtEnd = 0;
            scanStudentLog(h.app().answerLog().folder(), QStringLiteral("Ann Lee"),
                           [&](const AnswerEntry &) { ++loggedAtEnd; });
        });
        for (int i = 1; i <= 2000; ++i) {
            AnswerEntry entry;
            entry.id = QStringLiteral("end-%1").arg(i);
            entry.drillId = QStringLiteral("end");
            entry.sequence = i;
            entry.time = QDateTime(QDate(2026, 12, 7), QTime(9, 0));
            entry.student = QStringLiteral("Ann Lee");
            entry.operation = Operation::Multiplication;
            entry.left = i % 10;
            entry.right = 7;
            entry.expected = entry.given = entry.left * 7;
            entry.correct = true;
            h.app().answerLog().append(entry);
        }
        h.app().endProgram();
        QCOMPARE(loggedAtEnd, 2000);
    }

    // A log with no room: each drill ends with one box for the teacher that
    // names the file and why, the grid says the same, and the answers wait
    // until there is room again.
    void aFullLogIsToldOnceADrillAndItsAnswersWait()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.settings().setForThisRun(keys::VoiceEnabled, false);
        const QString logFolder = QDir(h.folder()).filePath(QString(AnswerLogFolder));
        QVERIFY(QDir().mkpath(logFolder));
        const SmallDisk disk(logFolder);
        if (!disk.mounted())
            QSKIP(disk.whyNot().constData());
        disk.fill();
        const QString ann = QStringLiteral("Ann Lee");

        drill(h, ann, Operation::Multiplication, 7, [](int) { return 1500; });
        QCOMPARE(h.boxes->titles(), QStringList {"Drill Not Recorded"});
        const QString told = h.boxes->asked[0].text;
        QVERIFY2(
            told.contains(QStringLiteral("10 answers of Ann Lee have not been written to \"%1\": the disk is full.")
                              .arg(logFile(h, ann))),
            qPrintable(told));
        QVERIFY(told.contains(QStringLiteral("teacher")));
        QVERIFY(!told.contains(QStringLiteral("Madtr"))); // the record itself was written

        drill(h, ann, Operation::Multiplication, 7, [](int) { return 1500; });
        QCOMPARE(h.boxes->titles(), QStringList({"Drill Not Recorded", "Drill Not Recorded"}));
        QVERIFY(h.boxes->asked[1].text.contains(QStringLiteral("20 answers of Ann Lee")));

        QWidget utilityMenu;
        utilityMenu.show();
        h.app().openFluencyGrid(utilityMenu);
        const QString notice = h.app().fluencyForm().findChild<QLabel *>(QStringLiteral("NoticeLabel"))->text();
        QVERIFY2(notice.contains(logFile(h, ann)) && notice.contains(QStringLiteral("the disk is full")),
                 qPrintable(notice));

        QVERIFY(QFile::remove(disk.path() + QStringLiteral("/filler")));
        QCOMPARE(logged(h, ann).size(), std::size_t(20));
        QCOMPARE(h.app().answerLog().backlog().waiting(), 0);
    }

    // A log file locked by another program: its answers wait, a quit tells
    // what could not be written before the program ends, and they are not
    // dropped meanwhile.
    void aQuitTellsWhatAHeldLogFileCouldNotTake()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.settings().setForThisRun(keys::VoiceEnabled, false);
        const QString ann = QStringLiteral("Ann Lee");
        QVERIFY(QDir().mkpath(h.app().answerLog().folder()));
        QFile held(logFile(h, ann));
        QVERIFY(held.open(QIODevice::WriteOnly));
        QCOMPARE(tryLockForWriting(held.handle()), 0);

        FactsProblems &w = openDrill(h, ann, Operation::Multiplication, 7);
        scriptValue(h, 0);
        QTest::keyClick(&w, Qt::Key_Return); // Start
        for (int value = 0; value < 3; ++value) {
            scriptValue(h, value + 1);
            answerAfter(h, w, 1500, QString::number(value * 7));
        }
        h.boxes->answers = {MsgYes};
        h.boxes->onAsk = [&h](const FakeMessageBoxes::Asked &) { QVERIFY(!h.programEnded()); };
        w.Quit_Click();
        QVERIFY(h.programEnded());
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program", "Answers Not Logged"}));
        const QString told = h.boxes->asked[1].text;
        const QRegularExpression line(QStringLiteral("3 answers of Ann Lee have not been written to \"%1\": .+\\.")
                                          .arg(QRegularExpression::escape(logFile(h, ann))));
        QVERIFY2(line.match(told).hasMatch(), qPrintable(told));

        held.close();
        QCOMPARE(logged(h, ann).size(), std::size_t(3));
    }

    // Times run from the first paint of a fact to the Enter, and from the end
    // of its reading aloud; a fact asked again is timed afresh as a repeat.
    void everyAnswerIsTimedFromItsPaint()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.settings().setForThisRun(keys::VoiceEnabled, true);
        h.settings().setForThisRun(keys::VoiceFeedback, false);
        h.settings().setForThisRun(keys::VoiceComments, false);
        FactsProblems &w = openDrill(h, QStringLiteral("Ann Lee"), Operation::Multiplication, 7);
        scriptValue(h, 3);
        QTest::keyClick(&w, Qt::Key_Return);

        QCoreApplication::processEvents();
        h.clock->advanceMs(1200);
        while (!h.voice->queue.isEmpty()) // "3times7" has been heard
            h.voice->finishText();
        scriptValue(h, 5);
        answerAfter(h, w, 1000, QStringLiteral("21"));
        answerAfter(h, w, 2999, QStringLiteral("30")); // still being read: no time after the reading
        answerAfter(h, w, 800, QStringLiteral("35"));

        const std::vector<AnswerEntry> entries = logged(h, QStringLiteral("Ann Lee"));
        QCOMPARE(entries.size(), std::size_t(3));
        const AnswerEntry &first = entries[0];
        QCOMPARE(QStringList({QString::number(first.left), QString::number(first.right),
                              QString::number(first.expected), QString::number(first.given)}),
                 QStringList({"3", "7", "21", "21"}));
        QVERIFY(first.firstTry && first.correct);
        QCOMPARE(first.ms, std::optional<int>(2200));
        QCOMPARE(first.msAfterReading, std::optional<int>(1000));
        QCOMPARE(first.time, QDateTime(QDate(2026, 12, 6), QTime(10, 0, 2, 200)));
        QCOMPARE(first.computer, QStringLiteral("ROOM4-PC1"));
        QCOMPARE(first.format + u' ' + first.range, QStringLiteral("H 0->12"));

        QCOMPARE(entries[1].ms, std::optional<int>(2999));
        QCOMPARE(entries[1].msAfterReading, std::nullopt);
        QVERIFY(entries[1].firstTry && !entries[1].correct);
        QCOMPARE(entries[1].given, 30);
        QVERIFY(!entries[2].firstTry && entries[2].correct);
        QCOMPARE(entries[2].ms, std::optional<int>(800));
        QCOMPARE(QStringList({entries[1].drillId, entries[2].drillId}), QStringList(2, first.drillId));
        QCOMPARE(entries[2].sequence, 3);
    }

    // Three drills by two students on two days, as the teacher then sees,
    // prints and exports them.
    void theTeachersGridAfterThreeDrillsOnTwoDays()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.settings().setForThisRun(keys::VoiceEnabled, false);
        h.settings().setForThisRun(keys::SpeedGoal, QStringLiteral("3.0"));
        const QString ann = QStringLiteral("Ann Lee");
        drill(h, ann, Operation::Multiplication, 7, [](int v) { return v == 3 ? 4000 : 1500; }, {5});
        drill(h, QStringLiteral("Ben Cho"), Operation::Addition, 5, [](int) { return 2000; });
        h.clock->time = h.clock->time.addDays(1);
        drill(h, ann, Operation::Multiplication, 7, [](int) { return 1500; });

        QWidget utilityMenu;
        utilityMenu.show();
        h.app().openFluencyGrid(utilityMenu);
        FluencyForm &form = h.app().fluencyForm();
        QVERIFY(form.isVisible() && !utilityMenu.isVisible());
        auto *students = form.findChild<QComboBox *>(QStringLiteral("StudentList"));
        auto *view = form.findChild<FluencyView *>(QStringLiteral("GridView"));
        QTRY_VERIFY(view->grid());
        QCOMPARE(students->count(), 2);
        QCOMPARE(students->currentText(), ann);
        const FluencyGrid &grid = *view->grid();
        QCOMPARE(grid.operation, Operation::Multiplication);
        QCOMPARE(grid.at(7, 0).status, FactStatus::Automatic);
        QCOMPARE(grid.at(7, 3).status, FactStatus::Fluent); // slow on the first day
        QCOMPARE(grid.at(7, 5).status, FactStatus::Fluent); // missed on the first day
        QCOMPARE(grid.at(7, 10).status, FactStatus::Unseen);
        QCOMPARE(grid.at(7, 3).ms, std::optional<int>(1500)); // the fluent answer, not the slow one
        QCOMPARE(grid.automaticInRow[7], 8);

        form.findChild<QPushButton *>(QStringLiteral("PrintButt"))->click();
        QCOMPARE(h.printing->pdfs.size(), std::size_t(1));
        const QString printed = pdfText(h.printing->pdfs[0], h.folder());
        QVERIFY2(!printed.isEmpty(), "pdftotext could not read the printed grid");
        for (const char *expected : {"Ann Lee: Multiplication", "Knows it: 8 of 143 facts drilled", "x7", "1.5",
                                     "Teach it", "right but slow", "under 3.0 seconds"})
            QVERIFY2(printed.contains(QLatin1String(expected)),
                     qPrintable(expected + QStringLiteral(" in ") + printed));

        students->setCurrentText(QStringLiteral("Ben Cho"));
        form.findChild<QComboBox *>(QStringLiteral("OperationList"))->setCurrentText(QStringLiteral("Addition"));
        QTRY_VERIFY(view->grid());
        QCOMPARE(view->grid()->student, QStringLiteral("Ben Cho"));
        QCOMPARE(view->grid()->at(5, 4).status, FactStatus::Fluent);
        QCOMPARE(view->grid()->at(5, 4).ms, std::optional<int>(2000));

        const QString exportPath = QDir(h.folder()).filePath(QStringLiteral("class.csv"));
        QString suggested;
        form.setSaveFileChooser([&](const QString &offered) {
            suggested = offered;
            return exportPath;
        });
        form.findChild<QPushButton *>(QStringLiteral("ExportButt"))->click();
        QCOMPARE(QFileInfo(suggested).fileName(), QStringLiteral("Class fluency 2026-12-07.csv"));
        QTRY_COMPARE(h.boxes->titles(), QStringList {"Class Exported"});
        const CsvTable table = readCsv(readTextFile(exportPath).value_or(QString()));
        const auto has = [&](const QStringList &start) {
            return std::any_of(table.records.cbegin(), table.records.cend(),
                               [&](const QStringList &r) { return r.mid(0, start.size()) == start; });
        };
        QVERIFY(has({"Ann Lee", "Multiplication", "0 x 7", "automatic", "2", "2", "0", "1500", "2026-12-07"}));
        QVERIFY(has({"Ann Lee", "Multiplication", "5 x 7", "fluent, one day so far", "2", "1", "1", "1500"}));
        QVERIFY(has({"Ben Cho", "Addition", "4 + 5", "fluent, one day so far", "1", "1", "0", "2000", "2026-12-06"}));

        // However long a name, the window fits an 800-pixel screen with a window manager's border.
        students->addItem(QStringLiteral("Maximiliana Wolfeschlegelsteinhausen-Bergerdorff"));
        QVERIFY2(form.minimumSizeHint().width() <= 790, qPrintable(QString::number(form.minimumSizeHint().width())));
    }

    // The log is read, and the class exported, away from the window: it
    // opens at once with a progress bar, a reading can be cancelled, and
    // quitting during an export leaves no file, whole or half.
    void theWindowStaysFreeWhileTheLogIsRead()
    {
        Harness h;
        h.start();
        const QString folder = h.app().answerLog().folder();
        QDir().mkpath(folder);
        for (const auto &[student, answers] :
             {std::pair {QStringLiteral("Ann Lee"), 5000}, std::pair {QStringLiteral("Ben Cho"), 10}}) {
            QByteArray lines = answerLogHeader().toUtf8();
            for (int i = 1; i <= answers; ++i) {
                AnswerEntry e;
                e.id = QStringLiteral("d%1-%2").arg(i / 20).arg(i);
                e.time = QDateTime(QDate(2026, 12, 1 + i % 6), QTime(9, 0));
                e.student = student;
                e.operation = Operation::Multiplication;
                e.left = i % 13;
                e.right = 7;
                e.correct = i % 4 != 0;
                e.ms = 900 + i % 3000;
                lines += answerLogLine(e).toUtf8();
            }
            QVERIFY(writeFileAtomically(QDir(folder).filePath(answerLogFileName(student, QStringLiteral("PC1"))), lines)
                        .ok);
        }

        QWidget utilityMenu;
        utilityMenu.show();
        h.app().openFluencyGrid(utilityMenu);
        FluencyForm &form = h.app().fluencyForm();
        auto *view = form.findChild<FluencyView *>(QStringLiteral("GridView"));
        auto *bar = form.findChild<QProgressBar *>(QStringLiteral("ProgressBar"));
        auto *cancel = form.findChild<QPushButton *>(QStringLiteral("CancelButt"));
        QVERIFY(bar && cancel);
        QVERIFY(form.isVisible() && bar->isVisible() && !view->grid());
        QCOMPARE(bar->accessibleName(), QStringLiteral("Reading the answer log..."));
        QTRY_VERIFY(view->grid());
        QVERIFY(!bar->isVisible());
        QCOMPARE(view->grid()->student, QStringLiteral("Ann Lee"));

        auto *students = form.findChild<QComboBox *>(QStringLiteral("StudentList"));
        students->setCurrentText(QStringLiteral("Ben Cho"));
        QVERIFY(bar->isVisible() && !view->grid());
        cancel->click();
        QTest::qWait(300); // a reading that went on would have come by now
        QVERIFY(!view->grid() && !bar->isVisible());

        const QString exportPath = QDir(h.folder()).filePath(QStringLiteral("class.csv"));
        form.setSaveFileChooser([&](const QString &) { return exportPath; });
        h.boxes->answers.push_back(MsgYes);
        form.findChild<QPushButton *>(QStringLiteral("ExportButt"))->click();
        QVERIFY(bar->isVisible());
        menuAction(&form, QStringLiteral("Quit"))->trigger();
        QVERIFY(h.programEnded());
        QTest::qWait(300);
        QCOMPARE(h.boxes->titles(), QStringList {"Quit Program"});
        QCOMPARE(QDir(h.folder()).entryList({QStringLiteral("class.csv*")}, QDir::Files), QStringList());
    }
};

int main(int argc, char **argv)
{
    // Times on the grid follow the system's locale; these tests are written
    // for a U.S. one.
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestFluencyForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_fluencyform.moc"
