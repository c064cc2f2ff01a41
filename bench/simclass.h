#pragma once

#include <QString>

#include <optional>
#include <vector>

namespace plovista::sim {

// A simulated class learning the multiplication facts 0 to 9 (100 facts), once
// with the drills and once with Daily Practice. Each fact of a simulated child
// has a memory stability S in days: recalled t days after it was last
// retrieved or shown with probability (1 + t / 9S)^-1 (0 while S is 0). A
// recall answers in the child's typing time plus a retrieval time that is
// slow while S is small; a failed recall counts up the answer, slowly and
// with errors; a recalled answer slips now and then. A successful recall
// grows S the more the longer it had waited (spacing); a miss, a counted
// answer or a fact shown with its answer encodes it afresh.
struct Options
{
    int students = 1000;
    int schoolDays = 90; // Monday to Friday
    unsigned long long seed = 2026;
    int checkWeek = 12; // the week the per-minute figure and retention are taken at
    int retentionDays = 30; // after the check week, with no practice
};

struct Condition
{
    std::vector<double> knownByWeek; // mean automatic facts at each week's end, week 0 the start
    double minutesToCheck = 0; // mean minutes practised up to the check week
    double knownAtCheck = 0;
    double perMinute = 0; // facts made automatic (beyond the start) per minute practised
    // Weeks until the median child knew every fact at once; none within the run.
    std::optional<double> medianWeeksAllKnown;
    double retention = 0; // of the facts known at the check week, the share answered fluently 30 days later
    double longestSessionMinutes = 0;
    int mostNewInASession = 0;
    long long sessions = 0;
};

struct Result
{
    int facts = 0;
    int weeks = 0;
    Condition drills;
    Condition practice;
};

Result simulateClass(const Options &options);

// The table scripts/bench prints and docs/measurements.md takes figures from.
QString resultTable(const Options &options, const Result &result);

} // namespace plovista::sim
