#include "simclass.h"

#include <QTest>

using namespace plovista;

// The simulated class of bench/bench_practice at a small size: what the
// benchmark's table rests on holds here too.
class TestSimClass : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void smallClass()
    {
        sim::Options options;
        options.students = 20;
        const sim::Result r = sim::simulateClass(options);
        QCOMPARE(r.facts, 100);
        QCOMPARE(static_cast<int>(r.practice.knownByWeek.size()), r.weeks + 1);
        QCOMPARE(r.drills.knownByWeek.front(), r.practice.knownByWeek.front()); // the same children
        QCOMPARE(r.practice.sessions, 20LL * 54);
        // What the scheduler promises, whatever the model.
        QVERIFY(r.practice.mostNewInASession <= 4);
        QVERIFY(r.practice.mostNewInASession >= 1);
        QVERIFY2(r.practice.longestSessionMinutes <= 10.0,
                 qPrintable(QString::number(r.practice.longestSessionMinutes)));
        // What the model shows: more facts made automatic per minute, every
        // fact known by the median child within the weeks, and kept.
        QVERIFY(r.practice.perMinute > 1.5 * r.drills.perMinute);
        QVERIFY(r.practice.knownByWeek[12] > r.drills.knownByWeek[12]);
        QVERIFY(r.practice.medianWeeksAllKnown && *r.practice.medianWeeksAllKnown <= 12);
        QVERIFY(r.practice.retention >= 0.85 && r.practice.retention <= 1.0);
        // A fixed seed: the same table again.
        QCOMPARE(sim::resultTable(options, sim::simulateClass(options)), sim::resultTable(options, r));
    }
};

QTEST_GUILESS_MAIN(TestSimClass)
#include "test_simclass.moc"
