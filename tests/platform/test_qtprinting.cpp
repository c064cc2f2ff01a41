#include "platform/qtprinting.h"
#include "platform/systemrandom.h"
#include "teacher/worksheet.h"

#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

using namespace plovista;

Q_DECLARE_METATYPE(plovista::Operation)

namespace {

const QString Message =
    QStringLiteral("Bring this sheet back on Friday. Bring this sheet back on Friday. Bring this sheet "
                   "back on");

// The real printing service with its dialog answered: a PDF file, a paper
// size and a number of copies.
PrintOutcome printToPdf(const QString &path, QPageSize::PageSizeId paper, int copies, const WorksheetRequest &request,
                        int *asked = nullptr, bool cancel = false)
{
    SystemRandom random;
    QtPrinting printing([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(paper));
        printer.setCopyCount(copies);
        return !cancel;
    });
    return printing.printPages(QStringLiteral("Worksheet"), [&](int chosen) {
        if (asked)
            *asked = chosen;
        return worksheetPages(request, chosen, random);
    });
}

QString pdftotext(const QStringList &arguments)
{
    QProcess process;
    process.start(QStringLiteral("pdftotext"), arguments + QStringList {QStringLiteral("-")});
    process.waitForFinished(-1);
    return QString::fromUtf8(process.readAllStandardOutput());
}

} // namespace

class TestQtPrinting : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty())
            QSKIP("pdftotext (poppler-utils) is not installed");
    }

    // Every copy a worksheet of its own on a page of its own, the message on
    // its own line, the division sign kept, and nothing lost off the edge of
    // the paper with the widest rows (the range 0 to 12).
    void worksheetsToPdf_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("copies");
        QTest::newRow("A4, division") << QPageSize::A4 << Operation::Division << 3;
        QTest::newRow("Letter, division") << QPageSize::Letter << Operation::Division << 1;
        QTest::newRow("Letter, multiplication") << QPageSize::Letter << Operation::Multiplication << 2;
    }
    void worksheetsToPdf()
    {
        QFETCH(QPageSize::PageSizeId, paper);
        QFETCH(Operation, operation);
        QFETCH(int, copies);
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheets.pdf"));
        int asked = 0;
        const WorksheetRequest request {operation, FactRange::ZeroToTwelve, Message, QStringLiteral("footer")};
        const PrintOutcome outcome = printToPdf(pdf, paper, copies, request, &asked);
        QVERIFY2(outcome.printed, qPrintable(outcome.error));
        QCOMPARE(asked, copies);

        QStringList pages = pdftotext({QStringLiteral("-fixed"), QStringLiteral("6"), pdf}).split(u'\f');
        pages.removeAll(QString());
        QCOMPARE(pages.size(), copies);
        for (const QString &page : std::as_const(pages)) {
            QStringList lines = page.split(u'\n');
            for (QString &line : lines)
                line = line.simplified();
            QVERIFY(lines.contains(Message));
            QCOMPARE(page.count(QStringLiteral("\u00F7")), operation == Operation::Division ? 25 : 0);
        }
        QCOMPARE(QSet<QString>(pages.begin(), pages.end()).size(), copies);

        // Words beyond the paper are lost: the blanks of every fact, answer
        // line, name and date must all be there, and every footer.
        const QString boxes = pdftotext({QStringLiteral("-bbox"), pdf});
        const QSizeF size = QPageSize(paper).size(QPageSize::Point);
        static const QRegularExpression word(QStringLiteral("xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<"));
        int blanks = 0;
        for (const QRegularExpressionMatch &m : word.globalMatch(boxes)) {
            blanks += m.captured(3).contains(QStringLiteral("__")) ? 1 : 0;
            QVERIFY2(m.captured(1).toDouble() <= size.width() && m.captured(2).toDouble() <= size.height(),
                     qPrintable(m.captured(3)));
        }
        QCOMPARE(blanks, 52 * copies);
        QCOMPARE(boxes.count(QStringLiteral(">footer<")), copies);
    }

    void cancelAsksForNothingAndAFailureIsReported()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("sheet.pdf"));
        int asked = 0;
        const PrintOutcome cancelled = printToPdf(pdf, QPageSize::A4, 1, {}, &asked, true);
        QVERIFY(cancelled.cancelled && !cancelled.printed);
        QCOMPARE(asked, 0);
        QVERIFY(!QFile::exists(pdf));

        const PrintOutcome failed =
            printToPdf(dir.filePath(QStringLiteral("no/such/folder/sheet.pdf")), QPageSize::A4, 1, {});
        QVERIFY(!failed.printed && !failed.cancelled);
        QVERIFY(!failed.error.isEmpty());
    }

    // A drawn page is given the printable area: a word at its far corner
    // lands inside the paper's margins, wherever they are.
    void aDrawnPageReachesTheCornerOfThePrintableArea()
    {
        QTemporaryDir dir;
        const QString pdf = dir.filePath(QStringLiteral("drawn.pdf"));
        QtPrinting printing([&](QPrinter &printer) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            printer.setPageSize(QPageSize(QPageSize::Letter));
            return true;
        });
        const PrintOutcome outcome =
            printing.printPainted(QStringLiteral("Drawn"), [&](QPainter &p, const QRectF &page) {
                p.setFont(QFont(QStringLiteral("DejaVu Sans"), 12));
                p.drawText(page, Qt::AlignRight | Qt::AlignBottom, QStringLiteral("corner"));
            });
        QVERIFY(outcome.printed);
        const QString boxes = pdftotext({QStringLiteral("-bbox"), pdf});
        const QRegularExpressionMatch word =
            QRegularExpression(
                QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"[\\d.]+\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">corner<"))
                .match(boxes);
        QVERIFY2(word.hasMatch(), qPrintable(boxes));
        // Letter is 612 by 792 points; the margins are 10 mm (28.3 points).
        QVERIFY(word.captured(2).toDouble() > 612 - 28.3 - 5 && word.captured(2).toDouble() <= 612 - 28.3 + 1);
        QVERIFY(word.captured(3).toDouble() > 792 - 28.3 - 5 && word.captured(3).toDouble() <= 792 - 28.3 + 1);
    }
};

QTEST_MAIN(TestQtPrinting)
#include "test_qtprinting.moc"
