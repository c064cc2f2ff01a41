#include "platform/qtprinting.h"
#include "platform/systemrandom.h"
#include "teacher/worksheet.h"

#include <QDate>
#include <QDebug>
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
// size and a number of copies. `printable` is the paper's printable area in
// points from its top left corner.
PrintOutcome printToPdf(const QString &path, QPageSize::PageSizeId paper, int copies, const WorksheetRequest &request,
                        int *asked = nullptr, bool cancel = false, QRectF *printable = nullptr)
{
    SystemRandom random;
    QtPrinting printing([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(paper));
        printer.setCopyCount(copies);
        if (printable)
            *printable = printer.pageLayout().paintRect(QPageLayout::Point);
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

struct PdfWord
{
    QRectF box; // in points from the top left corner of the paper
    QString text;
};

// The words of every page, as pdftotext finds them.
QList<QList<PdfWord>> pdfWords(const QString &pdf)
{
    static const QRegularExpression word(
        QStringLiteral("xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)<"));
    QList<QList<PdfWord>> pages;
    const QStringList pageTexts = pdftotext({QStringLiteral("-bbox"), pdf}).split(QStringLiteral("<page "));
    for (qsizetype i = 1; i < pageTexts.size(); ++i) {
        pages.append(QList<PdfWord>());
        for (const QRegularExpressionMatch &m : word.globalMatch(pageTexts[i]))
            pages.last().append({QRectF(QPointF(m.captured(1).toDouble(), m.captured(2).toDouble()),
                                        QPointF(m.captured(3).toDouble(), m.captured(4).toDouble())),
                                 m.captured(5)});
    }
    return pages;
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
        // Every job is offered a file in the documents folder, made when it
        // is missing: a home of the tests' own.
        QVERIFY(m_home.isValid());
        qputenv("HOME", QFile::encodeName(m_home.path()));
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_home.filePath(QStringLiteral(".config"))));
    }

    // Every copy a worksheet of its own on a page of its own, the message on
    // its own line, the division sign kept, and every page laid out for its
    // paper: as wide as the printable area between equal margins, the rows
    // down the whole printable height, and the footer readable.
    void worksheetsToPdf_data()
    {
        QTest::addColumn<QPageSize::PageSizeId>("paper");
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("copies");
        QTest::newRow("A4, division") << QPageSize::A4 << Operation::Division << 3;
        QTest::newRow("A4, addition") << QPageSize::A4 << Operation::Addition << 1;
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
        QRectF printable;
        const WorksheetRequest request {operation, FactRange::ZeroToTwelve, Message, QStringLiteral("footer")};
        const PrintOutcome outcome = printToPdf(pdf, paper, copies, request, &asked, false, &printable);
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

        const QSizeF size = QPageSize(paper).size(QPageSize::Point);
        const qreal margin = std::max(printable.left(), size.width() - printable.right());
        const QList<QList<PdfWord>> sheets = pdfWords(pdf);
        QCOMPARE(sheets.size(), copies);
        qreal narrowest = size.width();
        for (const QList<PdfWord> &sheet : sheets) {
            QRectF block;
            QList<PdfWord> footers;
            int blanks = 0;
            for (const PdfWord &word : sheet) {
                if (word.text == u"footer")
                    footers.append(word);
                else
                    block |= word.box;
                blanks += word.text.contains(QStringLiteral("__")) ? 1 : 0;
            }
            // Nothing lost off the edge: the blanks of every fact, answer
            // line, name and date are all there, and the footer.
            QCOMPARE(blanks, 52);
            QCOMPARE(footers.size(), 1);
            const QString where = QStringLiteral("block %1, footer %2 on paper %3 by %4")
                                      .arg(QDebug::toString(block), QDebug::toString(footers[0].box))
                                      .arg(size.width())
                                      .arg(size.height());
            QVERIFY2(block.left() > margin - 0.5 && block.right() < size.width() - margin + 0.5, qPrintable(where));
            QVERIFY2(std::abs(block.left() - (size.width() - block.right())) < 1, qPrintable(where));
            narrowest = std::min(narrowest, block.left());
            // The rows run down the sheet to the footer, which stands at the
            // foot of the printable area at no less than 8 points (a Courier
            // letter is 0.6 of its size wide).
            QVERIFY2(block.bottom() - printable.top() > 0.85 * printable.height(), qPrintable(where));
            QVERIFY2(std::abs(footers[0].box.bottom() - printable.bottom()) < 1.5, qPrintable(where));
            QVERIFY2(footers[0].box.width() / (0.6 * 6) > 7.9, qPrintable(where));
        }
        // The widest sheet of the job spans the printable width.
        QVERIFY2(narrowest < margin + 0.5, qPrintable(QString::number(narrowest)));
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

    // The file offered for a PDF is in the documents folder, made when it is
    // missing, under the job's name and the day; a second job that day does
    // not take the first one's place.
    void aPdfIsOfferedInTheDocumentsFolderUnderANameOfItsOwn()
    {
        const QString stem =
            m_home.filePath(QStringLiteral("Documents/Addition Facts ")) + QDate::currentDate().toString(Qt::ISODate);
        QStringList offered;
        QtPrinting printing([&](QPrinter &printer) {
            offered << printer.outputFileName();
            // Written where it was offered, whatever printers this machine has.
            printer.setOutputFormat(QPrinter::PdfFormat);
            return true;
        });
        SystemRandom random;
        const WorksheetRequest request {Operation::Addition, FactRange::ZeroToNine, {}, QStringLiteral("footer")};
        for (int job = 0; job < 2; ++job)
            QVERIFY(printing
                        .printPages(worksheetTitle(Operation::Addition),
                                    [&](int copies) { return worksheetPages(request, copies, random); })
                        .printed);
        QCOMPARE(offered, QStringList({stem + QStringLiteral(".pdf"), stem + QStringLiteral(" (2).pdf")}));
        QVERIFY(QFile::exists(offered[0]) && QFile::exists(offered[1]));
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

private:
    QTemporaryDir m_home;
};

QTEST_MAIN(TestQtPrinting)
#include "test_qtprinting.moc"
