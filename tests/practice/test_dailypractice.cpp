#include "fluency/answerlog.h"
#include "fluency/answerlogwriter.h"
#include "practice/dailypractice.h"
#include "practice/practicesession.h"
#include "selection/mainmenu.h"
#include "settings/settingkeys.h"
#include "support/harness.h"
#include "teacher/practicesettingsform.h"
#include "teacher/utilityform.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

const QString Student = QStringLiteral("Ann Lee");

// Every file of the folder, by its path, with its bytes.
QMap<QString, QByteArray> filesUnder(const QString &path)
{
    QMap<QString, QByteArray> files;
    if (QFileInfo(path).isFile()) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            files.insert(path, file.readAll());
        return files;
    }
    QDirIterator it(path, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly))
            files.insert(file.fileName(), file.readAll());
    }
    return files;
}

std::vector<AnswerEntry> logged(Harness &h)
{
    h.app().answerLog().flush();
    std::vector<AnswerEntry> entries;
    scanStudentLog(h.app().answerLog().folder(), Student, [&](const AnswerEntry &e) { entries.push_back(e); });
    return entries;
}

int rightAnswer(Operation operation, int left, int right)
{
    switch (operation) {
    case Operation::Addition:
        return left + right;
    case Operation::Subtraction:
        return left - right;
    case Operation::Multiplication:
        return left * right;
    case Operation::Division:
        return right == 0 ? 0 : left / right;
    case Operation::FactsOfTen:
        break;
    }
    return 0;
}

QAction *menuEntry(Harness &h)
{
    return h.app().mainMenu().findChild<QAction *>(QStringLiteral("mnuDailyPractice"));
}

// The child opens Daily Practice from the Main Menu and starts the operation.
DailyPractice &open(Harness &h, const QString &operation)
{
    MainMenu &menu = h.app().mainMenu();
    menu.show();
    menuEntry(h)->trigger();
    DailyPractice &w = h.app().dailyPractice();
    w.setPauses(0ms, 0ms);
    [&] {
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QVERIFY(!menu.isVisible());
        auto *option = w.findChild<QAbstractButton *>(QStringLiteral("Practice") + operation);
        QVERIFY(option && option->isVisible());
        option->click();
    }();
    QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("StartButt")), Qt::LeftButton);
    return w;
}

struct Run
{
    int answers = 0;
    int skipped = 0;
    int wrong = 0;
};

// Answers what the window asks, as a child reads it off the screen, until
// the end page: the typing check's number copied, each fact right after a
// second and a half, except that `skip` says which placement facts the child
// skips and `miss` which facts they get wrong once.
Run answerAll(Harness &h, DailyPractice &w, Operation operation, const std::function<bool(int)> &skip,
              const std::function<bool(int)> &miss)
{
    Run run;
    auto *variable = w.findChild<QLabel *>(QStringLiteral("FactsVariable"));
    auto *constant = w.findChild<QLabel *>(QStringLiteral("FactsConstant"));
    auto *box = w.findChild<QLineEdit *>(QStringLiteral("Text1"));
    auto *skipButt = w.findChild<QPushButton *>(QStringLiteral("SkipButt"));
    auto *endPage = w.findChild<QWidget *>(QStringLiteral("EndPage"));
    auto *left = w.findChild<QLabel *>(QStringLiteral("Label8"));
    QSet<QString> missed;
    for (int item = 0; item < 400 && !endPage->isVisible(); ++item) {
        QCoreApplication::processEvents(); // the item is painted
        h.clock->advanceMs(1500);
        [&] { QVERIFY2(left->isVisible() && left->text().toInt() > 0, qPrintable(left->text())); }();
        if (skipButt->isVisible() && skip(item)) {
            QTest::keyClick(box, Qt::Key_Escape);
            ++run.skipped;
            ++run.answers;
            continue;
        }
        const bool typing = !variable->isVisible();
        const QString fact = variable->text() + u' ' + constant->text();
        int answer = typing ? constant->text().toInt()
                            : rightAnswer(operation, variable->text().toInt(), constant->text().toInt());
        if (!typing && miss(item) && !missed.contains(fact)) {
            missed << fact;
            ++answer;
            ++run.wrong;
        }
        box->clear();
        QTest::keyClicks(box, QString::number(answer));
        QTest::keyClick(box, Qt::Key_Return);
        ++run.answers;
        [&] { QTRY_VERIFY(!w.isPausing()); }();
    }
    return run;
}

} // namespace

