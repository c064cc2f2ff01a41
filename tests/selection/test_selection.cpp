#include "app/assistform.h"
#include "app/twips.h"
#include "settings/settingkeys.h"
#include "support/harness.h"

#include <QAction>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>
#include <QWindow>

using namespace plovista;
using namespace plovista::test;

namespace {

const QString Div = QString(QChar(0x00F7));

// Types a good name on the start screen, which opens the operation menu.
QWidget *openOperationMenu(Harness &h)
{
    auto *box = h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"));
    box->clear();
    box->setFocus();
    box->insert(QStringLiteral("Bob Smith"));
    QTest::keyClick(box, Qt::Key_Return);
    QWidget *menu = h.window(QStringLiteral("MainMenu"));
    if (menu)
        (void)QTest::qWaitForWindowExposed(menu);
    return menu;
}

// What the windowing system sends for a double-click: press, release, press,
// release, from which Qt makes the double-click event itself.
void realDoubleClick(QWidget *widget)
{
    QWidget *top = widget->window();
    QTest::mouseDClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

void realClick(QWidget *widget)
{
    QWidget *top = widget->window();
    QTest::mouseClick(top->windowHandle(), Qt::LeftButton, {}, widget->mapTo(top, widget->rect().center()));
}

void trigger(Harness &h, const QString &window, const QString &item)
{
    auto *action = h.findIn<QAction>(window, item);
    QVERIFY2(action, qPrintable(window + QLatin1Char('/') + item));
    action->trigger();
}

bool shown(Harness &h, const QString &window)
{
    QWidget *w = h.window(window);
    return w && w->isVisible();
}

QPoint twipsPoint(int left, int top)
{
    return {twips(left), twips(top)};
}

} // namespace

class TestSelection : public QObject
{
    Q_OBJECT

    // The operation menu's option for a row name, and what it leads to.
    struct Route
    {
        QString option;
        QString title;
        QString horizontal;
        QString sign;
    };
    static Route route(const QString &operation)
    {
        if (operation == QLatin1String("add"))
            return {"AddOptButt", "Addition Menu", "A + B = C", "+"};
        if (operation == QLatin1String("sub"))
            return {"SubOptButt", "Subtraction Menu", "C - B = A", "-"};
        if (operation == QLatin1String("mult"))
            return {"MultOptButt", "Multiplication Menu", "A x B = C", "x"};
        return {"DivOptButt", "Division Menu", "C " + Div + " B = A", Div};
    }

    // From the operation menu to the fact menu by Accept.
    static void chooseOperation(Harness &h, const QString &operation)
    {
        auto *option = h.findIn<QRadioButton>(QStringLiteral("MainMenu"), route(operation).option);
        option->setChecked(true);
        h.findIn<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("AcceptButt"))->click();
    }

    static QCheckBox *box(Harness &h, int n)
    {
        return h.findIn<QCheckBox>(QStringLiteral("ChooseMenuMF"), QStringLiteral("Check%1").arg(n));
    }
    static QRadioButton *factOption(Harness &h, int n)
    {
        return h.findIn<QRadioButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("Option%1").arg(n));
    }

