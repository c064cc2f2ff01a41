#include "fluency/answerlog.h"
#include "fluency/fluencygrid.h"
#include "practice/practicesession.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <random>
#include <set>

using namespace plovista;

namespace {

const QDate Start(2026, 9, 7); // a Monday

QDateTime at(const QDate &day, int second)
{
    return QDateTime(day, QTime(9, 0).addSecs(second), Qt::OffsetFromUTC, 3600);
}

// A child who knows some facts: right and quick on most, slow or wrong on
// the rest, skipping now and then in a placement.
struct Child
{
    std::mt19937 random;
    std::pair<std::optional<int>, int> answer(const PracticeItem &item)
    {
        std::uniform_real_distribution<double> u(0, 1);
        const double r = u(random);
        if (item.step == PracticeStep::TypingCheck)
            return {item.fact.answer, 900 + static_cast<int>(r * 600)};
        if (item.skippable && r < 0.1)
            return {std::nullopt, item.capMs};
        if (r < 0.12)
            return {item.fact.answer + 1, 2500};
        if (r < 0.25)
            return {item.fact.answer, 5500};
        return {item.fact.answer, 1500 + static_cast<int>(r * 1000)};
    }
};

struct Run
{
    QStringList items; // step and fact of each, in order
    std::vector<AnswerEntry> entries;
    PracticeHistory after;
    PracticeSummary summary;
    int spentMs = 0;
    bool placement = false;
};

Run runSession(const PracticeHistory &history, const QDate &day, quint64 seed, Child &child,
               const PracticeOptions &options = {})
{
    PracticeSession session(history, history.operation, options, at(day, 0), seed);
    Run run;
    run.placement = session.isPlacement();
    int second = 0;
    for (int guard = 0; guard < 1000 && !session.finished(); ++guard) {
        const PracticeItem item = *session.current();
        run.items
            << QStringLiteral("%1:%2x%3").arg(static_cast<int>(item.step)).arg(item.fact.left).arg(item.fact.right);
        const auto [given, ms] = child.answer(item);
        second += ms / 1000 + 1;
        run.entries.push_back(session.answer(given, ms, at(day, second), {history.student, {}, {}, {}, {}}));
    }
    run.after = session.history();
    run.summary = session.summary();
    run.spentMs = session.spentMs();
    return run;
}

} // namespace

