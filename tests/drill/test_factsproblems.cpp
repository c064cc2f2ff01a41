#include "app/twips.h"
#include "drill/factsproblems.h"
#include "settings/settingkeys.h"
#include "settings/textfile.h"
#include "support/harness.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <thread>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

struct Choice
{
    Operation operation = Operation::Addition;
    int option = 0; // the fact option, or the Facts of Ten format
    bool vertical = false;
    FactRange range = FactRange::ZeroToNine;
};

// What a layout must show, as "Name@left,top" for a control, "Line4:x1,y1-x2,y2"
// for a line, a leading "-" for hidden, and a bare name where only the
// visibility matters. Every control and line appears once in each case.
struct LayoutCase
{
    const char *name;
    Choice choice;
    QString places;
    QString sign;
    int signPoints;
    QString variable;
    QString constant;
    QSize box; // twips
    int answerLength;
    QString caption;
};

const QString Counters =
    QStringLiteral("Label7@600,200 Label1@2100,200 Label5@3200,200 Label8@900,450 Label2@2150,450 Label6@3300,450 "
                   "NextProbButt@1500,3900 ");
const QString Divide = QString(QChar(0x00F7));

const std::vector<LayoutCase> &layoutCases()
{
    using O = Operation;
    static const std::vector<LayoutCase> cases = {
        {"horizontal addition",
         {O::Addition, 7, false, FactRange::ZeroToNine},
         "FactsVariable@600,1700 FactsSign@1300,1700 FactsConstant@1850,1700 FactsEqual@2500,1800 "
         "Text1@2900,1625 -FactsVariableFix@600,2800 -FactsSignFix@1350,2800 -FactsConstantFix@1850,2800 "
         "-FactsEqualFix@2500,2900 -FactsAnsFix@2900,2800 -Line1 -Line2 -Line3 -Line4 -Line5 -Line6",
         "+",
         24,
         "?",
         "7",
         {800, 600},
         2,
         "Horizontal Mode,  Range: 0 --> 9"},
        {"vertical addition, option 12",
         {O::Addition, 12, true, FactRange::ZeroToTwelve},
         "FactsVariable@1027,1200 FactsConstant@900,1950 FactsSign@600,2000 -FactsEqual Text1@800,2700 "
         "Line4:600,2600-1600,2600 -FactsVariableFix@2727,1200 -FactsConstantFix@2600,1950 "
         "-FactsSignFix@2300,2000 -FactsAnsFix@2493,2700 -FactsEqualFix -Line1 -Line2 -Line3 "
         "-Line5:2300,2600-3300,2600 -Line6",
         "+",
         24,
         "?",
         "12",
         {800, 810},
         2,
         "Vertical Mode,  Range: 0 --> 12"},
        {"vertical subtraction",
         {O::Subtraction, 5, true, FactRange::ZeroToNine},
         "FactsVariable@1027,1200 FactsConstant@1027,1950 -FactsSign -FactsEqual Text1@800,2700 "
         "Line1:600,2200-800,2200 -Line2:2300,2200-2500,2200 Line4:600,2600-1600,2600 -Line3 -Line5 -Line6 "
         "-FactsVariableFix@2727,1200 -FactsConstantFix@2727,1950 -FactsSignFix -FactsEqualFix "
         "-FactsAnsFix@2493,2700",
         "-",
         24,
         "?",
         "5",
         {800, 810},
         2,
         "Vertical Mode,  Range: 0 --> 9"},
        {"vertical subtraction, option 11",
         {O::Subtraction, 11, true, FactRange::ZeroToTwelve},
         "FactsVariable@1027,1200 FactsConstant@900,1950 -FactsSign -FactsEqual Text1@800,2700 "
         "Line1:600,2200-800,2200 -Line2 Line4:600,2600-1600,2600 -Line3 -Line5 -Line6 "
         "-FactsVariableFix@2727,1200 -FactsConstantFix@2600,1950 -FactsSignFix -FactsEqualFix -FactsAnsFix",
         "-",
         24,
         "?",
         "11",
         {800, 810},
         2,
         "Vertical Mode,  Range: 0 --> 12"},
        {"horizontal subtraction",
         {O::Subtraction, 5, false, FactRange::ZeroToNine},
         "FactsVariable@600,1700 -FactsSign FactsConstant@1700,1700 FactsEqual@2500,1800 Text1@2900,1625 "
         "Line1:1200,2000-1400,2000 -Line2:1400,3100-1600,3100 -Line3 -Line4 -Line5 -Line6 "
         "-FactsVariableFix@600,2800 -FactsSignFix -FactsConstantFix@1850,2800 -FactsEqualFix@2500,2900 "
         "-FactsAnsFix@2900,2800",
         "-",
         24,
         "?",
         "5",
         {800, 600},
         2,
         "Horizontal Mode,  Range: 0 --> 9"},
        {"horizontal multiplication by 12",
         {O::Multiplication, 12, false, FactRange::ZeroToTwelve},
         "FactsVariable@600,1700 FactsSign@1300,1800 FactsConstant@1850,1700 FactsEqual@2500,1800 "
         "Text1@2900,1650 -FactsVariableFix@600,2800 -FactsSignFix@1350,2900 -FactsConstantFix@1850,2800 "
         "-FactsEqualFix@2500,2900 -FactsAnsFix@2900,2800 -Line1 -Line2 -Line3 -Line4 -Line5 -Line6",
         "X",
         14,
         "?",
         "12",
         {1100, 600},
         3,
         "Horizontal Mode,  Range: 0 --> 12"},
        {"vertical multiplication",
         {O::Multiplication, 7, true, FactRange::ZeroToNine},
         "FactsVariable@1027,1200 FactsConstant@1027,1950 FactsSign@700,2100 -FactsEqual Text1@600,2700 "
         "Line4:600,2600-1600,2600 -Line1 -Line2 -Line3 -Line5:2300,2600-3300,2600 -Line6 "
         "-FactsVariableFix@2727,1200 -FactsConstantFix@2727,1950 -FactsSignFix@2400,2100 -FactsEqualFix "
         "-FactsAnsFix@2493,2700",
         "X",
         14,
         "?",
         "7",
         {1000, 810},
         3,
         "Vertical Mode,  Range: 0 --> 9"},
        {"horizontal division",
         {O::Division, 6, false, FactRange::ZeroToNine},
         "FactsVariable@600,1700 FactsSign@1300,1700 FactsConstant@1850,1700 FactsEqual@2500,1800 "
         "Text1@2900,1625 -FactsVariableFix -FactsSignFix -FactsConstantFix -FactsEqualFix -FactsAnsFix "
         "-Line1 -Line2 -Line3 -Line4 -Line5 -Line6",
         Divide,
         24,
         "?",
         "6",
         {800, 600},
         2,
         "Horizontal Mode,  Range: 0 --> 9"},
        {"long division, option 11",
         {O::Division, 11, true, FactRange::ZeroToNine},
         "FactsConstant@350,2300 FactsVariable@1200,2300 Text1@1100,1400 -FactsSign -FactsEqual "
         "Line3:1080,2300-1080,2900 Line4:1080,2300-2100,2300 -FactsConstantFix@2500,2300 "
         "-FactsVariableFix@3350,2300 -FactsAnsFix@3440,1500 -Line5:3240,2280-4180,2280 "
         "-Line6:3240,2300-3240,2900 -Line1 -Line2 -FactsSignFix -FactsEqualFix",
         Divide,
         24,
         "?",
         "11",
         {800, 810},
         2,
         "Vertical Mode,  Range: 0 --> 9"},
        {"long division, option 4",
         {O::Division, 4, true, FactRange::ZeroToNine},
         "FactsConstant@480,2300 FactsVariable@1300,2300 Text1@1100,1400 -FactsSign -FactsEqual "
         "Line3:1080,2300-1080,2900 Line4:1080,2300-2100,2300 -FactsConstantFix@2640,2300 "
         "-FactsVariableFix@3400,2300 -FactsAnsFix@3440,1500 -Line5 -Line6 -Line1 -Line2 -FactsSignFix "
         "-FactsEqualFix",
         Divide,
         24,
         "?",
         "4",
         {800, 810},
         2,
         "Vertical Mode,  Range: 0 --> 9"},
        {"Facts of Ten, format 1",
         {O::FactsOfTen, 1, false, FactRange::ZeroToNine},
         "FactsVariable@800,1700 -FactsSign FactsConstant@3000,1700 FactsEqual@2600,1800 Text1@2000,1650 "
         "Line1:1600,2000-1800,2000 -Line2:1600,3100-1800,3100 -Line3 -Line4 -Line5 -Line6 "
         "-FactsVariableFix@800,2800 -FactsSignFix -FactsConstantFix@3000,2800 -FactsEqualFix@2600,2900 "
         "-FactsAnsFix@2050,2800",
         "+",
         24,
         "10",
         "?",
         {500, 600},
         1,
         "Facts of Ten"},
        {"Facts of Ten, format 2",
         {O::FactsOfTen, 2, false, FactRange::ZeroToNine},
         "FactsVariable@700,1700 FactsSign@1300,1750 FactsConstant@2900,1700 FactsEqual@2600,1800 "
         "Text1@1800,1650 -Line1 -Line2 -Line3 -Line4 -Line5 -Line6 -FactsVariableFix@700,2800 "
         "-FactsSignFix@1350,2850 -FactsConstantFix@2900,2800 -FactsEqualFix@2600,2900 -FactsAnsFix@1850,2800",
         "+",
         22,
         "?",
         "10",
         {500, 600},
         1,
         "Facts of Ten"},
    };
    return cases;
}