private Q_SLOTS:
    void init() { QApplication::setDoubleClickInterval(400); }

    void goodNameOpensTheMenuOnMultiplication()
    {
        Harness h;
        h.start();
        QWidget *menu = openOperationMenu(h);
        QVERIFY(menu && menu->isVisible());
        QCOMPARE(menu->windowTitle(), QStringLiteral("Main Menu"));
        auto *mult = h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("MultOptButt"));
        QVERIFY(mult->isChecked());
        QCOMPARE(menu->focusWidget(), mult);

        // The next student starts on Multiplication again, whatever the last chose.
        h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("DivOptButt"))->setChecked(true);
        menu->close();
        openOperationMenu(h);
        QVERIFY(mult->isChecked());
    }

    void optionsOpenTheirMenu_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("how");
        for (const char *op : {"add", "sub", "mult", "div"})
            for (const char *how : {"double-click", "accept", "enter"})
                QTest::newRow(qPrintable(QStringLiteral("%1 %2").arg(op, how))) << op << how;
    }
    void optionsOpenTheirMenu()
    {
        QFETCH(QString, operation);
        QFETCH(QString, how);
        Harness h;
        h.start();
        openOperationMenu(h);
        const Route r = route(operation);
        auto *option = h.findIn<QRadioButton>(QStringLiteral("MainMenu"), r.option);
        if (how == QLatin1String("double-click")) {
            realDoubleClick(option);
        } else {
            realClick(option);
            QVERIFY(option->isChecked());
            QVERIFY(shown(h, QStringLiteral("MainMenu"))); // a single click only selects
            if (how == QLatin1String("accept"))
                h.findIn<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("AcceptButt"))->click();
            else
                QTest::keyClick(option, Qt::Key_Return);
        }
        QVERIFY(!shown(h, QStringLiteral("MainMenu")));
        QVERIFY(shown(h, QStringLiteral("ChooseMenuMF")));
        QCOMPARE(h.window(QStringLiteral("ChooseMenuMF"))->windowTitle(), r.title);
        QCOMPARE(box(h, 1)->text(), r.horizontal);
        QCOMPARE(box(h, 2)->text(), QString());
        for (int n = 2; n <= 12; ++n)
            QCOMPARE(factOption(h, n)->text(), r.sign + QString::number(n));
        // The choices a new operation starts from.
        QVERIFY(box(h, 1)->isChecked() && !box(h, 2)->isChecked());
        QVERIFY(box(h, 3)->isChecked() && !box(h, 4)->isChecked());
        QVERIFY(factOption(h, 2)->isChecked());
        for (int n = 2; n <= 12; ++n)
            QCOMPARE(factOption(h, n)->isEnabled(), n < 10);
        QCOMPARE(h.state().SubtractionFlag, operation == QLatin1String("sub"));
        QVERIFY(h.boxes->asked.empty());
    }

    void twoSeparateClicksAreNotADoubleClick()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        auto *add = h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("AddOptButt"));
        realClick(add);
        realClick(add);
        QVERIFY(add->isChecked());
        QVERIFY(shown(h, QStringLiteral("MainMenu")));
        QVERIFY(!shown(h, QStringLiteral("ChooseMenuMF")));
    }

    void factsOfTenDoubleClickOpensItsMenu()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        h.state().FormatCode = QStringLiteral("H");
        realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt")));
        QVERIFY(!shown(h, QStringLiteral("MainMenu")));
        QVERIFY(shown(h, QStringLiteral("Facts10Menu")));
        QVERIFY(!shown(h, QStringLiteral("ChooseMenuMF")));
        QCOMPARE(h.window(QStringLiteral("Facts10Menu"))->windowTitle(), QStringLiteral("Facts of Ten"));
        QVERIFY(h.findIn<QRadioButton>(QStringLiteral("Facts10Menu"), QStringLiteral("Option2"))->isChecked());
        QVERIFY(h.state().FactsOfTenActive);
        QCOMPARE(h.state().ActivityCode, QStringLiteral("F10"));
        QVERIFY(h.state().FormatCode.isEmpty());
    }

    void viewRecordsWithoutRecordsComesBack()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        auto *view = h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("ViewRecordsOption"));
        realDoubleClick(view);
        QCOMPARE(h.boxes->asked.size(), size_t(1));
        QCOMPARE(h.boxes->asked.front().text, QStringLiteral("There are no current records."));
        QCOMPARE(h.boxes->asked.front().title, QStringLiteral("No Current Records"));
        QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::Ok);
        QVERIFY(shown(h, QStringLiteral("MainMenu")));
        QVERIFY(view->isChecked());
        QVERIFY(!shown(h, QStringLiteral("ChooseMenuMF")));
    }

    void pictureFollowsTheOperation()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        auto part = [&h](const QString &name) { return h.findIn<QWidget>(QStringLiteral("ChooseMenuMF"), name); };
        auto letter = [&h](const QString &name) { return h.findIn<QLabel>(QStringLiteral("ChooseMenuMF"), name); };

        // Division first, so the addition picture must clear what it left.
        chooseOperation(h, QStringLiteral("div"));
        QVERIFY(!letter("Label4")->isVisible() && !letter("Label7")->isVisible());
        QCOMPARE(letter("Label9")->text(), QStringLiteral("C"));
        QCOMPARE(letter("Label9")->pos(), twipsPoint(1780, 1100));
        QCOMPARE(letter("Label6")->pos(), twipsPoint(1500, 1080));
        QCOMPARE(letter("Label3")->pos(), twipsPoint(1780, 850));
        QCOMPARE(part("Line1")->geometry(), QRect(twipsPoint(1700, 1100), QSize(twips(300), 1)));
        QCOMPARE(part("Line2")->geometry(), QRect(twipsPoint(1700, 1100), QSize(1, twips(200))));
        QVERIFY(part("Line2")->isVisible());
        QCOMPARE(letter("Label5")->y(), twips(600)); // "Vertical" keeps its designed top

        h.window(QStringLiteral("ChooseMenuMF"))->close();
        chooseOperation(h, QStringLiteral("add"));
        QStringList letters;
        for (const char *name : {"Label3", "Label4", "Label6", "Label7"}) {
            QVERIFY(letter(name)->isVisible());
            letters << letter(name)->text();
        }
        QCOMPARE(letters, QStringList({"A", "+", "B", "C"}));
        QCOMPARE(letter("Label4")->pos(), twipsPoint(1500, 1040));
        QCOMPARE(letter("Label7")->pos(), twipsPoint(1680, 1260));
        QVERIFY(!letter("Label9")->isVisible());
        QVERIFY(!part("Line2")->isVisible());
        QCOMPARE(part("Line1")->geometry(), QRect(twipsPoint(1440, 1280), QSize(twips(480), 1)));
        QCOMPARE(letter("Label5")->y(), twips(550));

        h.window(QStringLiteral("ChooseMenuMF"))->close();
        chooseOperation(h, QStringLiteral("sub"));
        QCOMPARE(letter("Label3")->text(), QStringLiteral("C"));
        QCOMPARE(letter("Label4")->text(), QStringLiteral("-"));
        QCOMPARE(letter("Label7")->text(), QStringLiteral("A"));

        h.window(QStringLiteral("ChooseMenuMF"))->close();
        chooseOperation(h, QStringLiteral("mult"));
        QCOMPARE(letter("Label4")->text(), QStringLiteral("x"));
        QCOMPARE(letter("Label3")->pos(), twipsPoint(1680, 800));
    }

    void rangeBoxesRuleTheTwoDigitOptions()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        chooseOperation(h, QStringLiteral("add"));
        QTest::mouseClick(box(h, 4), Qt::LeftButton);
        QVERIFY(box(h, 4)->isChecked() && !box(h, 3)->isChecked());
        QVERIFY(factOption(h, 11)->isEnabled());
        QVERIFY(factOption(h, 2)->isChecked()); // 0 --> 12 keeps the selected option
        QTest::mouseClick(factOption(h, 11), Qt::LeftButton);
        QVERIFY(factOption(h, 11)->isChecked());

        QTest::mouseClick(box(h, 3), Qt::LeftButton);
        QVERIFY(box(h, 3)->isChecked() && !box(h, 4)->isChecked());
        QVERIFY(factOption(h, 2)->isChecked());
        for (int n : {10, 11, 12})
            QVERIFY(!factOption(h, n)->isEnabled());

        // Unchecking 0 --> 9 by a click still runs its rule and leaves no range.
        QTest::mouseClick(factOption(h, 7), Qt::LeftButton);
        QTest::mouseClick(box(h, 3), Qt::LeftButton);
        QVERIFY(!box(h, 3)->isChecked() && !box(h, 4)->isChecked());
        QVERIFY(factOption(h, 2)->isChecked());
    }

    void formatBoxesAreOneChoiceOrNone()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        chooseOperation(h, QStringLiteral("mult"));
        QTest::mouseClick(box(h, 2), Qt::LeftButton);
        QVERIFY(box(h, 2)->isChecked() && !box(h, 1)->isChecked());
        QTest::mouseClick(box(h, 1), Qt::LeftButton);
        QVERIFY(box(h, 1)->isChecked() && !box(h, 2)->isChecked());
        QTest::mouseClick(box(h, 1), Qt::LeftButton);
        QVERIFY(!box(h, 1)->isChecked() && !box(h, 2)->isChecked());
        // The range boxes are a pair of their own.
        QVERIFY(box(h, 3)->isChecked());
    }

    void incompleteChoiceIsToldThreeWays_data()
    {
        QTest::addColumn<bool>("range");
        QTest::addColumn<bool>("format");
        QTest::addColumn<QString>("peedy");
        QTest::addColumn<QString>("voice");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("title");
        QTest::addColumn<bool>("countersReset");
        QTest::newRow("no range") << false << true << "Please check a Facts ~Range box."
                                  << "Please check a Facts Range box."
                                  << "Please check a  Facts Range  box."
                                  << "Facts Range" << false;
        QTest::newRow("no format") << true << false << "Please check a Format box."
                                   << "Please check a Format box."
                                   << "Please check a Format box."
                                   << "Format Box" << true;
        // The range is checked first: only its message.
        QTest::newRow("neither") << false << false << "Please check a Facts ~Range box."
                                 << "Please check a Facts Range box."
                                 << "Please check a  Facts Range  box."
                                 << "Facts Range" << false;
    }
    void incompleteChoiceIsToldThreeWays()
    {
        QFETCH(bool, range);
        QFETCH(bool, format);
        QFETCH(QString, peedy);
        QFETCH(QString, voice);
        QFETCH(QString, text);
        QFETCH(QString, title);
        QFETCH(bool, countersReset);
        Harness h;
        h.start();
        openOperationMenu(h);
        chooseOperation(h, QStringLiteral("add"));
        if (!range)
            QTest::mouseClick(box(h, 3), Qt::LeftButton);
        if (!format)
            QTest::mouseClick(box(h, 1), Qt::LeftButton);
        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.settings().setForThisRun(keys::VoiceEnabled, true);
        h.state().Drill.RightCount = 4;
        h.state().ActivityCode = QStringLiteral("x3");
        h.character->log.clear();
        h.voice->spoken.clear();
        h.boxes->asked.clear();

        h.findIn<QPushButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("AcceptButt"))->click();

        QCOMPARE(h.character->log,
                 QStringList({"stop", QStringLiteral("move 40,%1").arg(h.app().speech().perchTop()), "play gestureleft",
                              "speak " + peedy}));
        QCOMPARE(h.voice->spoken, QStringList({voice}));
        QCOMPARE(h.boxes->asked.size(), size_t(1));
        QCOMPARE(h.boxes->asked.front().text, text);
        QCOMPARE(h.boxes->asked.front().title, title);
        QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::Ok);
        QCOMPARE(h.state().Drill.RightCount, countersReset ? 0 : 4);
        // Nothing else moves: the menu and its choice stay, no drill opens.
        QVERIFY(shown(h, QStringLiteral("ChooseMenuMF")));
        QVERIFY(!shown(h, QStringLiteral("FactsProblems")));
        QCOMPARE(h.state().ActivityCode, QStringLiteral("x3"));
        QCOMPARE(box(h, 3)->isChecked(), range);
        QCOMPARE(box(h, 1)->isChecked(), format);
    }

    void silentSwitchesLeaveOnlyTheBox()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        chooseOperation(h, QStringLiteral("add"));
        QTest::mouseClick(box(h, 1), Qt::LeftButton);
        h.settings().setForThisRun(keys::PeedyEnabled, false);
        h.settings().setForThisRun(keys::VoiceEnabled, false);
        h.character->log.clear();
        h.voice->spoken.clear();
        QTest::keyClick(box(h, 3), Qt::Key_Return); // Enter presses Accept
        QVERIFY(h.character->log.isEmpty());
        QVERIFY(h.voice->spoken.isEmpty());
        QCOMPARE(h.boxes->titles(), QStringList({"Format Box"}));
    }

    void acceptWritesTheCodes_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<bool>("vertical");
        QTest::addColumn<bool>("toTwelve");
        QTest::addColumn<int>("option");
        QTest::addColumn<QString>("activity");
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("range");
        QTest::addColumn<QString>("caption");
        QTest::newRow("+7 H 0->9") << "add" << false << false << 7 << "+7"
                                   << "H"
                                   << "0->9"
                                   << "Horizontal Mode,  Range: 0 --> 9";
        QTest::newRow("x12 V 0->12") << "mult" << true << true << 12 << "x12"
                                     << "V"
                                     << "0->12"
                                     << "Vertical Mode,  Range: 0 --> 12";
        QTest::newRow("div5 H 0->12") << "div" << false << true << 5 << Div + "5"
                                      << "H"
                                      << "0->12"
                                      << "Horizontal Mode,  Range: 0 --> 12";
        QTest::newRow("-3 V 0->9") << "sub" << true << false << 3 << "-3"
                                   << "V"
                                   << "0->9"
                                   << "Vertical Mode,  Range: 0 --> 9";
    }
    void acceptWritesTheCodes()
    {
        QFETCH(QString, operation);
        QFETCH(bool, vertical);
        QFETCH(bool, toTwelve);
        QFETCH(int, option);
        QFETCH(QString, activity);
        QFETCH(QString, format);
        QFETCH(QString, range);
        QFETCH(QString, caption);
        Harness h;
        h.start();
        openOperationMenu(h);
        realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), route(operation).option));
        if (vertical)
            QTest::mouseClick(box(h, 2), Qt::LeftButton);
        if (toTwelve)
            QTest::mouseClick(box(h, 4), Qt::LeftButton);
        QTest::mouseClick(factOption(h, option), Qt::LeftButton);
        AppState &s = h.state();
        s.Drill.RightCount = 3;
        s.Drill.WrongCount = 2;
        s.Drill.FactNumber = 9;
        s.Drill.RepeatFact = true;
        s.Drill.UsedValues[4] = 6;
        h.clock->time = QDateTime(QDate(2026, 12, 6), QTime(9, 30, 15));

        h.findIn<QPushButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("AcceptButt"))->click();

        QCOMPARE(s.ActivityCode, activity);
        QCOMPARE(s.FormatCode, format);
        QCOMPARE(s.RangeCode, range);
        QCOMPARE(s.Selection.factOption, option);
        QCOMPARE(s.Selection.range, toTwelve ? FactRange::ZeroToTwelve : FactRange::ZeroToNine);
        QCOMPARE(s.Drill.RightCount, 0);
        QCOMPARE(s.Drill.WrongCount, 0);
        QCOMPARE(s.Drill.FactNumber, 1);
        QCOMPARE(s.Drill.FactsShown, 0);
        QVERIFY(!s.Drill.RepeatFact);
        QVERIFY(!s.Drill.UsedValues[4].has_value());
        QCOMPARE(s.Drill.Button, DrillButton::Start);
        QCOMPARE(s.StartSeconds, 9 * 3600 + 30 * 60 + 15.0);
        QVERIFY(!shown(h, QStringLiteral("ChooseMenuMF")));
        QVERIFY(shown(h, QStringLiteral("FactsProblems")));
        QCOMPARE(h.window(QStringLiteral("FactsProblems"))->windowTitle(), caption);
        QVERIFY(h.boxes->asked.empty());
    }

    void operationReachesTheDrill_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<int>("expected");
        QTest::newRow("add") << "add" << int(Operation::Addition);
        QTest::newRow("sub") << "sub" << int(Operation::Subtraction);
        QTest::newRow("mult") << "mult" << int(Operation::Multiplication);
        QTest::newRow("div") << "div" << int(Operation::Division);
    }
    void operationReachesTheDrill()
    {
        QFETCH(QString, operation);
        QFETCH(int, expected);
        Harness h;
        h.start();
        openOperationMenu(h);
        chooseOperation(h, operation);
        QTest::keyClick(factOption(h, 2), Qt::Key_Return);
        QCOMPARE(int(h.state().Selection.operation), expected);
        QVERIFY(shown(h, QStringLiteral("FactsProblems")));
    }

    void factsOfTenAccept_data()
    {
        QTest::addColumn<QString>("option");
        QTest::addColumn<int>("format");
        QTest::newRow("format 1") << "Option1" << 1;
        QTest::newRow("format 2") << "Option2" << 2;
    }
    void factsOfTenAccept()
    {
        QFETCH(QString, option);
        QFETCH(int, format);
        Harness h;
        h.start();
        openOperationMenu(h);
        // A subtraction drill first: its range code stays, its flag does not.
        chooseOperation(h, QStringLiteral("sub"));
        QTest::mouseClick(box(h, 4), Qt::LeftButton);
        h.findIn<QPushButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("AcceptButt"))->click();
        QVERIFY(h.state().SubtractionFlag);
        h.window(QStringLiteral("FactsProblems"))->hide();
        h.window(QStringLiteral("MainMenu"))->show();

        h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt"))->setChecked(true);
        h.findIn<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("AcceptButt"))->click();
        QVERIFY(shown(h, QStringLiteral("Facts10Menu")));
        AppState &s = h.state();
        s.Drill.WrongCount = 5;
        s.Drill.FactNumber = 7;
        s.FactsOfTenActive = false;
        realClick(h.findIn<QRadioButton>(QStringLiteral("Facts10Menu"), option));
        h.findIn<QPushButton>(QStringLiteral("Facts10Menu"), QStringLiteral("AcceptButt"))->click();

        QCOMPARE(s.FormatCode, QString::number(format));
        QCOMPARE(s.Selection.factsOfTenFormat, format);
        QCOMPARE(s.Selection.operation, Operation::FactsOfTen);
        QCOMPARE(s.Selection.factOption, 0);
        QCOMPARE(s.ActivityCode, QStringLiteral("F10"));
        QCOMPARE(s.RangeCode, QStringLiteral("0->12"));
        QVERIFY(s.FactsOfTenActive);
        QVERIFY(!s.SubtractionFlag);
        QCOMPARE(s.Drill.WrongCount, 0);
        QCOMPARE(s.Drill.FactNumber, 1);
        QVERIFY(!shown(h, QStringLiteral("Facts10Menu")));
        QVERIFY(shown(h, QStringLiteral("FactsProblems")));
    }

    void factsOfTenDoubleClickAccepts()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt")));
        QWidget *menu = h.window(QStringLiteral("Facts10Menu"));
        QVERIFY(QTest::qWaitForWindowExposed(menu));
        realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("Facts10Menu"), QStringLiteral("Option1")));
        QCOMPARE(h.state().FormatCode, QStringLiteral("1"));
        QVERIFY(shown(h, QStringLiteral("FactsProblems")));
    }

    void subtractionFlagOutlivesOtherOperations()
    {
        Harness h;
        h.start();
        openOperationMenu(h);
        QVERIFY(!h.state().SubtractionFlag);
        chooseOperation(h, QStringLiteral("sub"));
        QVERIFY(h.state().SubtractionFlag);
        h.window(QStringLiteral("ChooseMenuMF"))->close();
        chooseOperation(h, QStringLiteral("add"));
        QVERIFY(h.state().SubtractionFlag);
    }

    void closeBoxesGoBack()
    {
        Harness h;
        h.start();
        QWidget *mainMenu = openOperationMenu(h);
        chooseOperation(h, QStringLiteral("div"));
        h.state().FactsOfTenActive = true;
        h.window(QStringLiteral("ChooseMenuMF"))->close();
        QVERIFY(!h.state().FactsOfTenActive);
        QVERIFY(mainMenu->isVisible());
        QVERIFY(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("DivOptButt"))->isChecked());

        h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt"))->setChecked(true);
        h.findIn<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("AcceptButt"))->click();
        QVERIFY(h.state().FactsOfTenActive);
        h.window(QStringLiteral("Facts10Menu"))->close();
        QVERIFY(!h.state().FactsOfTenActive);
        QVERIFY(!shown(h, QStringLiteral("Facts10Menu")));
        QVERIFY(mainMenu->isVisible());
        QVERIFY(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt"))->isChecked());

        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.character->log.clear();
        mainMenu->close();
        QVERIFY(!mainMenu->isVisible());
        QCOMPARE(h.character->log, QStringList({"stop"}));
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(company->isVisible() && company->isEnabled());
        QVERIFY(h.findIn<QWidget>(QStringLiteral("Company"), QStringLiteral("Frame1"))->isVisible());
        QCOMPARE(company->focusWidget(), h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1")));
        QVERIFY(h.boxes->asked.empty());
        QVERIFY(!h.programEnded());
    }

    void helpItems_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("operation menu")
            << "MainMenu"
            << "Main Menu"
            << "Double-click on an option.  Select  'View Records'  to view the current records.";
        QTest::newRow("fact menu") << "ChooseMenuMF"
                                   << "Menu Selection"
                                   << "Select a Format checkbox, Fact Range checkbox  and a Fact Option. Then press "
                                      "the Enter key or the Accept button.";
        QTest::newRow("facts of ten") << "Facts10Menu"
                                      << "Facts of Ten"
                                      << "Select a  Mode checkbox and press the Enter key or the Accept button.";
    }
    void helpItems()
    {
        QFETCH(QString, window);
        QFETCH(QString, title);
        QFETCH(QString, text);
        Harness h;
        h.start();
        openOperationMenu(h);
        if (window == QLatin1String("ChooseMenuMF"))
            chooseOperation(h, QStringLiteral("add"));
        if (window == QLatin1String("Facts10Menu"))
            realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt")));
        trigger(h, window, QStringLiteral("Help"));
        auto *assist = qobject_cast<AssistForm *>(h.window(QStringLiteral("AssistForm")));
        QVERIFY(assist && assist->isVisible());
        QCOMPARE(assist->windowTitle(), title);
        QCOMPARE(assist->text(), text);

        // Accepting (or closing) puts the directions away.
        if (window == QLatin1String("MainMenu"))
            h.findIn<QPushButton>(window, QStringLiteral("AcceptButt"))->click();
        else
            h.window(window)->close();
        QVERIFY(!assist->isVisible());
    }

    void quitAsksFirst_data()
    {
        QTest::addColumn<QString>("window");
        QTest::addColumn<int>("answer");
        for (const char *w : {"MainMenu", "ChooseMenuMF", "Facts10Menu"}) {
            QTest::newRow(qPrintable(QStringLiteral("%1 No").arg(w))) << w << int(MsgNo);
            QTest::newRow(qPrintable(QStringLiteral("%1 Yes").arg(w))) << w << int(MsgYes);
        }
    }
    void quitAsksFirst()
    {
        QFETCH(QString, window);
        QFETCH(int, answer);
        Harness h;
        h.start();
        openOperationMenu(h);
        if (window == QLatin1String("ChooseMenuMF"))
            chooseOperation(h, QStringLiteral("sub"));
        if (window == QLatin1String("Facts10Menu"))
            realDoubleClick(h.findIn<QRadioButton>(QStringLiteral("MainMenu"), QStringLiteral("Facts10OptButt")));
        QVERIFY(shown(h, window));
        h.settings().setForThisRun(keys::PeedyEnabled, true);
        h.character->log.clear();
        h.boxes->answers = {answer};

        trigger(h, window, QStringLiteral("Quit"));

        QCOMPARE(h.boxes->asked.size(), size_t(1));
        QCOMPARE(h.boxes->asked.front().text, QStringLiteral("Do you want to quit?"));
        QCOMPARE(h.boxes->asked.front().title, QStringLiteral("Quit Program"));
        QCOMPARE(h.boxes->asked.front().buttons, MsgButtons::YesNo);
        QCOMPARE(h.character->log.mid(0, 2),
                 QStringList({"stop", QStringLiteral("move 40,%1").arg(h.app().speech().perchTop())}));
        QCOMPARE(h.programEnded(), answer == MsgYes);
        QCOMPARE(shown(h, window), answer == MsgNo);
    }
};

QTEST_MAIN(TestSelection)
#include "test_selection.moc"
