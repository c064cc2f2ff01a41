#include "app/company.h"
#include "app/twips.h"
#include "drill/recordline.h"
#include "records/recordsform.h"
#include "records/recordsview.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"
#include "support/harness.h"

#include <QAccessible>
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <sys/stat.h>

using namespace plovista;
using namespace plovista::test;

namespace {

const QString Example = QStringLiteral("12/06/26   student         +5     H   0->9   10  90|90    2.5|3    0.4  *");

// Where each column's value starts in the example line and how long it is,
// with the heading it belongs under.
struct Column
{
    const char *heading;
    int left; // twips
    int start;
    int length;
};
const Column Columns[] = {
    {"Date", 405, 0, 8},    {"Name", 1395, 11, 7},  {"Activity", 3200, 27, 2}, {"Format", 3900, 34, 1},
    {"Range", 4550, 38, 4}, {"Facts", 5300, 45, 2}, {"A | Goal", 5900, 49, 5}, {"S | Goal", 6900, 58, 5},
    {"Time", 8000, 67, 3},  {"Met?", 8500, 72, 1},
};

const QString Tips[] = {
    QStringLiteral(" date "),
    QStringLiteral(" User  Name "),
    QStringLiteral("  facts activity "),
    QStringLiteral(" facts configuration "),
    QStringLiteral(" variables used "),
    QStringLiteral(" number of facts "),
    QStringLiteral(" accuracy | accuracy goal "),
    QStringLiteral(" speed  | speed goal "),
    QStringLiteral(" minutes spent "),
    QStringLiteral(" goals met? "),
};

const QString HelpLines = QStringLiteral("Activity :  x 8  =  fact 8  multiplication, etc,  F10 = facts of ten\n\n"
                                         "Format :  V = vertical     H = horizontal\n\n"
                                         "Facts :  number of facts\n\n"
                                         "Range :  range of variables used \n\n"
                                         "A|Goal :  percentage score | percentage goal.\n\n"
                                         "S|Goal :  average seconds per fact | speed goal\n\n"
                                         "Time :  minutes spent on activity  ( Inc = incomplete )\n\n"
                                         "Met ? :  *  means accuracy and speed goals were met");

QString madtrPath(Harness &h)
{
    return QDir(h.folder()).filePath(QStringLiteral("Madtr"));
}

void writeMadtr(Harness &h, const QByteArray &bytes)
{
    QFile file(madtrPath(h));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

// `count` records, the example first, the others by numbered students.
QByteArray records(int count)
{
    QByteArray bytes = Example.toLatin1() + "\r\n";
    for (int i = 1; i < count; ++i) {
        RecordFields r;
        r.date = QDate(2026, 12, 6);
        r.name = QStringLiteral("Student %1").arg(i);
        r.activityCode = QStringLiteral("x7");
        r.formatCode = QStringLiteral("V");
        r.rangeCode = QStringLiteral("0->12");
        r.factsCount = 20;
        r.accuracy = 95.0f;
        r.accuracyGoal = QStringLiteral("90");
        r.speed = 2.0;
        r.speedGoal = QStringLiteral("3");
        r.minutesSpent = 40 / 60.0;
        bytes += encodeWindows1252(recordLine(r, QLocale::c()));
    }
    return bytes;
}

RecordsForm *viewer(Harness &h)
{
    return h.app().existingRecordsForm();
}

RecordsView *box(Harness &h)
{
    return h.findIn<RecordsView>(QStringLiteral("RecordsForm"), QStringLiteral("RecordsBox"));
}

QAction *action(QWidget *window, const QString &name)
{
    for (QAction *a : window->findChildren<QAction *>())
        if (a->objectName() == name)
            return a;
    return nullptr;
}

// The unloaded viewer is deleted once the event loop gets to it.
void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

} // namespace

class TestRecordsForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void fortyRecordsScrollUnchanged()
    {
        Harness h;
        h.start();
        writeMadtr(h, records(40));
        h.app().recordsForm().openForStudent();
        QWidget *window = h.window(QStringLiteral("RecordsForm"));
        QVERIFY(window && window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Current Records"));
        QCOMPARE(box(h)->toPlainText(),
                 decodeWindows1252(records(40)).replace(QLatin1String("\r\n"), QLatin1String("\n")));
        QTRY_VERIFY(box(h)->verticalScrollBar()->isVisible());
        QCOMPARE(box(h)->verticalScrollBar()->maximum() > 0, true);
        // A whole record fits beside the scroll bar.
        QTRY_VERIFY(!box(h)->horizontalScrollBar()->isVisible());
        QVERIFY(h.boxes->asked.empty());
        settle();
    }

