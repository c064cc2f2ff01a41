// plovista-report: the class's fluency export for a school's nightly job,
// without a display.
#include "fluency/classreport.h"

#include <QCoreApplication>
#include <QDate>

#include <csignal>
#include <cstdio>

namespace {

plovista::WorkProgress progress;

// A job stopped half way (Ctrl+C, a timeout's SIGTERM) leaves the file it was
// to replace as it was, and nothing beside it.
extern "C" void stopExport(int)
{
    progress.cancel();
}

void say(std::FILE *stream, const QString &text)
{
    if (text.isEmpty())
        return;
    const QByteArray bytes = (text.endsWith(u'\n') ? text : text + u'\n').toLocal8Bit();
    std::fputs(bytes.constData(), stream);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("plovista-report"));
    const auto parsed = plovista::parseClassReportArguments(QCoreApplication::arguments());
    if (const auto *outcome = std::get_if<plovista::ClassReportOutcome>(&parsed)) {
        const bool help = outcome->status == 0;
        say(help ? stdout : stderr, help ? outcome->text : QStringLiteral("plovista-report: ") + outcome->text);
        return outcome->status;
    }
    std::signal(SIGINT, stopExport);
    std::signal(SIGTERM, stopExport);
    const plovista::ClassReportOutcome outcome =
        plovista::runClassReport(std::get<plovista::ClassReportRequest>(parsed), QDate::currentDate(), &progress);
    if (outcome.status != 0)
        say(stderr, QStringLiteral("plovista-report: ") + outcome.text);
    return outcome.status;
}
