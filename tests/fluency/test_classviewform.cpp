#include "fluency/answerlogwriter.h"
#include "fluency/classviewform.h"
#include "fluency/fluencyform.h"
#include "fluency/gridpainter.h"
#include "settings/textfile.h"
#include "support/harness.h"

#include <QBuffer>
#include <QDir>
#include <QListWidget>
#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>

using namespace plovista;
using namespace plovista::test;

namespace {

QString pdfText(const QByteArray &pdf, const QString &folder)
{
    const QString pdfPath = QDir(folder).filePath(QStringLiteral("page.pdf"));
    const QString textPath = QDir(folder).filePath(QStringLiteral("page.txt"));
    QFile file(pdfPath);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        return {};
    file.close();
    if (QProcess::execute(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdfPath, textPath}) != 0)
        return {};
    return readTextFile(textPath).value_or(QString());
}

// "v x family", right in ms (0: wrong), as the student's drill of that day logged it.
void answer(AnswerLogWriter &log, const QString &student, const QDate &day, int sequence, int value, int family, int ms)
{
    AnswerEntry e;
    e.drillId = QStringLiteral("%1-%2").arg(student, day.toString(Qt::ISODate));
    e.sequence = sequence;
    e.id = e.drillId + u'-' + QString::number(sequence);
    e.time = QDateTime(day, QTime(9, 0).addSecs(sequence * 10));
    e.student = student;
    e.operation = Operation::Multiplication;
    e.left = value;
    e.right = family;
    e.expected = value * family;
    e.correct = ms > 0;
    e.given = e.correct ? e.expected : e.expected + 1;
    e.ms = e.correct ? ms : 4000;
    e.format = QStringLiteral("H");
    e.range = QStringLiteral("0->12");
    e.computer = QStringLiteral("ROOM4-PC1");
    log.append(e);
}

} // namespace

