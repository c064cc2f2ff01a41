#include "app/company.h"
#include "app/twips.h"
#include "records/savedrecords.h"
#include "settings/settingkeys.h"
#include "support/teacherroad.h"
#include "teacher/subutility.h"

#include <QDir>
#include <QFile>
#include <QFrame>
#include <QLabel>

using namespace plovista;
using namespace plovista::test;

namespace {

QWidget *passwordWindow(Harness &h)
{
    return h.window(QStringLiteral("GetPassW"));
}

bool backAtStart(Harness &h)
{
    Company &company = h.app().company();
    return company.isEnabled() && h.findIn<QFrame>(QStringLiteral("Company"), QStringLiteral("Frame1"))->isVisible() &&
        company.focusWidget() == h.findIn<QWidget>(QStringLiteral("Company"), QStringLiteral("Text1"));
}

QRadioButton *subOption(Harness &h, int number)
{
    return option(h, QStringLiteral("SubUtility"), QStringLiteral("Option%1").arg(number));
}

// The number of the one checked option; 0 for none, -1 for more than one.
int checkedOption(Harness &h)
{
    int checked = 0;
    for (int i = 1; i <= 6; ++i)
        if (subOption(h, i)->isChecked())
            checked = checked ? -1 : i;
    return checked;
}

// Whether a window manager has room to draw the whole title: the title in a
// bold face, and some 100 pixels beside it for the title bar's buttons and
// margins (openbox cuts "Utility Menu" in a window 168 pixels wide).
bool titleInFull(QWidget *window)
{
    QFont bold = window->font();
    bold.setBold(true);
    return window->frameGeometry().width() >= QFontMetrics(bold).horizontalAdvance(window->windowTitle()) + 100;
}

const QString Length = QStringLiteral("Password must be 5 characters");
const QString Disagree = QStringLiteral("Your password entries do not agree. Try again.");
const QString Comma = QStringLiteral("A password cannot contain a comma. Please choose another password; the old "
                                     "password is still in force.");

struct ChangeCase
{
    const char *row;
    const char *first;
    const char *second;
    int answer;
    QString told; // the box's text; empty for no box
    bool cleared;
    bool saved; // and the window closes
};
const ChangeCase ChangeCases[] = {
    {"three characters, Retry", "abc", "abc", MsgRetry, Length, true, false},
    {"three characters, Cancel", "abc", "abc", MsgCancel, Length, true, false},
    {"one box empty", "tiger", "", MsgRetry, Length, true, false},
    {"last character differs, Retry", "tiger", "tigex", MsgRetry, Disagree, true, false},
    {"last character differs, Cancel", "tiger", "tigex", MsgCancel, Disagree, false, false},
    {"a comma", "ti,er", "ti,er", MsgOk, Comma, true, false},
    {"both empty", "", "", MsgOk, QString(), true, false},
    {"five equal characters", "tiger", "tiger", MsgOk, QStringLiteral("Your new password has been saved."), true, true},
};

struct ShapeCase
{
    const char *row;
    const char *choice;
    QString setting; // the value in force
    const char *caption;
    QSize size; // twips
    QStringList captions;
    int selected;
    int picked = -1; // then accepted: 0 for none, -1 for no Accept
    const char *file = nullptr;
    QByteArray written = {};
};
const QStringList Facts {"10", "20", "30", "40", "50"};
const QStringList Speeds {"5.0", "3.5", "3.0", "2.5", "2.0"};
const QStringList Accuracies {"80", "85", "90", "95", "100"};
const QStringList Bar {"Visible", "Invisible"};
const ShapeCase ShapeCases[] = {
    {"menu bar visible, hidden", "MenuBar", "Visible", "Menu Bar", {2300, 2700}, Bar, 1, 2, "Mbar", "Invisible\r\n"},
    {"menu bar invisible, shown", "MenuBar", "Invisible", "Menu Bar", {2300, 2700}, Bar, 2, 1, "Mbar", "Visible\r\n"},
    {"menu bar unreadable", "MenuBar", "", "Menu Bar", {2300, 2700}, Bar, 2},
    {"30 facts, 40 chosen", "SetFacts", "30", "Number of Facts", {2700, 4500}, Facts, 3, 4, "Facts", " 40 \r\n"},
    {"speed 3.0, 2.5 chosen", "SetSpeedGoals", "3.0", "Speed Goal", {2700, 4500}, Speeds, 3, 4, "Sg", "2.5\r\n"},
    {"speed 4.2 kept", "SetSpeedGoals", "4.2", "Speed Goal", {2700, 4500}, Speeds, 0, 0, "Sg", "4.2\r\n"},
    {"accuracy 95, 85 chosen",
     "SetAccuracyGoals",
     "95",
     "Accuracy Goal",
     {2700, 4500},
     Accuracies,
     4,
     2,
     "Ag",
     "85\r\n"},
    {"accuracy 97 kept", "SetAccuracyGoals", "97", "Accuracy Goal", {2700, 4500}, Accuracies, 0, 0, "Ag", "97\r\n"},
    {"records", "Records", "", "Records", {7000, 2900}, {"View", "Delete", "Save", "View", "Delete", "Rename"}, 0},
};

const char *const InformationMenus[] = {"Directions", "Display", "Teaching", "Uninstall", "ContactCorvanel", "About"};

template<typename Case, std::size_t N>
void rows(const Case (&cases)[N])
{
    QTest::addColumn<int>("index");
    for (std::size_t i = 0; i < N; ++i)
        QTest::newRow(cases[i].row) << int(i);
}

} // namespace

