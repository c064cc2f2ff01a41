// Generating and printing worksheets to a PDF file through the real printing
// service, with the print dialog answered at once: 50 copies of each kind,
// median of several runs. With arguments it prints one job and keeps it, to
// look at:  bench_worksheet <kind 0-4: ten, +, -, x, /> <copies> <file.pdf> [12] [message]

#include "platform/qtprinting.h"
#include "platform/systemrandom.h"
#include "teacher/worksheet.h"

#include <QApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QPrinter>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

using namespace plovista;

namespace {

constexpr std::array<Operation, 5> Kinds = {Operation::FactsOfTen, Operation::Addition, Operation::Subtraction,
                                            Operation::Multiplication, Operation::Division};

bool printJob(const WorksheetRequest &request, int copies, const QString &path, Random &random,
              QPageSize::PageSizeId paper = QPageSize::A4)
{
    QtPrinting printing([&](QPrinter &printer) {
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(path);
        printer.setPageSize(QPageSize(paper));
        printer.setCopyCount(copies);
        return true;
    });
    const PrintOutcome outcome = printing.printPages(
        worksheetTitle(request.operation), [&](int chosen) { return worksheetPages(request, chosen, random); });
    if (!outcome.printed)
        std::fprintf(stderr, "not printed: %s\n", qPrintable(outcome.error));
    return outcome.printed;
}

WorksheetRequest requestFor(Operation operation, FactRange range, const QString &message)
{
    WorksheetRequest request;
    request.operation = operation;
    request.range = range;
    request.message = message;
    request.footer = worksheetFooter(QDate::currentDate());
    return request;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    SystemRandom random;
    const QStringList args = QApplication::arguments();

    if (args.size() >= 4) {
        const auto kind = Kinds[static_cast<std::size_t>(std::clamp(args[1].toInt(), 0, 4))];
        const FactRange range =
            args.size() >= 5 && args[4] == QLatin1String("12") ? FactRange::ZeroToTwelve : FactRange::ZeroToNine;
        const QString message = args.size() >= 6 ? args[5] : QString();
        const QPageSize::PageSizeId paper =
            qEnvironmentVariable("PAPER") == QLatin1String("letter") ? QPageSize::Letter : QPageSize::A4;
        return printJob(requestFor(kind, range, message), args[2].toInt(), args[3], random, paper) ? 0 : 1;
    }

    QTemporaryDir dir;
    constexpr int Copies = 50;
    constexpr int Runs = 7;
    for (const Operation kind : Kinds) {
        const WorksheetRequest request = requestFor(kind, FactRange::ZeroToTwelve, QString(90, QLatin1Char('m')));
        std::vector<double> times;
        for (int run = 0; run < Runs; ++run) {
            QElapsedTimer timer;
            timer.start();
            if (!printJob(request, Copies, dir.filePath(QStringLiteral("bench.pdf")), random))
                return 1;
            times.push_back(static_cast<double>(timer.nsecsElapsed()) / 1e6);
        }
        std::sort(times.begin(), times.end());
        std::printf("%-22s %d copies to PDF: median %.1f ms (fastest %.1f, slowest %.1f)\n",
                    qPrintable(worksheetTitle(kind)), Copies, times[Runs / 2], times.front(), times.back());
    }
    return 0;
}