const LayoutCase &layoutCase(const char *name)
{
    for (const LayoutCase &c : layoutCases())
        if (qstrcmp(c.name, name) == 0)
            return c;
    qFatal("no layout case %s", name);
}

// Sets the program-wide choice as the menus leave it and opens the drill.
FactsProblems &openDrill(Harness &h, const Choice &c, int factsCount = 10)
{
    AppState &s = h.state();
    const bool factsOfTen = c.operation == Operation::FactsOfTen;
    s.Selection = {c.operation, c.range, factsOfTen ? 0 : c.option, factsOfTen ? c.option : 2};
    s.FactsOfTenActive = factsOfTen;
    s.SubtractionFlag = c.operation == Operation::Subtraction;
    s.FormatCode = factsOfTen ? QString::number(c.option) : QString::fromLatin1(c.vertical ? "V" : "H");
    h.settings().setForThisRun(keys::FactsCount, factsCount);
    s.Drill.resetCounters();
    s.Drill.prepare(factsCount);
    FactsProblems &w = h.app().factsProblems();
    w.setPauses(0ms, 0ms);
    w.openForDrill();
    return w;
}

QLineEdit *answerBox(FactsProblems &w)
{
    return w.findChild<QLineEdit *>(QStringLiteral("Text1"));
}
QPushButton *button(FactsProblems &w)
{
    return w.findChild<QPushButton *>(QStringLiteral("NextProbButt"));
}
QString text(FactsProblems &w, const char *name)
{
    return w.findChild<QLabel *>(QLatin1String(name))->text();
}
bool shown(FactsProblems &w, const char *name)
{
    return w.findChild<QWidget *>(QLatin1String(name))->isVisible();
}