class TestDailyPractice : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // A child's first two days: the placement, then a session that brings in
    // new facts and asks a missed one again. Every answer is in the answer
    // log with its activity; the records are not touched.
    void sessionsThroughTheWindow()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Madtr"), {}); // made before start, so it is there to compare
        h.start();
        const QString madtr = h.folder() + QStringLiteral("/Madtr");
        {
            QFile file(madtr);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("\"Ann Lee\",\"M\",\"H\",\"0->9\",\"7\",10,10,0,\"100\",\"5.0\",\"3.1\"\r\n");
        }
        QVERIFY(QDir(h.folder()).mkpath(QStringLiteral("SDat")));
        {
            QFile file(h.folder() + QStringLiteral("/SDat/Class 4B"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("saved\r\n");
        }
        const auto records = [&] {
            QMap<QString, QByteArray> files = filesUnder(madtr);
            files.insert(filesUnder(h.folder() + QStringLiteral("/SDat")));
            return files;
        };
        const QMap<QString, QByteArray> before = records();
        h.state().StudentName = Student;
        h.settings().setForThisRun(keys::PracticeFacts, 20);

        // Day 1: the placement.
        DailyPractice &w = open(h, QStringLiteral("Multiplication"));
        const Run placement = answerAll(
            h, w, Operation::Multiplication, [](int item) { return item % 4 == 3; }, [](int) { return false; });
        QVERIFY(w.findChild<QWidget *>(QStringLiteral("EndPage"))->isVisible());
        QVERIFY(placement.skipped > 0);
        std::vector<AnswerEntry> entries = logged(h);
        QCOMPARE(int(entries.size()), placement.answers);
        int skippedInLog = 0;
        for (const AnswerEntry &e : entries) {
            QVERIFY2(e.activity == TypingActivity || e.activity == PlacementActivity, qPrintable(e.activity));
            QCOMPARE(e.student, Student);
            skippedInLog += e.given == AnswerEntry::NoAnswer ? 1 : 0;
        }
        QCOMPARE(skippedInLog, placement.skipped);
        QVERIFY(std::any_of(entries.begin(), entries.end(),
                            [](const AnswerEntry &e) { return e.activity == TypingActivity; }));
        QCOMPARE(w.findChild<QLabel *>(QStringLiteral("DaysLabel"))->text(),
                 QStringLiteral("Your first day of practice!"));
        h.clock->advanceSeconds(5); // the child looks at the map
        QTest::mouseClick(w.findChild<QPushButton *>(QStringLiteral("DoneButt")), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY(h.app().mainMenu().isVisible());

        // Day 2: new facts come in; one missed comes back in the session.
        h.clock->advanceSeconds(24 * 3600);
        open(h, QStringLiteral("Multiplication"));
        const Run second = answerAll(
            h, w, Operation::Multiplication, [](int) { return false; }, [](int item) { return item == 2; });
        QCOMPARE(second.wrong, 1);
        entries = logged(h);
        QCOMPARE(int(entries.size()), placement.answers + second.answers);
        QSet<QString> sessions;
        int retried = 0;
        for (std::size_t i = std::size_t(placement.answers); i < entries.size(); ++i) {
            // A fact never asked is checked among the session's items as in a placement.
            QVERIFY2(entries[i].activity == PracticeActivity || entries[i].activity == PlacementActivity,
                     qPrintable(entries[i].activity));
            sessions << entries[i].drillId;
            retried += entries[i].firstTry ? 0 : 1;
        }
        QCOMPARE(sessions.size(), 1);
        QCOMPARE(retried, 1); // the missed fact, asked again
        const QString fresh = w.findChild<QLabel *>(QStringLiteral("NewTodayLabel"))->text();
        QVERIFY2(fresh.startsWith(QStringLiteral("New today: ")) && fresh.contains(QStringLiteral("x")),
                 qPrintable(fresh));
        QCOMPARE(w.findChild<QWidget *>(QStringLiteral("EndRing"))->accessibleName(),
                 QStringLiteral("2 practice days"));
        QCOMPARE(records(), before);
    }

    // The teacher turns Daily Practice off for the class: the Main Menu no
    // longer offers it, and the choice is kept in its file; on again, it is back.
    void teacherTurnsItOffAndOn()
    {
        Harness h;
        h.start();
        QAction *entry = menuEntry(h);
        QVERIFY(entry);
        QVERIFY(entry->isVisible());

        const auto setOn = [&](bool on) {
            UtilityForm &utility = h.app().utilityForm();
            utility.show();
            QVERIFY(QTest::qWaitForWindowExposed(&utility));
            // On the bar itself, not behind its overflow arrow.
            auto *bar = utility.findChild<QMenuBar *>();
            QAction *command = utility.findChild<QAction *>(QStringLiteral("DailyPracticeSettings"));
            QVERIFY(bar->rect().contains(bar->actionGeometry(command)));
            command->trigger();
            PracticeSettingsForm &form = h.app().practiceSettingsForm();
            QVERIFY(form.isVisible());
            auto *check = form.findChild<QCheckBox *>(QStringLiteral("PracticeOnCheck"));
            QCOMPARE(check->isChecked(), !on);
            if (check->isChecked() != on)
                QTest::mouseClick(check, Qt::LeftButton, {}, QPoint(4, check->height() / 2));
            QTest::mouseClick(form.findChild<QPushButton *>(QStringLiteral("OKButt")), Qt::LeftButton);
            QVERIFY(!form.isVisible());
            QVERIFY(utility.isVisible());
        };
        setOn(false);
        QVERIFY(!entry->isVisible());
        QCOMPARE(h.readRaw(QStringLiteral("PracOn")), QByteArray("False\r\n"));
        h.restart();
        h.start();
        QVERIFY(!menuEntry(h)->isVisible());
        setOn(true);
        QVERIFY(menuEntry(h)->isVisible());
    }
};

QTEST_MAIN(TestDailyPractice)
#include "test_dailypractice.moc"
