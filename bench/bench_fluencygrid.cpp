// The teacher's grid for one student from a shared log folder of many
// answers: 30 students on 5 computers. `--make DIR ANSWERS` writes the folder
// once (`--make DIR ANSWERS STUDENTS COMPUTERS` another layout, with drills
// named as the program names them, for bench/fluency_biglog.sh); `DIR` alone
// measures, in a fresh process, the time from reading the folder to the grid
// painted: first with no summaries beside the log (they are made then), then
// with them, then after one more drill was logged; and every student's log
// loaded with its weeks of known facts, as the class needs them, with the
// summaries and without (with `--keep`, the summaries left there by an
// earlier run are used from the start); and the memory it all took. `--export DIR FILE` the
// class export of the folder into FILE.

#include "fluency/answerlog.h"
#include "fluency/classexport.h"
#include "fluency/fluencygrid.h"
#include "fluency/gridpainter.h"
#include "fluency/logsummary.h"
#include "settings/textfile.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QUuid>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include <sys/resource.h>

using namespace plovista;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int Students = 30;
constexpr int Computers = 5;

QString studentName(int s)
{
    return QStringLiteral("Student %1 Lee").arg(QChar(u'A' + s % 26)) + QString(s / 26, u'x');
}

// Peak resident memory of the process so far, in megabytes.
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
    return fields.value(1).toDouble() * 4096 / (1024.0 * 1024.0);
}

// With `realIds`, drills are named as the program names them (a UUID), which
// makes a line about 165 bytes, as in a real log, against 115.
int make(const QString &folder, qint64 answers, int students = Students, int computers = Computers,
         bool realIds = false)
{
    QDir().mkpath(folder);
    const qint64 files = qint64(students) * computers;
    // Early enough that a year of drills is over by now.
    const QDateTime start(QDate(2025, 9, 1), QTime(9, 0), Qt::OffsetFromUTC, 3600);
    for (int s = 0; s < students; ++s) {
        for (int c = 0; c < computers; ++c) {
            const QString computer = QStringLiteral("ROOM4-PC%1").arg(c + 1);
            const qint64 index = s * computers + c;
            const qint64 perFile = answers / files + (index < answers % files ? 1 : 0);
            QFile file(QDir(folder).filePath(answerLogFileName(studentName(s), computer)));
            if (!file.open(QIODevice::WriteOnly))
                return 1;
            file.write(answerLogHeader().toUtf8());
            QByteArray block;
            for (qint64 i = 0; i < perFile; ++i) {
                AnswerEntry e;
                e.drillId = QStringLiteral("%1-%2-%3").arg(s).arg(c).arg(i / 20);
                if (realIds)
                    e.drillId = QUuid::createUuidV5(QUuid(), e.drillId).toString(QUuid::WithoutBraces);
                e.sequence = int(i % 20) + 1;
                e.id = e.drillId + u'-' + QString::number(e.sequence);
                // One drill of 20 answers every hour, computer by computer.
                e.time = start.addSecs((i / 20) * 3600 * computers + c * 3600 + (i % 20) * 3);
                e.student = studentName(s);
                e.operation = static_cast<Operation>((i / 20) % 4);
                const int option = 2 + int((i / 20) % 11);
                const int value = int((i * 7 + s) % 13);
                switch (e.operation) {
                case Operation::Subtraction:
                    e.left = value + option;
                    break;
                case Operation::Division:
                    e.left = value * option;
                    break;
                default:
                    e.left = value;
                }
                e.right = option;
                e.expected = value;
                e.correct = (i + s) % 9 != 0;
                e.given = e.correct ? value : value + 1;
                e.firstTry = (i + c) % 11 != 0;
                e.ms = 800 + int((i * 37 + s * 11) % 3500);
                e.format = QStringLiteral("H");
                e.range = QStringLiteral("0->12");
                e.version = QStringLiteral("7.1");
                e.computer = computer;
                block += answerLogLine(e).toUtf8();
                if (block.size() > (1 << 20)) {
                    file.write(block);
                    block.clear();
                }
            }
            file.write(block);
        }
    }
    std::printf("%lld answers in %lld files\n", static_cast<long long>(answers), static_cast<long long>(files));
    return 0;
}

double msSince(Clock::time_point begin)
{
    return std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
}