// Types an answer and presses Enter, then lets the pause run out.
void answer(FactsProblems &w, const QString &typed)
{
    QLineEdit *box = answerBox(w);
    box->clear();
    QTest::keyClicks(box, typed);
    QTest::keyClick(box, Qt::Key_Return);
    QTRY_VERIFY(!w.isPausing());
}

void pressStart(FactsProblems &w)
{
    QTest::keyClick(&w, Qt::Key_Return);
    QVERIFY(!w.isPausing());
}

QString entryName(const QString &entry)
{
    const QString item = entry.startsWith(QLatin1Char('-')) ? entry.mid(1) : entry;
    return item.section(QRegularExpression(QStringLiteral("[@:]")), 0, 0);
}

// Checks one entry of a layout case; a line's thickness is centred on its
// coordinate, so its cross position may be a pixel off.
void checkPlace(FactsProblems &w, const QString &entry)
{
    const bool visible = !entry.startsWith(QLatin1Char('-'));
    const QString item = visible ? entry : entry.mid(1);
    const QString name = entryName(entry);
    QWidget *widget = w.findChild<QWidget *>(name);
    QVERIFY2(widget, qPrintable(name));
    QVERIFY2(widget->isVisible() == visible, qPrintable(entry));
    const QStringList numbers = item.mid(name.size() + 1).split(QRegularExpression(QStringLiteral("[,-]")));
    const QRect g = widget->geometry();
    if (item.contains(QLatin1Char('@'))) {
        QCOMPARE(g.topLeft(), QPoint(twips(numbers[0].toInt()), twips(numbers[1].toInt())));
    } else if (item.contains(QLatin1Char(':'))) {
        const int x1 = numbers[0].toInt(), y1 = numbers[1].toInt(), x2 = numbers[2].toInt(), y2 = numbers[3].toInt();
        if (y1 == y2) {
            QCOMPARE(g.left(), twips(x1));
            QCOMPARE(g.width(), twips(x2) - twips(x1));
            QVERIFY2(qAbs(g.center().y() - twips(y1)) <= 1, qPrintable(entry));
        } else {
            QCOMPARE(g.top(), twips(y1));
            QCOMPARE(g.height(), twips(y2) - twips(y1));
            QVERIFY2(qAbs(g.center().x() - twips(x1)) <= 1, qPrintable(entry));
        }
    }
}

void checkLayout(FactsProblems &w, const LayoutCase &c)
{
    const QStringList entries = (Counters + c.places).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    QSet<QString> named;
    for (const QString &entry : entries) {
        checkPlace(w, entry);
        if (QTest::currentTestFailed())
            return;
        named.insert(entryName(entry));
    }
    QCOMPARE(named.size(), FactsElementCount + 6);

    QCOMPARE(w.windowTitle(), c.caption);
    QCOMPARE(w.client()->width(), twips(4635));
    QCOMPARE(text(w, "FactsSign"), c.sign);
    QCOMPARE(w.findChild<QLabel *>(QStringLiteral("FactsSign"))->font().pointSize(), c.signPoints);
    QCOMPARE(text(w, "FactsVariable"), c.variable);
    QCOMPARE(text(w, "FactsConstant"), c.constant);
    QLineEdit *box = answerBox(w);
    QCOMPARE(box->size(), QSize(twips(c.box.width()), twips(c.box.height())));
    QCOMPARE(box->maxLength(), c.answerLength);
    QCOMPARE(box->text(), QStringLiteral("?"));
    QVERIFY(!box->isEnabled());
    QCOMPARE(button(w)->text(), QStringLiteral("Start"));
    QCOMPARE(button(w)->size(), QSize(twips(1400), twips(500)));
    QVERIFY(QFontInfo(box->font()).fixedPitch());
}

void scriptValue(Harness &h, Operation operation, int value)
{
    const double low = operation == Operation::FactsOfTen ? 1 : 0;
    h.random->draws.push_back((value - low) / 10.0 + 0.05);
}
// A feedback row r of a table with `rows` rows.
void scriptRow(Harness &h, int row, int rows)
{
    h.random->draws.push_back((row - 1 + 0.5) / rows);
}

// The answer to the fact on screen.
int rightAnswer(Harness &h)
{
    const AppState &s = h.state();
    DrillChoice choice = s.Selection;
    if (s.FactsOfTenActive)
        choice.operation = Operation::FactsOfTen;
    return makeFact(choice, s.Drill.FactVariable).answer;
}

void speakEverything(Harness &h)
{
    h.settings().setForThisRun(keys::PeedyEnabled, true);
    h.settings().setForThisRun(keys::PeedyFeedback, true);
    h.settings().setForThisRun(keys::PeedyComments, true);
    h.settings().setForThisRun(keys::VoiceEnabled, true);
    h.settings().setForThisRun(keys::VoiceFeedback, true);
    h.settings().setForThisRun(keys::VoiceComments, true);
}

QByteArray records(Harness &h)
{
    QFile file(QDir(h.folder()).filePath(QStringLiteral("Madtr")));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Another program's lock on a file, as one hung or stopped half way through
// its own append holds it: let go of after `limit`, or when the test is done.
class HeldLock
{
public:
    HeldLock(const QString &path, std::chrono::milliseconds limit)
        : m_file(path)
    {
        m_held = m_file.open(QIODevice::ReadWrite) && tryLockForWriting(m_file.handle()) == 0;
        m_release = std::thread([this, limit] {
            for (auto left = limit; left > 0ms && !m_done; left -= 10ms)
                std::this_thread::sleep_for(10ms);
            m_file.close();
        });
    }
    ~HeldLock()
    {
        m_done = true;
        m_release.join();
    }
    bool held() const { return m_held; }

private:
    QFile m_file;
    bool m_held = false;
    std::atomic<bool> m_done = false;
    std::thread m_release;
};

} // namespace

