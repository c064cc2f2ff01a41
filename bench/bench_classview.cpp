// The class view of a shared log folder (bench_fluencygrid --make DIR ...):
// the time from reading the folder to every student's row, the hardest facts
// and the weekly counts, first with no summaries beside the log (they are
// made then), then with them; and the memory it took. `DIR [RUNS]`.

#include "fluency/classview.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

using namespace plovista;
using Clock = std::chrono::steady_clock;

namespace {

double peakMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024.0;
}

double residentMb()
{
    QFile status(QStringLiteral("/proc/self/statm"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = status.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024.0 * 1024.0) : 0;
}

double timed(const QString &folder, ClassView *view)
{
    const auto begin = Clock::now();
    *view = classView(folder, Operation::Multiplication, 3000, QDate(2026, 12, 6));
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: bench_classview DIR [RUNS]\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const int runs = argc > 2 ? std::max(1, std::atoi(argv[2])) : 5;
    QDir(QDir(folder).filePath(QStringLiteral(".summary"))).removeRecursively();
    const double baseline = residentMb();
    ClassView view;
    const double first = timed(folder, &view);
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run)
        ms.push_back(timed(folder, &view));
    std::sort(ms.begin(), ms.end());
    std::printf("class view of %zu students: %.0f ms without summaries (made then); with them median %.0f ms, "
                "best %.0f ms, worst %.0f ms; resident before %.1f MB, peak %.1f MB (+%.1f MB)\n",
                view.students.size(), first, ms[ms.size() / 2], ms.front(), ms.back(), baseline, peakMb(),
                peakMb() - baseline);
    return view.students.empty() ? 1 : 0;
}