class TestTeacher : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Keys typed one by one; '\b' is Backspace. The menu opens on the key
    // at `opensAt` (0-based) and not a key before; -1: never.
    void thePasswordIsTestedAsItIsTyped_data()
    {
        QTest::addColumn<QString>("keys");
        QTest::addColumn<int>("opensAt");
        QTest::newRow("maple") << "maple" << 4;
        QTest::newRow("capital first letter") << "Maple" << -1;
        QTest::newRow("five wrong, erased, then right") << "qwert\b\b\b\b\bmaple" << 14;
        QTest::newRow("right letters in the wrong order") << "mapel" << -1;
    }
    void thePasswordIsTestedAsItIsTyped()
    {
        QFETCH(QString, keys);
        QFETCH(int, opensAt);
        Harness h;
        h.start();
        typeAccessCode(h);
        QLineEdit *box = passwordBox(h);
        for (int i = 0; i < keys.size(); ++i) {
            if (keys[i] == QLatin1Char('\b'))
                QTest::keyClick(box, Qt::Key_Backspace);
            else
                QTest::keyClick(box, keys[i].toLatin1());
            QCOMPARE(shown(h, QStringLiteral("UtilityForm")), opensAt >= 0 && i >= opensAt);
        }
        QVERIFY(h.boxes->asked.empty());
        if (opensAt < 0) {
            // Five stars, Accept off, the window as it was; closing it is
            // the way back.
            QCOMPARE(box->displayText(), QStringLiteral("*****"));
            QVERIFY(!h.findIn<QPushButton>(QStringLiteral("GetPassW"), QStringLiteral("Command1"))->isEnabled());
            QVERIFY(!h.app().company().isEnabled());
            passwordWindow(h)->close();
            QVERIFY(backAtStart(h));
            return;
        }
        QVERIFY(!passwordWindow(h)->isVisible());
        QVERIFY(!h.findIn<QFrame>(QStringLiteral("Company"), QStringLiteral("Frame1"))->isVisible());
        auto *speech = option(h, QStringLiteral("UtilityForm"), QStringLiteral("Speech"));
        QVERIFY(speech->isChecked());
        QCOMPARE(h.window(QStringLiteral("UtilityForm"))->focusWidget(), speech);
    }

    void changingThePassword_data() { rows(ChangeCases); }
    void changingThePassword()
    {
        QFETCH(int, index);
        const ChangeCase &c = ChangeCases[index];
        Harness h;
        h.start();
        const QByteArray before = h.readRaw(QStringLiteral("AdWord"));
        // The change button alone is no way in: the password comes first.
        typeAccessCode(h);
        h.findIn<QPushButton>(QStringLiteral("GetPassW"), QStringLiteral("ChangeButt"))->click();
        QTest::keyClicks(passwordBox(h), QStringLiteral("tiger"));
        QWidget *window = passwordWindow(h);
        QCOMPARE(window->windowTitle(), QStringLiteral("Password"));
        QWidget *client = window->findChild<QWidget *>(QStringLiteral("client"));
        const int entryHeight = client->height();
        passwordBox(h)->clear();
        QTest::keyClicks(passwordBox(h), QStringLiteral("maple"));
        QVERIFY(!shown(h, QStringLiteral("UtilityForm")));
        QCOMPARE(window->windowTitle(), QStringLiteral("Change Password"));
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("GetPassW"), QStringLiteral("Label1"))->text(),
                 QStringLiteral("Type the new password in both boxes."));
        QVERIFY(passwordBox(h, "Text2")->isVisible());
        QVERIFY(client->height() > entryHeight);

        passwordBox(h)->setText(QLatin1String(c.first));
        passwordBox(h, "Text2")->setText(QLatin1String(c.second));
        h.boxes->answers = {c.answer};
        h.findIn<QPushButton>(QStringLiteral("GetPassW"), QStringLiteral("Command1"))->click();

        QCOMPARE(h.boxes->asked.size(), std::size_t(c.told.isEmpty() ? 0 : 1));
        if (!c.told.isEmpty()) {
            QCOMPARE(h.boxes->asked[0].text, c.told);
            QCOMPARE(h.boxes->asked[0].title, c.saved ? QStringLiteral("Password Saved") : QStringLiteral("Error"));
            if (c.told == Length || c.told == Disagree)
                QCOMPARE(h.boxes->asked[0].buttons, MsgButtons::RetryCancel);
        }
        QCOMPARE(passwordBox(h)->text().isEmpty() && passwordBox(h, "Text2")->text().isEmpty(), c.cleared);
        const bool closes = c.saved || c.told.isEmpty();
        QCOMPARE(window->isVisible(), !closes);
        QCOMPARE(backAtStart(h), closes);
        const QByteArray after = h.readRaw(QStringLiteral("AdWord"));
        if (!c.saved) {
            QCOMPARE(after, before);
            return;
        }
        QCOMPARE(after.size(), 37);
        QVERIFY(after.endsWith("\r\n"));
        QByteArray stored;
        for (const int at : {5, 11, 17, 23, 29})
            stored += after.at(at);
        QCOMPARE(stored, QByteArray("tiger"));
        // The old password no longer opens the menu, the new one does, and
        // the next opening is in entry mode again.
        openUtilityMenu(h, QStringLiteral("maple"));
        QCOMPARE(window->windowTitle(), QStringLiteral("Password"));
        QVERIFY(!passwordBox(h, "Text2")->isVisible());
        QVERIFY(!shown(h, QStringLiteral("UtilityForm")));
        passwordBox(h)->clear();
        QTest::keyClicks(passwordBox(h), QStringLiteral("tiger"));
        QVERIFY(shown(h, QStringLiteral("UtilityForm")));
    }

    // Each shape opens over an option left selected by the speed shape
    // ("2.5"), which must never carry over; a setting's shape then writes
    // the value chosen.
    // Windows open clear of what their text talks about: the password window
    // of the name box the access code was typed in, the sub-menu's
    // directions of its options; and the Utility Menu shows its whole title.
    void windowsOpenClearOfWhatTheyTalkAbout()
    {
        Harness h;
        h.start();
        typeAccessCode(h);
        QWidget *password = passwordWindow(h);
        QVERIFY(password->isVisible());
        QVERIFY(!password->frameGeometry().intersects(h.app().company().nameArea()));
        QVERIFY(password->screen()->availableGeometry().contains(password->frameGeometry()));

        QTest::keyClicks(passwordBox(h), QStringLiteral("maple"));
        QVERIFY(shown(h, QStringLiteral("UtilityForm")));
        QVERIFY(titleInFull(h.window(QStringLiteral("UtilityForm"))));
        chooseUtility(h, QStringLiteral("SetFacts"));
        QWidget *sub = h.window(QStringLiteral("SubUtility"));
        menuAction(sub, QStringLiteral("Help"))->trigger();
        QVERIFY(shown(h, QStringLiteral("AssistForm")));
        QVERIFY(!h.window(QStringLiteral("AssistForm"))->frameGeometry().intersects(sub->frameGeometry()));
    }

    void subMenuShapes_data() { rows(ShapeCases); }
    void subMenuShapes()
    {
        QFETCH(int, index);
        const ShapeCase &c = ShapeCases[index];
        const QString choice = QLatin1String(c.choice);
        Harness h;
        h.start();
        openUtilityMenu(h);
        chooseUtility(h, QStringLiteral("SetSpeedGoals"));
        subOption(h, 4)->setChecked(true);
        h.window(QStringLiteral("SubUtility"))->close();
        QVERIFY(shown(h, QStringLiteral("UtilityForm")));

        if (choice == QLatin1String("MenuBar"))
            h.settings().setForThisRun(keys::MenuBarState, c.setting);
        h.settings().setForThisRun(keys::FactsCount, choice == QLatin1String("SetFacts") ? c.setting.toInt() : 20);
        h.settings().setForThisRun(keys::SpeedGoal,
                                   choice == QLatin1String("SetSpeedGoals") ? c.setting : QStringLiteral("2.0"));
        h.settings().setForThisRun(keys::AccuracyGoal,
                                   choice == QLatin1String("SetAccuracyGoals") ? c.setting : QStringLiteral("80"));
        chooseUtility(h, choice);

        QWidget *sub = h.window(QStringLiteral("SubUtility"));
        QVERIFY(sub->isVisible());
        QVERIFY(!shown(h, QStringLiteral("UtilityForm")));
        QCOMPARE(sub->windowTitle(), QLatin1String(c.caption));
        QCOMPARE(sub->findChild<QWidget *>(QStringLiteral("client"))->size(),
                 QSize(twips(c.size.width() - 120), twips(c.size.height() - 600)));
        QVERIFY(titleInFull(sub));
        QStringList captions;
        for (int i = 1; i <= 6; ++i)
            if (subOption(h, i)->isVisibleTo(sub))
                captions << subOption(h, i)->text();
        QCOMPARE(captions, c.captions);
        QCOMPARE(checkedOption(h), c.selected);
        const bool records = choice == QLatin1String("Records");
        for (const char *label : {"CurrentLabel", "SavedLabel"})
            QCOMPARE(h.findIn<QLabel>(QStringLiteral("SubUtility"), QLatin1String(label))->isVisibleTo(sub), records);
        if (choice == QLatin1String("MenuBar"))
            QCOMPARE(sub->focusWidget(), h.findIn<QWidget>(QStringLiteral("SubUtility"), QStringLiteral("Accept")));
        QCOMPARE(subOption(h, 1)->toolTip(), records ? QStringLiteral(" View current records ") : QString());
        QCOMPARE(subOption(h, 6)->toolTip(), records ? QStringLiteral(" Rename saved record files ") : QString());
        if (records) // the saved row stands below the current row
            QVERIFY(subOption(h, 4)->y() > subOption(h, 3)->y());
        if (c.picked < 0)
            return;

        // The value chosen is written and in force, with the click sound;
        // the menu bar changes before its message says so.
        const QString file = QLatin1String(c.file);
        const QString value = QString::fromLatin1(c.written).trimmed();
        const bool bar = file == QLatin1String("Mbar");
        QWidget *company = h.window(QStringLiteral("Company"));
        h.boxes->onAsk = [&](const FakeMessageBoxes::Asked &) {
            for (const char *menu : InformationMenus)
                QVERIFY2(menuAction(company, QLatin1String(menu))->isVisible() == (value == Bar[0]), menu);
        };
        h.sound->played.clear();
        acceptSubOption(h, c.picked);
        QCOMPARE(h.readRaw(file), c.written);
        QCOMPARE(h.sound->played.size(), bar ? 2 : 1);
        QCOMPARE(h.sound->played.constLast(), h.folder() + QStringLiteral("/Pop.wav"));
        QCOMPARE(h.boxes->titles(), bar ? QStringList({value}) : QStringList());
        if (bar)
            QCOMPARE(h.boxes->asked[0].text, QStringLiteral("The Menu Bar is now %1.").arg(value.toLower()));
        QVERIFY(!sub->isVisible() && shown(h, QStringLiteral("UtilityForm")));
        const QString inForce = bar          ? h.settings().value(keys::MenuBarState)
            : file == QLatin1String("Facts") ? QString::number(h.settings().value(keys::FactsCount))
            : file == QLatin1String("Sg")    ? h.settings().value(keys::SpeedGoal)
                                             : h.settings().value(keys::AccuracyGoal);
        QCOMPARE(inForce, value);
        // Only a change of the number of facts leaves nothing selected.
        QCOMPARE(option(h, QStringLiteral("UtilityForm"), choice)->isChecked(), file != QLatin1String("Facts"));
    }

    // A look at the windows the menu opens, forty facts chosen, and back to
    // the start screen by Accept with nothing left selected: the next drill
    // has 40 facts.
    void theNextDrillHasTheNewNumberOfFacts()
    {
        Harness h;
        h.start();
        openUtilityMenu(h);
        QWidget *menu = h.window(QStringLiteral("UtilityForm"));
        const std::pair<const char *, const char *> others[] = {{"Speech", "ControlPeedy"}, {"PrintTest", "Test"}};
        for (const auto &[choice, window] : others) {
            chooseUtility(h, QLatin1String(choice));
            QVERIFY(!menu->isVisible() && shown(h, QLatin1String(window)));
            h.window(QLatin1String(window))->close();
            QVERIFY(menu->isVisible());
        }
        h.find<QAction>(QStringLiteral("FluencyGrid"))->trigger();
        QVERIFY(!menu->isVisible() && shown(h, QStringLiteral("FluencyForm")));
        h.window(QStringLiteral("FluencyForm"))->close();
        QVERIFY(menu->isVisible());
        QCOMPARE(h.window(QStringLiteral("ControlPeedy"))->windowTitle(), QStringLiteral("Control Speech"));
        QCOMPARE(h.window(QStringLiteral("Test"))->windowTitle(), QStringLiteral("Print Test"));
        chooseUtility(h, QStringLiteral("SetFacts"));
        acceptSubOption(h, 4);
        h.findIn<QPushButton>(QStringLiteral("UtilityForm"), QStringLiteral("Accept2Butt"))->click();
        QVERIFY(!menu->isVisible());
        QVERIFY(backAtStart(h));

        auto *name = h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"));
        name->setText(QStringLiteral("Bob Smith"));
        QTest::keyClick(name, Qt::Key_Return);
        h.findIn<QPushButton>(QStringLiteral("MainMenu"), QStringLiteral("AcceptButt"))->click();
        h.findIn<QPushButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("AcceptButt"))->click();
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("FactsProblems"), QStringLiteral("Label8"))->text(),
                 QStringLiteral("40"));
    }

    // A file that cannot be written is named, and no message says it worked.
    void aFailedWriteIsNeverCalledASuccess()
    {
        Harness h;
        h.start();
        QFile::remove(h.settingsPath(QStringLiteral("Mbar")));
        QVERIFY(QDir().mkdir(h.settingsPath(QStringLiteral("Mbar"))));
        openUtilityMenu(h);
        chooseUtility(h, QStringLiteral("MenuBar"));
        acceptSubOption(h, 2);
        QCOMPARE(h.boxes->titles(), QStringList({"Setting Not Saved"}));
        QVERIFY(h.boxes->asked[0].text.contains(QLatin1String("Mbar")));
        QVERIFY(shown(h, QStringLiteral("UtilityForm")));
    }

    void concatNameFile()
    {
        const std::pair<const char *, const char *> cases[] = {
            {"May.txt", "May"}, {"class.5b.txt", "class"}, {"Room 12", "Room 12"}, {"", ""}};
        for (const auto &[scratch, base] : cases)
            QCOMPARE(fileBaseName(QLatin1String(scratch)), QLatin1String(base));
    }
};

QTEST_MAIN(TestTeacher)
#include "test_teacher.moc"