class TestFactsProblems : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void layouts_data()
    {
        QTest::addColumn<int>("index");
        for (int i = 0; i < static_cast<int>(layoutCases().size()); ++i)
            QTest::newRow(layoutCases()[static_cast<std::size_t>(i)].name) << i;
    }
    void layouts()
    {
        QFETCH(int, index);
        const LayoutCase &c = layoutCases()[static_cast<std::size_t>(index)];
        Harness h;
        h.start();
        h.state().ActivityCode = QStringLiteral("x12");
        FactsProblems &w = openDrill(h, c.choice);
        checkLayout(w, c);
        QCOMPARE(h.state().ActivityCode, QStringLiteral("x12"));
    }

    // One window serves drill after drill: each layout must undo whatever the
    // last drill left on screen, a correction with its bars included.
    void drillsOneAfterAnotherLeaveNothingBehind()
    {
        Harness h;
        h.start();
        const char *order[] = {"horizontal subtraction",   "long division, option 4",
                               "Facts of Ten, format 1",   "vertical addition, option 12",
                               "Facts of Ten, format 2",   "vertical subtraction",
                               "long division, option 11", "horizontal multiplication by 12",
                               "vertical multiplication",  "horizontal addition",
                               "horizontal division",      "vertical subtraction, option 11"};
        for (const char *name : order) {
            const LayoutCase &c = layoutCase(name);
            FactsProblems &w = openDrill(h, c.choice);
            checkLayout(w, c);
            if (QTest::currentTestFailed()) {
                qWarning("in the drill %s", name);
                return;
            }
            // A wrong answer leaves the correction, bars and all, on screen.
            pressStart(w);
            answer(w, QString::number((rightAnswer(h) + 1) % 10));
            QVERIFY(shown(w, "FactsAnsFix"));
        }
    }

    void aVerticalDivisionAfterAHorizontalSubtractionShowsNoStrayBarOrSign()
    {
        Harness h;
        h.start();
        FactsProblems &w = openDrill(h, layoutCase("horizontal subtraction").choice);
        pressStart(w);
        answer(w, QStringLiteral("99"));
        QVERIFY(shown(w, "Line2") && shown(w, "Line1") && shown(w, "FactsEqualFix"));

        openDrill(h, layoutCase("long division, option 4").choice);
        pressStart(w);
        for (const char *name : {"Line1", "Line2", "FactsSign", "FactsEqual", "FactsSignFix", "FactsEqualFix",
                                 "FactsAnsFix", "Line5", "Line6"})
            QVERIFY2(!shown(w, name), name);
        QVERIFY(shown(w, "Line3") && shown(w, "Line4"));
    }

    void aThreeDigitDividendStaysUnderTheBracket()
    {
        Harness h;
        h.start();
        h.random->draws = {0.95}; // 9, and 9 x 12 = 108
        FactsProblems &w = openDrill(h, {Operation::Division, 12, true, FactRange::ZeroToNine});
        auto *fixBar = w.findChild<QWidget *>(QStringLiteral("Line5"));
        pressStart(w);
        QCOMPARE(text(w, "FactsVariable"), QStringLiteral("108"));
        auto *dividend = w.findChild<QLabel *>(QStringLiteral("FactsVariable"));
        QVERIFY(dividend->fontMetrics().horizontalAdvance(QStringLiteral("108")) <= dividend->contentsRect().width());
        QVERIFY(w.findChild<QWidget *>(QStringLiteral("Line4"))->geometry().right() > dividend->geometry().right());
        QCOMPARE(dividend->pos(), QPoint(twips(1200), twips(2300)));

        // The corrected fact's bracket reaches over its dividend, with the
        // quotient standing over the dividend's last digit.
        answer(w, QStringLiteral("8"));
        auto *fixDividend = w.findChild<QLabel *>(QStringLiteral("FactsVariableFix"));
        auto *quotient = w.findChild<QLabel *>(QStringLiteral("FactsAnsFix"));
        QVERIFY(fixBar->isVisible() && fixDividend->isVisible());
        QVERIFY(fixBar->geometry().right() > fixDividend->geometry().right());
        QVERIFY(fixDividend->fontMetrics().horizontalAdvance(QStringLiteral("108")) <=
                fixDividend->contentsRect().width());
        QCOMPARE(quotient->geometry().right(), fixDividend->geometry().right());
        QCOMPARE(fixDividend->pos(), QPoint(twips(3350), twips(2300)));
    }

    void aWholeDrillThroughTheWindow()
    {
        Harness h;
        h.start();
        speakEverything(h);
        h.state().ActivityCode = QStringLiteral("+3");
        FactsProblems &w = openDrill(h, {Operation::Addition, 3, false, FactRange::ZeroToNine});
        QCOMPARE(text(w, "Label8"), QStringLiteral("10"));

        const int values[] = {3, 7, 0, 9, 1, 5, 2, 8, 4, 6};
        h.clock->advanceSeconds(5);
        scriptValue(h, Operation::Addition, values[0]);
        pressStart(w);
        QCOMPARE(h.state().StartSeconds, 10 * 3600.0 + 5);
        QCOMPARE(text(w, "Label8"), QStringLiteral("9"));
        QCOMPARE(button(w)->text(), QStringLiteral("Check"));
        QVERIFY(answerBox(w)->isEnabled());

        QStringList shownFacts;
        for (int i = 0; i < 10; ++i) {
            shownFacts << text(w, "FactsVariable") + QStringLiteral("+") + text(w, "FactsConstant");
            const QString right = QString::number(values[i] + 3);
            if (i == 1) {
                // Missed at the first try: the correction stays while the fact is asked again.
                scriptRow(h, 1, 7);
                scriptRow(h, 1, 7);
                answer(w, QStringLiteral("11"));
                QCOMPARE(text(w, "FactsVariableFix") + text(w, "FactsSignFix") + text(w, "FactsConstantFix") +
                             text(w, "FactsEqualFix") + text(w, "FactsAnsFix"),
                         QStringLiteral("7+3=10"));
                QVERIFY(shown(w, "FactsAnsFix") && shown(w, "FactsSignFix") && shown(w, "FactsEqualFix"));
                QCOMPARE(text(w, "Label6"), QStringLiteral("1"));
                QCOMPARE(text(w, "FactsVariable"), QStringLiteral("7"));
                QVERIFY(answerBox(w)->text().isEmpty());
            }
            scriptRow(h, 4, 10);
            scriptRow(h, 4, 10);
            if (i + 1 < 10)
                scriptValue(h, Operation::Addition, values[i + 1]);
            answer(w, right);
            QVERIFY(!shown(w, "FactsAnsFix"));
        }
        QCOMPARE(shownFacts, QStringList({"3+3", "7+3", "0+3", "9+3", "1+3", "5+3", "2+3", "8+3", "4+3", "6+3"}));
        QCOMPARE(text(w, "Label2"), QStringLiteral("9"));
        QCOMPARE(text(w, "Label6"), QStringLiteral("1"));
        QCOMPARE(text(w, "Label8"), QStringLiteral("0"));
        QCOMPARE(button(w)->text(), QStringLiteral("Get Score"));
        QCOMPARE(button(w)->width(), twips(1600));
        QVERIFY(!answerBox(w)->isEnabled());
        QCOMPARE(h.voice->spoken.last(), QStringLiteral("Get your score."));

        h.clock->advanceSeconds(40);
        QTest::keyClick(&w, Qt::Key_Return);
        QVERIFY(!w.isVisible());
        QVERIFY(h.window(QStringLiteral("ScoreForm"))->isVisible());
        QVERIFY(records(h).contains("+3"));
    }

    void aWrongAnswerToTheLastFactEndsTheDrillWithTheCorrection()
    {
        Harness h;
        h.start();
        h.settings().setForThisRun(keys::VoiceFeedback, false); // no feedback draws between the values
        FactsProblems &w = openDrill(h, {Operation::Multiplication, 4, false, FactRange::ZeroToNine});
        h.random->draws = {0.05, 0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95};
        pressStart(w);
        for (int i = 0; i < 9; ++i)
            answer(w, QString::number(i * 4));
        QCOMPARE(text(w, "FactsVariable"), QStringLiteral("9"));
        answer(w, QStringLiteral("35"));
        QCOMPARE(button(w)->text(), QStringLiteral("Get Score"));
        QVERIFY(shown(w, "FactsAnsFix"));
        QCOMPARE(text(w, "FactsAnsFix"), QStringLiteral("36"));
        QCOMPARE(text(w, "FactsSignFix"), QStringLiteral("X"));
        QCOMPARE(text(w, "Label6"), QStringLiteral("1"));
    }

    void noAnswerIsAskedForAgain_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::newRow("empty") << QString();
        QTest::newRow("double zero") << QStringLiteral("00");
    }
    void noAnswerIsAskedForAgain()
    {
        QFETCH(QString, typed);
        Harness h;
        h.start();
        speakEverything(h);
        FactsProblems &w = openDrill(h, {Operation::Subtraction, 5, false, FactRange::ZeroToNine});
        pressStart(w);
        h.voice->spoken.clear();
        answer(w, typed);
        QCOMPARE(h.voice->spoken, QStringList({"Please type your answer."}));
        QCOMPARE(h.state().Drill.FactsShown, 1);
        QCOMPARE(text(w, "Label2") + text(w, "Label6"), QStringLiteral("00"));
        QVERIFY(answerBox(w)->text().isEmpty());
        QCOMPARE(w.focusWidget(), answerBox(w));
    }

    // What Peedy and the voice say around one fact: it is read, missed with
    // Peedy's "No" and the voice's "Wrong" and the corrected fact, read
    // again, then answered right with Peedy's "Good!" and his look to the
    // left and the voice's "Yes!".
    void speechOfARightAndAWrongAnswer_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("right");
        QTest::addColumn<QString>("wrong");
        QTest::addColumn<QString>("reading");
        QTest::addColumn<QString>("correction");
        using O = Operation;
        QTest::newRow("addition") << int(O::Addition) << 5 << 8 << "13"
                                  << "12"
                                  << "8plus5"
                                  << "8plus5,is13";
        QTest::newRow("subtraction") << int(O::Subtraction) << 5 << 8 << "8"
                                     << "7"
                                     << "13minus5"
                                     << "13minus5,is8";
        QTest::newRow("multiplication") << int(O::Multiplication) << 5 << 8 << "40"
                                        << "45"
                                        << "8times5"
                                        << "8times5,is40";
        QTest::newRow("division") << int(O::Division) << 5 << 8 << "8"
                                  << "9"
                                  << "40divided by5"
                                  << "40divided by5,is8";
        QTest::newRow("Facts of Ten 1") << int(O::FactsOfTen) << 1 << 3 << "7"
                                        << "6"
                                        << "10minus what,is3"
                                        << "10minus7,is3";
        QTest::newRow("Facts of Ten 2") << int(O::FactsOfTen) << 2 << 3 << "7"
                                        << "6"
                                        << "3Plus what,is10"
                                        << "3plus7,is10";
    }
    void speechOfARightAndAWrongAnswer()
    {
        QFETCH(int, operation);
        QFETCH(int, option);
        QFETCH(int, value);
        QFETCH(QString, right);
        QFETCH(QString, wrong);
        QFETCH(QString, reading);
        QFETCH(QString, correction);
        Harness h;
        h.start();
        speakEverything(h);
        const auto op = static_cast<Operation>(operation);
        FactsProblems &w = openDrill(h, {op, option, false, FactRange::ZeroToNine});
        h.character->log.clear();
        h.voice->spoken.clear();

        scriptValue(h, op, value);
        pressStart(w);
        QCOMPARE(h.character->spoken(), QStringList({reading}));
        QCOMPARE(h.voice->spoken, QStringList({reading}));

        h.character->log.clear();
        h.voice->spoken.clear();
        scriptRow(h, 2, 7);
        scriptRow(h, 3, 7);
        answer(w, wrong);
        QCOMPARE(h.character->spoken(), QStringList({"No", correction, reading}));
        QCOMPARE(h.voice->spoken, QStringList({"Wrong", correction, reading}));

        h.character->log.clear();
        h.voice->spoken.clear();
        scriptRow(h, 1, 10);
        scriptRow(h, 2, 10);
        scriptValue(h, op, value == 3 ? 4 : 3);
        answer(w, right);
        const QStringList log = h.character->log;
        const int good = static_cast<int>(log.indexOf(QStringLiteral("speak Good!")));
        QVERIFY(good >= 0);
        QCOMPARE(log.value(good + 1), QStringLiteral("play LookLeft"));
        QCOMPARE(h.voice->spoken.first(), QStringLiteral("Yes!"));
        QCOMPARE(h.voice->spoken.size(), 2); // and the next fact
    }

    // A quick student answers before the voice is done. As a new fact goes
    // up, the sentence being said finishes and whatever waits behind it for
    // earlier facts is dropped, so speech stays within one sentence (and a
    // kept praise) of the screen; a fact asked again keeps its correction,
    // still on screen.
    void speechNeverFallsMoreThanOneSentenceBehindTheFacts()
    {
        Harness h;
        h.start();
        speakEverything(h);
        FactsProblems &w = openDrill(h, {Operation::Multiplication, 5, false, FactRange::ZeroToNine});
        h.voice->queue.clear();
        h.character->log.clear();

        scriptValue(h, Operation::Multiplication, 8);
        pressStart(w);
        QCOMPARE(h.voice->queue, QStringList({"8times5"}));

        scriptRow(h, 2, 10); // "Yes!" from Peedy and from the voice
        scriptRow(h, 2, 10);
        scriptValue(h, Operation::Multiplication, 3);
        answer(w, QStringLiteral("40"));
        QCOMPARE(h.voice->queue, QStringList({"8times5", "3times5"}));

        scriptRow(h, 3, 7); // "Wrong"
        scriptRow(h, 3, 7);
        answer(w, QStringLiteral("16"));
        QCOMPARE(h.voice->queue, QStringList({"8times5", "3times5", "Wrong", "3times5,is15", "3times5"}));

        h.voice->finishText();
        scriptRow(h, 2, 10);
        scriptRow(h, 2, 10);
        scriptValue(h, Operation::Multiplication, 6);
        answer(w, QStringLiteral("15"));
        // The last praise was let go: this one is kept, and what waited
        // before it goes instead.
        QCOMPARE(h.voice->queue, QStringList({"3times5", "Yes!", "6times5"}));

        // Peedy is told the same just before each new fact is read (or, when
        // his praise is kept, before it), and not before the fact asked again.
        const QStringList log = h.character->log;
        QStringList readAfterDrop;
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (log.at(i) == QLatin1String("drop waiting"))
                readAfterDrop << log.value(i + 1);
        }
        QCOMPARE(readAfterDrop, QStringList({"speak 8times5", "speak 3times5", "speak Yes!"}));
        QCOMPARE(h.character->spoken().count(QStringLiteral("3times5")), 2);
    }

    // A quick student: every answer comes while Peedy reads. He ends his
    // words at a boundary, never mid-word, and a right answer's praise is let
    // go for the next fact at most every other time.
    void aQuickStudentHearsEveryOtherPraiseAtLeast()
    {
        Harness h;
        h.start();
        speakEverything(h);
        FactsProblems &w = openDrill(h, {Operation::Multiplication, 5, false, FactRange::ZeroToNine});
        w.setPauses(1ms, 1ms);
        scriptValue(h, Operation::Multiplication, 1);
        pressStart(w);
        h.character->log.clear();
        for (int value = 2; value <= 7; ++value) {
            scriptRow(h, 2, 10); // "Yes!" from Peedy and from the voice
            scriptRow(h, 2, 10);
            scriptValue(h, Operation::Multiplication, value);
            answer(w, QString::number(rightAnswer(h)));
        }
        QCOMPARE(h.state().Drill.RightCount, 6);
        const QStringList log = h.character->log;
        QCOMPARE(log.count(QStringLiteral("stop")), 0);
        QCOMPARE(log.count(QStringLiteral("stop at word end")), 6);
        // Each new fact is read after its answer's praise, dropped or kept.
        QStringList praiseLetGo;
        for (qsizetype i = 0; i < log.size(); ++i) {
            if (log.at(i) != QLatin1String("speak Yes!"))
                continue;
            qsizetype reading = i + 1;
            while (reading < log.size() && !log.at(reading).startsWith(QLatin1String("speak ")))
                ++reading;
            praiseLetGo << (log.mid(i, reading - i).contains(QStringLiteral("drop waiting")) ? "dropped" : "kept");
        }
        QCOMPARE(praiseLetGo, QStringList({"dropped", "kept", "dropped", "kept", "dropped", "kept"}));
    }

    void feedbackIsVisibleAtOnceAndPressesDuringThePauseAreIgnored()
    {
        Harness h;
        h.start();
        FactsProblems &w = openDrill(h, {Operation::Addition, 2, false, FactRange::ZeroToNine});
        w.setPauses(200ms, 300ms);
        h.random->draws = {0.45, 0.05};
        pressStart(w);
        QLineEdit *box = answerBox(w);
        QTest::keyClicks(box, QStringLiteral("9"));
        QTest::keyClick(box, Qt::Key_Return);
        // The corrected fact is up before the pause ends and the drill waits.
        QVERIFY(w.isPausing());
        QVERIFY(shown(w, "FactsAnsFix"));
        QCOMPARE(text(w, "FactsAnsFix"), QStringLiteral("6"));
        const DrillSequence during = h.state().Drill;
        QTest::keyClick(box, Qt::Key_Return);
        QTest::mouseClick(button(w), Qt::LeftButton);
        QCOMPARE(h.state().Drill.FactsShown, during.FactsShown);
        QCOMPARE(h.state().Drill.WrongCount, 1);
        // The window keeps answering the student meanwhile.
        w.findChild<QAction *>(QStringLiteral("Help"))->trigger();
        QVERIFY(h.window(QStringLiteral("AssistForm"))->isVisible());

        QTRY_VERIFY(!w.isPausing());
        QCOMPARE(h.state().Drill.FactNumber, 2);
        QCOMPARE(text(w, "Label6"), QStringLiteral("1"));
        QCOMPARE(text(w, "FactsVariable"), QStringLiteral("4"));

        // A right answer hides the box through its pause.
        QTest::keyClicks(box, QStringLiteral("6"));
        QTest::keyClick(box, Qt::Key_Return);
        QVERIFY(w.isPausing());
        QVERIFY(!box->isVisible());
        QVERIFY(!shown(w, "FactsAnsFix"));
        QTest::keyClick(&w, Qt::Key_Return);
        QTRY_VERIFY(!w.isPausing());
        QCOMPARE(h.state().Drill.RightCount, 0); // a missed fact answered at last is not a right one
        QCOMPARE(h.state().Drill.FactNumber, 2);
        QVERIFY(box->isVisible());
        QCOMPARE(h.state().Drill.FactsShown, 3);
    }

    void theAnswerBoxTakesDigitsOnly_data()
    {
        QTest::addColumn<int>("operation");
        QTest::addColumn<int>("length");
        QTest::newRow("addition") << int(Operation::Addition) << 2;
        QTest::newRow("multiplication") << int(Operation::Multiplication) << 3;
        QTest::newRow("Facts of Ten") << int(Operation::FactsOfTen) << 1;
    }
    void theAnswerBoxTakesDigitsOnly()
    {
        QFETCH(int, operation);
        QFETCH(int, length);
        Harness h;
        h.start();
        FactsProblems &w = openDrill(h, {static_cast<Operation>(operation), 2, false, FactRange::ZeroToNine});
        pressStart(w);
        QLineEdit *box = answerBox(w);
        QTest::keyClicks(box, QStringLiteral("a5b-x,"));
        QCOMPARE(box->text(), QStringLiteral("5"));
        QTest::keyClicks(box, QStringLiteral("1234"));
        QCOMPARE(box->text(), QStringLiteral("51234").left(length));
        QTest::keyClick(box, Qt::Key_Space);
        QCOMPARE(box->text(), QStringLiteral("51234").left(length - 1));

        box->setText(QStringLiteral("1"));
        QTest::keyClick(box, Qt::Key_Period, Qt::KeypadModifier);
        QVERIFY(box->text().isEmpty());
        box->setText(QStringLiteral("1"));
        QTest::keyClick(box, Qt::Key_Delete, Qt::KeypadModifier);
        QVERIFY(box->text().isEmpty());
        // German and French keyboards: the number pad's decimal key gives a
        // comma; French digits need Shift, the key's own sign comes unshifted.
        box->setText(QStringLiteral("1"));
        QKeyEvent comma(QEvent::KeyPress, Qt::Key_Comma, Qt::KeypadModifier, QStringLiteral(","));
        QApplication::sendEvent(box, &comma);
        QVERIFY(box->text().isEmpty());
#ifdef Q_OS_LINUX
        for (const auto &[code, sign] : {std::pair {10u, "&"}, std::pair {19u, "\u00e0"}}) {
            QKeyEvent azerty(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, code, 0, 0, QString::fromUtf8(sign));
            QApplication::sendEvent(box, &azerty);
        }
        QCOMPARE(box->text(), QStringLiteral("10").left(length));
        box->clear();
#endif
        // Pasted text passes the same rule.
        box->insert(QStringLiteral("5a"));
        QVERIFY(!box->text().contains(QLatin1Char('a')));
    }

    void closingEarlyRecordsAnUnfinishedDrill_data()
    {
        QTest::addColumn<int>("answered");
        QTest::addColumn<bool>("started");
        QTest::newRow("before Start") << 0 << false;
        QTest::newRow("on fact 3") << 2 << true;
        QTest::newRow("on the last fact") << 9 << true;
        QTest::newRow("with Get Score waiting") << 10 << true;
    }
    void closingEarlyRecordsAnUnfinishedDrill()
    {
        QFETCH(int, answered);
        QFETCH(bool, started);
        Harness h;
        h.start();
        h.state().StudentName = QStringLiteral("Bob Smith");
        h.state().ActivityCode = QStringLiteral("+2");
        h.random->draws = {0.05, 0.15, 0.25, 0.35, 0.45, 0.55, 0.65, 0.75, 0.85, 0.95};
        FactsProblems &w = openDrill(h, {Operation::Addition, 2, false, FactRange::ZeroToNine});
        if (started)
            pressStart(w);
        for (int i = 0; i < answered; ++i)
            answer(w, QString::number(i + 2));
        w.close();
        const QByteArray lines = records(h);
        QCOMPARE(lines.count("\r\n"), 1);
        QVERIFY(lines.contains("Bob Smith"));
        QVERIFY(lines.contains("Inc"));
        QVERIFY(!w.isVisible());
        QVERIFY(h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
    }

    void closingAFactsOfTenDrillReturnsToItsMenu()
    {
        Harness h;
        h.start();
        FactsProblems &w = openDrill(h, {Operation::FactsOfTen, 2, false, FactRange::ZeroToNine});
        w.close();
        QVERIFY(h.window(QStringLiteral("Facts10Menu"))->isVisible());
        QVERIFY(!h.window(QStringLiteral("ChooseMenuMF")) || !h.window(QStringLiteral("ChooseMenuMF"))->isVisible());
    }

    void helpAndQuit()
    {
        Harness h;
        h.start();
        FactsProblems &w = openDrill(h, {Operation::Addition, 2, false, FactRange::ZeroToNine});
        w.findChild<QAction *>(QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Display Problem"));

        h.boxes->answers = {MsgNo};
        w.findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        QVERIFY(w.isVisible());
        QVERIFY(!h.programEnded());
        QVERIFY(records(h).isEmpty());
        h.boxes->answers = {MsgYes};
        w.findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        QCOMPARE(h.boxes->asked.size(), std::size_t(2));
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Do you want to quit?"));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Quit Program"));
        QVERIFY(h.programEnded());
        // The drill left by quitting is recorded as the close box records it.
        QCOMPARE(records(h).count("Inc  \r\n"), 1);
    }

    // However the program ends part-way through a drill, the drill leaves its
    // unfinished record, once: a signal takes no box and no answer.
    void everyEndingRecordsTheDrillOnce_data()
    {
        QTest::addColumn<bool>("quit");
        QTest::newRow("a signal") << false;
        QTest::newRow("Quit, Yes, and a signal as it ends") << true;
    }
    void everyEndingRecordsTheDrillOnce()
    {
        QFETCH(bool, quit);
        Harness h;
        h.start();
        h.state().StudentName = QStringLiteral("Bob Smith");
        FactsProblems &w = openDrill(h, {Operation::Addition, 2, false, FactRange::ZeroToNine});
        pressStart(w);
        for (int i = 0; i < 3; ++i)
            answer(w, QString::number(i + 2));
        h.boxes->answers = {MsgYes};
        if (quit)
            w.findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        h.app().endProgram(Ending::Forced);
        QVERIFY(h.programEnded());
        const QByteArray lines = records(h);
        QCOMPARE(lines.count("\r\n"), 1);
        QVERIFY(lines.contains("Bob Smith"));
        QVERIFY(lines.endsWith("Inc  \r\n"));
        QCOMPARE(h.boxes->titles(), quit ? QStringList {QStringLiteral("Quit Program")} : QStringList());
    }

    // Another program holds "Madtr" and does not let go. Quit and Yes tell the
    // teacher, within a few seconds, that the file is in use and which record
    // was not written; a signal waits a second at most and opens no box. The
    // file stays as it was.
    void aHeldRecordsFileHoldsNothingUp_data()
    {
        QTest::addColumn<bool>("signal");
        QTest::newRow("Quit, Yes") << false;
        QTest::newRow("a signal") << true;
    }
    void aHeldRecordsFileHoldsNothingUp()
    {
        QFETCH(bool, signal);
        Harness h;
        h.start();
        h.state().StudentName = QStringLiteral("Bob Smith");
        FactsProblems &w = openDrill(h, {Operation::Addition, 2, false, FactRange::ZeroToNine});
        pressStart(w);
        answer(w, QStringLiteral("2"));
        const QString path = QDir(h.folder()).filePath(QStringLiteral("Madtr"));
        const QByteArray before = "an earlier record\r\n";
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(before);
        }
        HeldLock lock(path, 10s);
        QVERIFY(lock.held());

        h.boxes->answers = {MsgYes, MsgOk};
        QElapsedTimer took;
        took.start();
        if (signal)
            h.app().endProgram(Ending::Forced);
        else
            w.findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        const qint64 ms = took.elapsed();

        QVERIFY(h.programEnded());
        QCOMPARE(records(h), before);
        if (signal) {
            QVERIFY(h.boxes->asked.empty());
            QVERIFY2(ms < 2500, qPrintable(QString::number(ms)));
        } else {
            QCOMPARE(h.boxes->titles(),
                     (QStringList {QStringLiteral("Quit Program"), QStringLiteral("Drill Not Recorded")}));
            const QString told = h.boxes->asked.back().text;
            QVERIFY2(told.contains(QStringLiteral("in use by another program")), qPrintable(told));
            QVERIFY2(told.contains(QStringLiteral("Bob Smith")) && told.contains(QStringLiteral("Inc")),
                     qPrintable(told));
            QVERIFY2(ms < 5000, qPrintable(QString::number(ms)));
        }
    }
};

QTEST_MAIN(TestFactsProblems)
#include "test_factsproblems.moc"