class TestPractice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The answer log's activity column: written last, read back from files
    // begun before it (their header has no such column) and from new ones;
    // old lines read as drills, a skip keeps its empty answer, and the typing
    // check's numbers never reach the fluency grid.
    void activityColumnRoundTrip()
    {
        QTemporaryDir dir;
        const QString folder = dir.filePath(AnswerLogFolder);
        QDir().mkpath(folder);
        AnswerEntry old;
        old.id = QStringLiteral("d1-1");
        old.drillId = QStringLiteral("d1");
        old.sequence = 1;
        old.time = at(Start, 0);
        old.student = QStringLiteral("Ann");
        old.operation = Operation::Multiplication;
        old.left = 3;
        old.right = 4;
        old.expected = old.given = 12;
        old.correct = true;
        old.ms = 1200;
        AnswerEntry typing = old;
        typing.id = QStringLiteral("P1-1");
        typing.drillId = QStringLiteral("P1");
        typing.time = at(Start.addDays(1), 0);
        typing.left = 5;
        typing.right = 0;
        typing.expected = typing.given = 5;
        typing.activity = TypingActivity;
        AnswerEntry skipped = typing;
        skipped.id = QStringLiteral("P1-2");
        skipped.sequence = 2;
        skipped.left = 6;
        skipped.right = 7;
        skipped.expected = 42;
        skipped.given = AnswerEntry::NoAnswer;
        skipped.correct = false;
        skipped.activity = PlacementActivity;

        // A file of before: its header and its line end at "computer".
        QString oldHeader = answerLogHeader();
        QString oldLine = answerLogLine(old);
        QVERIFY(oldHeader.endsWith(QStringLiteral(",activity\r\n")));
        oldHeader.replace(QStringLiteral(",activity\r\n"), QStringLiteral("\r\n"));
        QVERIFY(oldLine.endsWith(QStringLiteral(",\r\n")));
        oldLine.replace(oldLine.size() - 3, 3, QStringLiteral("\r\n"));
        QFile file(QDir(folder).filePath(answerLogFileName(QStringLiteral("Ann"), QStringLiteral("PC"))));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write((oldHeader + oldLine + answerLogLine(typing) + answerLogLine(skipped)).toUtf8());
        file.close();

        std::vector<AnswerEntry> read;
        scanStudentLog(folder, QStringLiteral("Ann"), [&](const AnswerEntry &e) { read.push_back(e); });
        QCOMPARE(read.size(), std::size_t(3));
        QCOMPARE(read[0].activity, QString());
        QCOMPARE(read[1].activity, QString(TypingActivity));
        QCOMPARE(read[2].activity, QString(PlacementActivity));
        QCOMPARE(read[2].given, AnswerEntry::NoAnswer);
        QCOMPARE(answerLogLine(read[2]), answerLogLine(skipped));

        const StudentLog log = loadStudentLog(folder, QStringLiteral("Ann"), nullptr, at(Start.addDays(2), 0));
        QCOMPARE(log.fluency.record({Operation::Multiplication, 4, 3}).firstTries, 1);
        QCOMPARE(log.fluency.record({Operation::Multiplication, 0, 5}).firstTries, 0); // the typed 5
        QCOMPARE(log.fluency.record({Operation::Multiplication, 7, 6}).firstTries, 1);
        // Read back into Daily Practice: a placement is done, the typing time
        // is known, the drill's fact counts.
        const PracticeHistory h =
            practiceHistory(folder, QStringLiteral("Ann"), Operation::Multiplication, 3000, Start.addDays(2));
        QVERIFY(h.placed);
        QCOMPARE(h.typingMs, std::optional<int>(1200));
        QCOMPARE(h.fluentMs(), 4200);
        QVERIFY(h.find({Operation::Multiplication, 4, 3})->attempted);
        QCOMPARE(h.practiceDays, QList<QDate>({Start.addDays(1)}));
    }

    // The first session of an operation is the placement: a typing check,
    // then facts the log does not have yet, capped and skippable, within
    // about three minutes; facts the drills showed known are not asked and
    // start in a box of their own.
    void placementSkipsWhatTheLogKnows()
    {
        PracticeHistory h =
            emptyPracticeHistory(QStringLiteral("Ann"), Operation::Multiplication, FactRange::ZeroToNine, 3000, Start);
        AnswerEntry drill;
        drill.drillId = QStringLiteral("d1");
        drill.operation = Operation::Multiplication;
        drill.left = 7;
        drill.right = 8;
        drill.expected = drill.given = 56;
        drill.correct = true;
        drill.ms = 1500;
        drill.sequence = 1;
        drill.time = at(Start.addDays(-3), 0);
        h.add(drill);
        // Known before it was taught: back in a week.
        QCOMPARE(h.find({Operation::Multiplication, 8, 7})->box, 3);
        QCOMPARE(h.find({Operation::Multiplication, 8, 7})->due, Start.addDays(4));

        Child child {std::mt19937(7)};
        const Run run = runSession(h, Start, 1, child);
        QVERIFY(run.placement);
        QVERIFY(run.items.first().startsWith(QStringLiteral("0:")));
        QVERIFY(!run.items.contains(QStringLiteral("1:7x8")));
        QVERIFY(run.items.count() > 20);
        QVERIFY(run.spentMs <= 3 * 60 * 1000 + 6000 + ItemOverheadMs);
        QVERIFY(run.after.placed);
        QVERIFY(run.after.typingMs && *run.after.typingMs < 1500);
        for (const AnswerEntry &e : run.entries)
            QVERIFY(e.activity == QLatin1String(TypingActivity) || e.activity == QLatin1String(PlacementActivity));
    }

    // Over many children and weeks of sessions: never more than four new
    // facts in a session, every fact due asked in the session, no session
    // past ten minutes, every answer logged as Daily Practice under the
    // session's id, and the same seed giving the same session.
    void schedulerProperties()
    {
        for (quint64 seed = 1; seed <= 40; ++seed) {
            Child child {std::mt19937(static_cast<unsigned>(seed))};
            PracticeHistory h = emptyPracticeHistory(QStringLiteral("Ann"), Operation::Multiplication,
                                                     FactRange::ZeroToNine, 3000, Start);
            PracticeOptions options;
            options.facts = seed % 4 == 0 ? 30 : 0;
            for (int day = 0; day < 42; day += (day % 7 == 4 ? 3 : 2)) {
                const QDate today = Start.addDays(day);
                std::set<QString> due;
                for (const PracticeFact &f : h.facts)
                    if (f.box > 0 && f.due <= today) {
                        const Fact fact = practiceFact(f.cell);
                        due.insert(QStringLiteral("%1x%2").arg(fact.left).arg(fact.right));
                    }
                Child twin = child;
                const Run run = runSession(h, today, seed * 100 + static_cast<quint64>(day), child, options);
                const Run again = runSession(h, today, seed * 100 + static_cast<quint64>(day), twin, options);
                QCOMPARE(again.items, run.items);
                QVERIFY2(run.spentMs <= SessionLimitMs, qPrintable(QString::number(run.spentMs)));
                QVERIFY(!run.items.isEmpty());
                const auto fresh = run.items.filter(QStringLiteral("3:")).size();
                QVERIFY2(fresh <= MaxNewFacts, qPrintable(run.items.join(u' ')));
                QCOMPARE(run.summary.newToday.size(), fresh);
                if (!run.placement && options.facts == 0)
                    for (const QString &fact : due)
                        QVERIFY2(run.items.filter(QRegularExpression(u":"_qs + fact + u"$"_qs)).size() > 0,
                                 qPrintable(
                                     QStringLiteral("seed %1 day %2: %3 due, not asked").arg(seed).arg(day).arg(fact)));
                for (const AnswerEntry &e : run.entries) {
                    QVERIFY(!e.activity.isEmpty());
                    QCOMPARE(e.drillId, run.entries.front().drillId);
                }
                h = run.after;
            }
            // Weeks of it bring facts in and move them up.
            QVERIFY(std::count_if(h.facts.cbegin(), h.facts.cend(), [](const PracticeFact &f) { return f.box >= 3; }) >
                    20);
        }
    }
};

QTEST_GUILESS_MAIN(TestPractice)
#include "test_practice.moc"