    void headingsStandInTwoRows()
    {
        Harness h;
        h.start();
        writeMadtr(h, records(1));
        h.app().recordsForm().openForStudent();
        for (int i = 0; i < 20; ++i) {
            const Column &column = Columns[i % 10];
            auto *label = h.findIn<QLabel>(QStringLiteral("RecordsForm"), QStringLiteral("Label%1").arg(i + 1));
            QVERIFY2(label, qPrintable(QStringLiteral("Label%1").arg(i + 1)));
            QVERIFY(label->isVisible());
            QCOMPARE(label->text(), QLatin1String(column.heading));
            QCOMPARE(label->toolTip(), Tips[i % 10]);
            QCOMPARE(label->x(), twips(column.left));
            QCOMPARE(label->y(), twips(i < 10 ? 120 : 7245));
        }
        settle();
    }

    // In the box's fixed-pitch font each value lies under its own heading
    // and under no other.
    void columnsStandUnderTheirHeadings()
    {
        Harness h;
        h.start();
        writeMadtr(h, records(1));
        h.app().recordsForm().openForStudent();
        RecordsView *view = box(h);
        QWidget *client = view->parentWidget();
        const auto xAt = [view, client](int column) {
            return view->viewport()->mapTo(client, view->cellPosition(0, column)).x();
        };
        QList<QLabel *> headings;
        for (int i = 1; i <= 10; ++i)
            headings << h.findIn<QLabel>(QStringLiteral("RecordsForm"), QStringLiteral("Label%1").arg(i));
        for (int c = 0; c < 10; ++c) {
            const int from = xAt(Columns[c].start);
            const int to = xAt(Columns[c].start + Columns[c].length);
            for (int other = 0; other < 10; ++other) {
                const QLabel *heading = headings[other];
                const bool overlaps = from < heading->x() + heading->width() && heading->x() < to;
                QVERIFY2(overlaps == (other == c),
                         qPrintable(QStringLiteral("%1 value %2..%3, heading %4 %5..%6")
                                        .arg(QLatin1String(Columns[c].heading))
                                        .arg(from)
                                        .arg(to)
                                        .arg(heading->text())
                                        .arg(heading->x())
                                        .arg(heading->x() + heading->width())));
            }
        }
        settle();
    }

    void aCommaInANameIsShownWhole()
    {
        Harness h;
        h.start();
        const QByteArray line = "12/06/26   Smith, Bob      +5     H   0->9   10  90|90    2.5|3    0.4  *\r\n";
        writeMadtr(h, line + "12/06/26   Ren\xE9 Dupont     x3     V   0->9   10  80|90    4|3      0.6  \r\n");
        h.app().recordsForm().openForStudent();
        const QStringList lines = box(h)->toPlainText().split(QLatin1Char('\n'));
        QCOMPARE(lines.value(0), QString::fromLatin1(line.chopped(2)));
        QCOMPARE(lines.value(1),
                 QStringLiteral("12/06/26   Ren\u00E9 Dupont     x3     V   0->9   10  80|90    4|3      0.6  "));
        settle();
    }

    void theKeysScrollThroughTheRecords()
    {
        Harness h;
        h.start();
        writeMadtr(h, records(40));
        h.app().recordsForm().openForStudent();
        RecordsView *view = box(h);
        view->setFocus();
        QTRY_VERIFY(view->verticalScrollBar()->isVisible());
        QCOMPARE(view->firstVisibleLine(), 0);
        QTest::keyClick(view, Qt::Key_Down);
        QCOMPARE(view->firstVisibleLine(), 1);
        QTest::keyClick(view, Qt::Key_PageDown);
        QVERIFY(view->firstVisibleLine() > 10);
        // The last record comes into sight, whole, at the bottom of the box.
        QTest::keyClick(view, Qt::Key_End, Qt::ControlModifier);
        const qsizetype last = view->lineCount() - 2; // the file ends with a line end
        QCOMPARE(view->line(last), decodeWindows1252(records(40)).split(QStringLiteral("\r\n")).value(39));
        const int bottom = view->cellPosition(last, 0).y() + view->fontMetrics().lineSpacing();
        QVERIFY(bottom <= view->viewport()->height());
        QVERIFY(bottom > 0);
        QTest::keyClick(view, Qt::Key_Home, Qt::ControlModifier);
        QCOMPARE(view->firstVisibleLine(), 0);
        settle();
    }

