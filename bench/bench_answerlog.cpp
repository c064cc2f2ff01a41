// Writing an answer to the log must never hold up the drill window: the
// window hands the answer to the writer's queue, and the writer's thread
// appends it. Both costs are measured per call, with a log of 100,000 lines,
// and reported as percentiles (a benchmark library's mean hides the tail).

#include "fluency/answerlog.h"
#include "fluency/answerlogwriter.h"
#include "settings/textfile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

using namespace plovista;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int LogLines = 100'000;

AnswerEntry sampleEntry(int sequence)
{
    AnswerEntry e;
    e.drillId = QStringLiteral("3f2504e0-4f89-41d3-9a0c-0305e82c3301");
    e.sequence = sequence;
    e.id = e.drillId + u'-' + QString::number(sequence);
    e.time = QDateTime(QDate(2026, 12, 6), QTime(10, 0, 0), Qt::OffsetFromUTC, 3600);
    e.student = QStringLiteral("Ann Lee");
    e.operation = Operation::Multiplication;
    e.left = sequence % 13;
    e.right = 7;
    e.expected = e.left * 7;
    e.given = e.expected;
    e.correct = true;
    e.ms = 1800;
    e.msAfterReading = 900;
    e.format = QStringLiteral("H");
    e.range = QStringLiteral("0->12");
    e.version = QStringLiteral("7.1");
    e.computer = QStringLiteral("ROOM4-PC1");
    return e;
}

struct Percentiles
{
    double p50, p99, max;
};

Percentiles percentiles(std::vector<double> us)
{
    std::sort(us.begin(), us.end());
    const auto at = [&](double q) { return us[static_cast<std::size_t>(q * double(us.size() - 1))]; };
    return {at(0.50), at(0.99), us.back()};
}

void report(const char *what, int calls, const Percentiles &p)
{
    std::printf("%-52s %6d calls  p50 %8.2f us  p99 %8.2f us  max %9.2f us\n", what, calls, p.p50, p.p99, p.max);
}

bool prepareLog(const QString &folder)
{
    QDir().mkpath(folder);
    QFile file(QDir(folder).filePath(answerLogFileName(QStringLiteral("Ann Lee"), QStringLiteral("ROOM4-PC1"))));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(answerLogHeader().toUtf8());
    QByteArray block;
    for (int i = 1; i <= LogLines; ++i) {
        block += answerLogLine(sampleEntry(i)).toUtf8();
        if (i % 1000 == 0) {
            if (file.write(block) != block.size())
                return false;
            block.clear();
        }
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir dir;
    const QString folder = dir.filePath(QStringLiteral("Log"));
    if (!dir.isValid() || !prepareLog(folder)) {
        std::fprintf(stderr, "cannot prepare the log\n");
        return 1;
    }
    const QString path =
        QDir(folder).filePath(answerLogFileName(QStringLiteral("Ann Lee"), QStringLiteral("ROOM4-PC1")));
    std::printf("log of %d lines, %lld bytes\n", LogLines, static_cast<long long>(QFile(path).size()));

    // What the writer's thread does for each answer: build the line and
    // append it under the file's lock.
    constexpr int Appends = 5000;
    std::vector<double> appendUs;
    for (int i = 0; i < Appends; ++i) {
        const AnswerEntry entry = sampleEntry(LogLines + 1 + i);
        const auto start = Clock::now();
        const WriteResult result = appendTextFile(path, answerLogLine(entry), TextEncoding::Utf8, answerLogHeader());
        appendUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        if (!result.ok) {
            std::fprintf(stderr, "%s\n", qPrintable(result.error));
            return 1;
        }
    }
    report("append one answer (the writer's thread)", Appends, percentiles(appendUs));

    // What the drill window does: hand the answer over and go on, while the
    // writer's thread appends the earlier ones.
    constexpr int Handed = 20000;
    std::vector<double> handUs;
    {
        AnswerLogWriter writer(folder);
        for (int i = 0; i < Handed; ++i) {
            AnswerEntry entry = sampleEntry(LogLines + Appends + 1 + i);
            const auto start = Clock::now();
            writer.append(std::move(entry));
            handUs.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
            // A student answers every second or so; here a little work
            // between answers lets the writer's thread run alongside.
            if (i % 10 == 0)
                writer.flush();
        }
        writer.flush();
    }
    report("hand one answer to the writer (the drill window)", Handed, percentiles(handUs));
    return 0;
}
