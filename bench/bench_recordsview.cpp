// Opening the records viewer on a class's whole history: the current records
// file is never trimmed, so after years of drills it holds many thousands of
// lines, and the viewer must still open at once and stay small.
//
// Each iteration loads the file, shows the viewer and lets the event loop lay
// out and paint its first screen. The counters give the memory of the process
// at its peak during one opening and how much of it the opening added.

#include "app/app.h"
#include "drill/recordline.h"
#include "platform/medialoader.h"
#include "platform/services.h"
#include "records/recordsform.h"
#include "settings/textfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace plovista;

namespace {

// A working folder whose Madtr holds `lines` records of varied students.
bool prepareFolder(const QTemporaryDir &dir, qint64 lines)
{
    QFile file(QDir(dir.path()).filePath(CurrentRecordsFile));
    if (!file.open(QIODevice::WriteOnly))
        return false;
    RecordFields r;
    r.date = QDate(2026, 12, 6);
    r.activityCode = QStringLiteral("x7");
    r.formatCode = QStringLiteral("H");
    r.rangeCode = QStringLiteral("0->12");
    r.factsCount = 20;
    r.accuracyGoal = QStringLiteral("90");
    r.speedGoal = QStringLiteral("3");
    for (qint64 i = 0; i < lines; ++i) {
        r.name = QStringLiteral("Student %1").arg(i % 400);
        r.accuracy = 80.0f + float(i % 21);
        r.speed = 1.0 + double(i % 37) / 9.0;
        r.minutesSpent = r.speed * 20 / 60.0;
        const QByteArray line = encodeWindows1252(recordLine(r, QLocale::c()));
        if (file.write(line) != line.size())
            return false;
    }
    return true;
}

// Kilobytes of a /proc/self/status line ("VmRSS", "VmHWM").
long statusKilobytes(const char *field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(int(qstrlen(field)) + 1).trimmed().split(' ').value(0).toLong();
    return -1;
}

// Lets the peak resident size start again from the current one.
void resetPeak()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

void openAndShow(App &app)
{
    app.recordsForm().openForStudent();
    QCoreApplication::processEvents();
}

void closeViewer(App &app)
{
    if (RecordsForm *form = app.existingRecordsForm())
        form->hide();
    app.unloadRecordsForm();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenRecordsViewer(benchmark::State &state)
{
    QTemporaryDir dir;
    if (!dir.isValid() || !prepareFolder(dir, state.range(0))) {
        state.SkipWithError("cannot prepare the working folder");
        return;
    }
    const double fileMB = double(QFileInfo(QDir(dir.path()).filePath(CurrentRecordsFile)).size()) / 1e6;
    // Silent: no speech, sound or printing is loaded.
    MediaLoader media([] { return std::unique_ptr<MediaParts>(); });
    App app(dir.path(), realServices(media));

    // One untimed opening for the memory figures.
    closeViewer(app);
    const long before = statusKilobytes("VmRSS:");
    resetPeak();
    openAndShow(app);
    const long peak = statusKilobytes("VmHWM:");
    closeViewer(app);

    for (auto _ : state) {
        openAndShow(app);
        state.PauseTiming();
        closeViewer(app);
        state.ResumeTiming();
    }
    state.counters["file_MB"] = fileMB;
    state.counters["peak_rss_MB"] = double(peak) / 1024.0;
    state.counters["added_MB"] = double(peak - before) / 1024.0;
}
BENCHMARK(BM_OpenRecordsViewer)->Arg(1000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