    void aScreenReaderReadsTheRecordsInSight()
    {
        Harness h;
        h.start();
        writeMadtr(h, records(40));
        h.app().recordsForm().openForStudent();
        RecordsView *view = box(h);
        QAccessibleInterface *reader = QAccessible::queryAccessibleInterface(view);
        QVERIFY(reader);
        QCOMPARE(reader->text(QAccessible::Name), QStringLiteral("Current Records"));
        const QStringList heard = reader->text(QAccessible::Value).split(QLatin1Char('\n'));
        QCOMPARE(heard.size(), view->linesShown());
        QCOMPARE(heard.first(), view->line(0));
        view->setFocus();
        QTest::keyClick(view, Qt::Key_PageDown);
        QCOMPARE(reader->text(QAccessible::Value).split(QLatin1Char('\n')).first(),
                 view->line(view->firstVisibleLine()));
        settle();
    }

    void noRecordsSendTheStudentBack_data()
    {
        QTest::addColumn<bool>("exists");
        QTest::newRow("empty file") << true;
        QTest::newRow("no file yet") << false;
    }
    void noRecordsSendTheStudentBack()
    {
        QFETCH(bool, exists);
        Harness h;
        h.start();
        if (exists)
            writeMadtr(h, QByteArray());
        h.boxes->onAsk = [&h](const FakeMessageBoxes::Asked &) {
            QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        };
        h.app().recordsForm().openForStudent();
        QCOMPARE(h.boxes->asked.size(), std::size_t(1));
        QCOMPARE(h.boxes->asked[0].text, QStringLiteral("There are no current records."));
        QCOMPARE(h.boxes->asked[0].title, QStringLiteral("No Current Records"));
        QCOMPARE(h.boxes->asked[0].buttons, MsgButtons::Ok);
        QVERIFY(!viewer(h));
        settle();
        QVERIFY(!h.window(QStringLiteral("RecordsForm")));
        QCOMPARE(QFile::exists(madtrPath(h)), exists);
    }

    // A "Madtr" that cannot be read is told as such, not as no records, and
    // a named pipe in its place does not hold up the viewer.
    void unreadableRecordsAreToldWithTheReason_data()
    {
        QTest::addColumn<bool>("teacher");
        QTest::addColumn<bool>("pipe");
        QTest::addColumn<QString>("why");
        QTest::newRow("student, a folder") << false << false << "it is a folder, not a file";
        QTest::newRow("student, a named pipe") << false << true << "it is not a plain file";
        QTest::newRow("teacher, a folder") << true << false << "it is a folder, not a file";
    }
    void unreadableRecordsAreToldWithTheReason()
    {
        QFETCH(bool, teacher);
        QFETCH(bool, pipe);
        QFETCH(QString, why);
        Harness h;
        h.start();
        if (pipe)
            QCOMPARE(::mkfifo(QFile::encodeName(madtrPath(h)).constData(), 0644), 0);
        else
            QVERIFY(QDir(h.folder()).mkdir(QStringLiteral("Madtr")));

        if (teacher)
            QVERIFY(!h.app().recordsForm().openForTeacher());
        else
            h.app().recordsForm().openForStudent();
        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Records Not Read")});
        const QString told = h.boxes->asked.front().text;
        QVERIFY(told.contains(
            QStringLiteral("The current records file \"Madtr\" cannot be read: %1 (%2).").arg(why, madtrPath(h))));
        QCOMPARE(told.contains(QStringLiteral("teacher")), !teacher);
        QCOMPARE(h.boxes->asked.front().icon, MsgIcon::Critical);
        QVERIFY(!viewer(h));
        if (!teacher)
            QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        settle();
    }