int measure(const QString &folder, int runs, bool keepSummaries)
{
    QImage screen(780, 580, QImage::Format_ARGB32_Premultiplied);
    const QDate today(2026, 12, 6);
    const double baseline = residentMb();
    const QString student = studentName(17);
    if (!keepSummaries)
        QDir(QDir(folder).filePath(SummaryFolder)).removeRecursively();
    int entries = 0;
    const auto open = [&]() -> double {
        const auto begin = Clock::now();
        const QStringList students = loggedStudents(folder);
        const StudentLog log = loadStudentLog(folder, student);
        const FluencyGrid grid = fluencyGrid(log.fluency, student, Operation::Multiplication, 3000, today);
        screen.fill(Qt::white);
        QPainter painter(&screen);
        paintFluencyGrid(painter, QRectF(screen.rect()), grid);
        painter.end();
        const double ms = msSince(begin);
        entries = log.scan.entries;
        if (students.size() != Students || log.scan.damagedLines != 0) {
            std::fprintf(stderr, "unexpected folder: %lld students, %d damaged lines\n",
                         static_cast<long long>(students.size()), log.scan.damagedLines);
            return -1;
        }
        return ms;
    };
    const double first = open();
    if (first < 0)
        return 1;
    std::vector<double> ms;
    for (int run = 0; run < runs; ++run) {
        ms.push_back(open());
        if (ms.back() < 0)
            return 1;
    }
    std::sort(ms.begin(), ms.end());

    // One more drill of 20 answers on one of the student's computers: the
    // next open reads it after the summary.
    const QString computer = QStringLiteral("ROOM4-PC1");
    const QString path = QDir(folder).filePath(answerLogFileName(student, computer));
    for (int i = 1; i <= 20; ++i) {
        AnswerEntry e;
        e.drillId = QStringLiteral("one more drill");
        e.sequence = i;
        e.id = e.drillId + u'-' + QString::number(i);
        e.time = QDateTime(today, QTime(9, 0, i), Qt::OffsetFromUTC, 3600);
        e.student = student;
        e.operation = Operation::Multiplication;
        e.left = i % 13;
        e.right = 7;
        e.expected = e.left * 7;
        e.given = e.expected;
        e.correct = true;
        e.ms = 1500;
        e.range = QStringLiteral("0->12");
        e.computer = computer;
        appendTextFile(path, answerLogLine(e), TextEncoding::Utf8, answerLogHeader());
    }
    const double grown = open();

    std::printf("student's answers read %d: first (summaries made) %.1f ms; with summaries: median %.1f ms, "
                "best %.1f ms, worst %.1f ms; after one more drill %.1f ms; "
                "resident before %.1f MB, peak %.1f MB (+%.1f MB)\n",
                entries, first, ms[ms.size() / 2], ms.front(), ms.back(), grown, baseline, peakMb(),
                peakMb() - baseline);

    // The class: every student's log, the grids of the four operations and
    // the weeks of known facts; without summaries for the others, then with.
    const auto wholeClass = [&] {
        const auto begin = Clock::now();
        int known = 0;
        for (const QString &s : loggedStudents(folder)) {
            const StudentLog log = loadStudentLog(folder, s);
            for (const Operation op :
                 {Operation::Addition, Operation::Subtraction, Operation::Multiplication, Operation::Division}) {
                known += fluencyGrid(log.fluency, s, op, 3000, today).automatic;
                const auto weeks = log.fluency.knownByWeek(op, 3000, today);
                known += weeks.empty() ? 0 : weeks.back().known;
            }
        }
        return std::pair(msSince(begin), known);
    };
    const auto [classFirst, knownFirst] = wholeClass();
    const auto [classAgain, knownAgain] = wholeClass();
    if (knownFirst != knownAgain) {
        std::fprintf(stderr, "FAILED: the class with summaries differs: %d against %d\n", knownAgain, knownFirst);
        return 1;
    }
    std::printf("the class's %d logs with grids and weeks: %.0f ms making the summaries, %.0f ms with them; "
                "peak %.1f MB (+%.1f MB)\n",
                Students, classFirst, classAgain, peakMb(), peakMb() - baseline);
    return 0;
}

int exportClassOf(const QString &folder, const QString &file)
{
    const double baseline = residentMb();
    const auto begin = Clock::now();
    const ClassExport result = exportClass(folder, 3000, QDate(2026, 12, 6), file);
    const double ms = std::chrono::duration<double, std::milli>(Clock::now() - begin).count();
    if (!result.written.ok) {
        std::fprintf(stderr, "not exported: %s\n", qPrintable(result.written.error));
        return 1;
    }
    std::printf("class of %d exported in %.0f ms; resident before %.1f MB, peak %.1f MB (+%.1f MB)\n", result.students,
                ms, baseline, peakMb(), peakMb() - baseline);
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication application(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() == 4 && args[1] == QLatin1String("--make"))
        return make(args[2], args[3].toLongLong());
    if (args.size() == 6 && args[1] == QLatin1String("--make"))
        return make(args[2], args[3].toLongLong(), args[4].toInt(), args[5].toInt(), true);
    if (args.size() == 4 && args[1] == QLatin1String("--export"))
        return exportClassOf(args[2], args[3]);
    if (args.size() >= 2)
        return measure(args[1], args.size() >= 3 ? args[2].toInt() : 11,
                       args.size() >= 4 && args[3] == QLatin1String("--keep"));
    std::fprintf(stderr,
                 "usage: bench_fluencygrid --make DIR ANSWERS [STUDENTS COMPUTERS] | --export DIR FILE | "
                 "DIR [RUNS [--keep (the summaries there)]]\n");
    return 2;
}
