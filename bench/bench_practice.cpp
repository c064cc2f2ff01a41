// The simulated class: drills against Daily Practice (bench/simclass.h).
// Usage: bench_practice [students, default 1000]
#include "simclass.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

int main(int argc, char **argv)
{
    plovista::sim::Options options;
    if (argc > 1)
        options.students = std::max(1, std::atoi(argv[1]));
    const plovista::sim::Result result = plovista::sim::simulateClass(options);
    std::fputs(qPrintable(plovista::sim::resultTable(options, result)), stdout);
    const plovista::sim::Condition &p = result.practice;
    const bool met = p.perMinute >= 2 * result.drills.perMinute && p.medianWeeksAllKnown &&
        *p.medianWeeksAllKnown <= 12 && p.retention >= 0.9 && p.longestSessionMinutes <= 10;
    std::printf("targets %s\n", met ? "met" : "NOT met");
    return 0;
}