    void theStudentViewClosesToTheOperationMenu()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.settings().setForThisRun(keys::PerchStyle, QStringLiteral("Standard"));
        writeMadtr(h, records(3));
        h.app().recordsForm().openForStudent();
        QWidget *window = h.window(QStringLiteral("RecordsForm"));
        QVERIFY(!action(window, QStringLiteral("PrintRecords"))->isVisible());
        action(window, QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Records"));
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))->text(), HelpLines);

        h.character->log.clear();
        window->close();
        QVERIFY(!h.window(QStringLiteral("AssistForm"))->isVisible());
        QCOMPARE(h.character->log, QStringList({"show", "move 40,150"}));
        QVERIFY(h.window(QStringLiteral("MainMenu"))->isVisible());
        QVERIFY(!h.app().company().isEnabled());
        QVERIFY(!viewer(h));
        settle();
        QVERIFY(!h.window(QStringLiteral("RecordsForm")));
    }

    void theTeacherViewPrintsAndClosesToTheSubMenu()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.settings().setForThisRun(keys::PeedyTeacher, false);
        writeMadtr(h, records(3));
        RecordsForm &form = h.app().recordsForm();
        QSignalSpy closed(&form, &RecordsForm::teacherViewClosed);
        QVERIFY(form.openForTeacher());
        QVERIFY(form.isVisible());
        QVERIFY(action(&form, QStringLiteral("PrintRecords"))->isVisible());
        action(&form, QStringLiteral("Help"))->trigger();
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"))->text(),
                 HelpLines + QStringLiteral("\n\n         Press the Print button to print these records."));

        h.character->log.clear();
        form.close();
        QCOMPARE(closed.count(), 1);
        // Peedy stays away from the teacher who does not want him.
        QCOMPARE(h.character->log, QStringList());
        QVERIFY(!h.window(QStringLiteral("MainMenu")) || !h.window(QStringLiteral("MainMenu"))->isVisible());
        QVERIFY(!viewer(h));
        settle();
    }

    void theTeacherIsToldByTheSubMenu()
    {
        Harness h;
        h.start();
        QVERIFY(!h.app().recordsForm().openForTeacher());
        QVERIFY(h.boxes->asked.empty());
        QVERIFY(!viewer(h));
        settle();
        QVERIFY(!h.window(QStringLiteral("RecordsForm")));
    }

    void printing_data()
    {
        QTest::addColumn<int>("answer");
        QTest::addColumn<bool>("printed");
        QTest::addColumn<bool>("cancelled");
        QTest::addColumn<QStringList>("titles");
        QTest::newRow("no") << int(MsgNo) << true << false << QStringList {"Print Records Form"};
        QTest::newRow("printed") << int(MsgYes) << true << false << QStringList {"Print Records Form", "Printing"};
        QTest::newRow("printer fails") << int(MsgYes) << false << false
                                       << QStringList {"Print Records Form", "Printer Error"};
        QTest::newRow("dialog cancelled") << int(MsgYes) << false << true << QStringList {"Print Records Form"};
    }
    void printing()
    {
        QFETCH(int, answer);
        QFETCH(bool, printed);
        QFETCH(bool, cancelled);
        QFETCH(QStringList, titles);

        Harness h;
        h.start();
        writeMadtr(h, records(40));
        RecordsForm &form = h.app().recordsForm();
        QVERIFY(form.openForTeacher());
        h.printing->outcome = {printed, cancelled, printed ? QString() : QStringLiteral("no printer")};
        h.boxes->answers = {answer};
        action(&form, QStringLiteral("PrintRecords"))->trigger();

        QCOMPARE(h.boxes->titles(), titles);
        QCOMPARE(h.boxes->asked[0].text,
                 QStringLiteral("The printer will print only the records that are visible in this records form. "
                                "Do you want to print this form?"));
        QCOMPARE(h.boxes->asked[0].buttons, MsgButtons::YesNo);
        if (titles.size() > 1)
            QCOMPARE(h.boxes->asked[1].text,
                     printed ? QStringLiteral("Printing records form.....")
                             : QStringLiteral("There was a problem printing the records "
                                              "form.  Please check your printer."));
        QVERIFY(form.isVisible());
        if (answer == MsgNo) {
            QVERIFY(h.printing->images.empty());
            settle();
            return;
        }
        // The window's client area as it shows: headings and the lines in view.
        QCOMPARE(h.printing->images.size(), std::size_t(1));
        const QImage image = h.printing->images[0];
        QWidget *client = box(h)->parentWidget();
        QCOMPARE(image.size(), client->size() * client->devicePixelRatio());
        QCOMPARE(image, client->grab().toImage());
        QCOMPARE(h.printing->jobs, QStringList {QStringLiteral("Current Records")});
        settle();
    }
};

int main(int argc, char **argv)
{
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestRecordsForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_recordsform.moc"
