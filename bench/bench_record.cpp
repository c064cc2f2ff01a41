// Appending a record must cost the same however long the current records
// file has grown: a class's file only ever gets longer, and the score screen
// waits for the append.

#include "drill/recordline.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdlib>

using namespace plovista;

namespace {

RecordFields sampleRecord()
{
    RecordFields r;
    r.date = QDate(2026, 12, 6);
    r.name = QStringLiteral("student");
    r.activityCode = QStringLiteral("+5");
    r.formatCode = QStringLiteral("H");
    r.rangeCode = QStringLiteral("0->9");
    r.factsCount = 10;
    r.accuracy = 90.0f;
    r.accuracyGoal = QStringLiteral("90");
    r.speed = 2.5;
    r.speedGoal = QStringLiteral("3");
    r.minutesSpent = 25 / 60.0;
    return r;
}

// A working folder whose Madtr already holds `lines` records.
bool prepareFolder(const QTemporaryDir &dir, qint64 lines)
{
    QFile file(QDir(dir.path()).filePath(CurrentRecordsFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray line = encodeWindows1252(recordLine(sampleRecord(), QLocale::c()));
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += line;
    for (qint64 written = 0; written < lines; written += 1000) {
        const QByteArray part = lines - written >= 1000 ? block : line.repeated(int(lines - written));
        if (file.write(part) != part.size())
            return false;
    }
    return true;
}

void BM_AppendRecord(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !prepareFolder(dir, state.range(0))) {
        state.SkipWithError("cannot prepare the working folder");
        return;
    }
    const QString path = QDir(dir.path()).filePath(CurrentRecordsFile);
    const qint64 startSize = QFileInfo(path).size();
    const RecordFields record = sampleRecord();
    const QLocale locale = QLocale::c();
    qint64 appended = 0;
    for (auto _ : state) {
        const WriteResult result = appendRecord(dir.path(), record, locale);
        if (!result.ok) {
            state.SkipWithError(result.error.toLocal8Bit().constData());
            break;
        }
        // Cut the file back now and then, untimed, so the small file stays
        // small however many iterations the library runs.
        if (++appended % 1000 == 0) {
            state.PauseTiming();
            QFile::resize(path, startSize);
            state.ResumeTiming();
        }
    }
    state.counters["file_kB"] = double(startSize) / 1e3;
}
BENCHMARK(BM_AppendRecord)->Arg(10)->Arg(100000)->Unit(benchmark::kMicrosecond);

void BM_RecordLine(benchmark::State &state)
{
    const RecordFields record = sampleRecord();
    const QLocale locale = QLocale::c();
    for (auto _ : state)
        benchmark::DoNotOptimize(recordLine(record, locale));
}
BENCHMARK(BM_RecordLine);

} // namespace

BENCHMARK_MAIN();