class TestClassViewForm : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A fact to teach shows no time, whatever times its right answers had;
    // a slow one shows its time; the footer counts the facts drilled.
    void aFactToTeachShowsNoTime()
    {
        FluencyGrid grid;
        grid.student = QStringLiteral("Ann Lee");
        grid.operation = Operation::Multiplication;
        grid.today = QDate(2026, 12, 6);
        grid.cells.resize(169);
        for (GridCell &cell : grid.cells)
            cell.isFact = cell.drilled = true;
        grid.automaticInRow.assign(13, 0);
        grid.facts = 143;
        GridCell &missed = grid.cells[7 * 13 + 3];
        missed.status = FactStatus::NeedsWork;
        missed.ms = 2345;
        GridCell &slow = grid.cells[7 * 13 + 4];
        slow.status = FactStatus::Slow;
        slow.ms = 4567;

        QTemporaryDir dir;
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        {
            QPdfWriter writer(&buffer);
            QPainter painter(&writer);
            paintFluencyGrid(painter, QRectF(0, 0, writer.width(), writer.height()), grid);
        }
        const QString printed = pdfText(buffer.data(), dir.path());
        QVERIFY2(!printed.isEmpty(), "pdftotext could not read the page");
        QVERIFY2(printed.contains(QStringLiteral("4.6")), qPrintable(printed));
        QVERIFY2(!printed.contains(QStringLiteral("2.3")), qPrintable(printed));
        QVERIFY(printed.contains(QStringLiteral("Knows it: 0 of 143 facts drilled")));
        QVERIFY2(printed.contains(QStringLiteral("Teach it: the latest answer")), qPrintable(printed));
    }

    // From the grid to the class view and back: two students by families,
    // the hardest facts, printed on one page.
    void theClassViewFromTheGrid()
    {
        Harness h;
        h.start();
        const QDate day1(2026, 12, 1);
        const QDate day2(2026, 12, 2);
        AnswerLogWriter &log = h.app().answerLog();
        for (int v = 0; v <= 12; ++v) {
            answer(log, QStringLiteral("Ann Lee"), day1, v + 1, v, 7, 1200);
            answer(log, QStringLiteral("Ann Lee"), day2, v + 1, v, 7, 1300);
        }
        answer(log, QStringLiteral("Ben Cho"), day1, 1, 8, 7, 0);
        answer(log, QStringLiteral("Ben Cho"), day1, 2, 6, 7, 5000);

        QWidget utilityMenu;
        utilityMenu.show();
        h.app().openFluencyGrid(utilityMenu);
        FluencyForm &grid = h.app().fluencyForm();
        auto *classButt = grid.findChild<QPushButton *>(QStringLiteral("ClassButt"));
        QTRY_VERIFY(classButt->isEnabled());
        // The class view fits the screen's free area (the offscreen screen's
        // 800x800), smaller than the size it asks for.
        classButt->click();
        ClassViewForm &form = h.app().classViewForm();
        QVERIFY(form.isVisible() && !grid.isVisible());
        QVERIFY2(form.screen()->availableGeometry().contains(form.frameGeometry()),
                 qPrintable(QStringLiteral("%1x%2").arg(form.width()).arg(form.height())));
        QTRY_VERIFY(form.view());
        const ClassView &view = *form.view();
        QCOMPARE(view.operation, Operation::Multiplication);
        QCOMPARE(view.students.size(), std::size_t(2));
        QCOMPARE(view.hardest.size(), std::size_t(1));
        QCOMPARE(factText(view.hardest[0].cell), QStringLiteral("8 x 7"));
        QCOMPARE(form.findChild<QWidget *>(QStringLiteral("ClassPanel"))->accessibleName(),
                 QStringLiteral("Class: Multiplication"));

        form.findChild<QPushButton *>(QStringLiteral("PrintButt"))->click();
        QCOMPARE(h.printing->pdfs.size(), std::size_t(1));
        const QString printed = pdfText(h.printing->pdfs[0], h.folder());
        for (const char *expected :
             {"Class: Multiplication", "Ann Lee", "Ben Cho", "x7", "100%", "13 of 143", "teach it: 1", "12/2/26"})
            QVERIFY2(printed.contains(QLatin1String(expected)),
                     qPrintable(expected + QStringLiteral(" in ") + printed));
        QVERIFY(QString(printed).remove(u' ').contains(QStringLiteral("1.8x7")));

        form.close();
        QVERIFY(grid.isVisible());
    }

    // A child a week without practice is listed under the class, in the
    // window under its caption and on the page; one of six days is not.
    void theChildrenNotPractisingOnScreenAndOnPaper()
    {
        Harness h;
        h.start();
        const QDate today = h.clock->now().date();
        AnswerLogWriter &log = h.app().answerLog();
        answer(log, QStringLiteral("Ann Lee"), today.addDays(-6), 1, 3, 7, 1200);
        answer(log, QStringLiteral("Ben Cho"), today.addDays(-7), 1, 3, 7, 1200);

        QWidget opener;
        opener.show();
        ClassViewForm &form = h.app().classViewForm();
        form.openFrom(opener, Operation::Multiplication);
        QTRY_VERIFY(form.view());
        auto *list = form.findChild<QListWidget *>(QStringLiteral("PracticeGapsList"));
        QVERIFY(list && list->isVisible());
        QCOMPARE(list->accessibleName(), QStringLiteral("Not practised for 7 days or more (any operation)"));
        QCOMPARE(list->count(), 1);
        QCOMPARE(list->item(0)->text(), QStringLiteral("Ben Cho: 11/29/26"));

        form.findChild<QPushButton *>(QStringLiteral("PrintButt"))->click();
        QCOMPARE(h.printing->pdfs.size(), std::size_t(1));
        const QString printed = pdfText(h.printing->pdfs[0], h.folder());
        QVERIFY2(printed.contains(QStringLiteral("Not practised for 7 days or more")), qPrintable(printed));
        QVERIFY2(printed.contains(QStringLiteral("Ben Cho: 11/29/26")) && !printed.contains(QStringLiteral("Ann Lee:")),
                 qPrintable(printed));
    }
};

int main(int argc, char **argv)
{
    // Dates on the page follow the system's locale; these tests are written
    // for a U.S. one.
    qputenv("LC_ALL", "en_US.UTF-8");
    QApplication app(argc, argv);
    TestClassViewForm test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_classviewform.moc"
