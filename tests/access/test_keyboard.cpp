// A student and a teacher without a mouse: every window reached and used
// from the keyboard, the focus always in sight, the Alt shortcuts the
// captions promise, and a name for every control a screen reader lands on.

#include "support/harness.h"
#include "support/windows.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using namespace plovista;
using namespace plovista::test;
using namespace std::chrono_literals;

namespace {

// The window that has the keyboard, or null.
QWidget *keyboardWindow()
{
    return QApplication::activeWindow();
}

QString keyboardPlace()
{
    QWidget *window = keyboardWindow();
    if (!window)
        return QStringLiteral("nowhere");
    QWidget *focus = QApplication::focusWidget();
    return window->objectName() + QLatin1Char('/') + (focus ? focus->objectName() : QString());
}

// A key as the keyboard gives it: to the control with the focus in the
// active window. False when no window has the keyboard.
// An open menu takes the keys first.
QWidget *keyTarget()
{
    if (QWidget *popup = QApplication::activePopupWidget())
        return popup;
    return QApplication::focusWidget() ? QApplication::focusWidget() : keyboardWindow();
}

bool press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QWidget *target = keyTarget();
    if (!target)
        return false;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    return true;
}

bool type(const QString &text)
{
    QWidget *target = QApplication::focusWidget();
    if (!target)
        return false;
    QTest::keyClicks(target, text);
    return true;
}

// A key pressed, repeating as it is held, or let go, one event at a time.
bool keyEvent(QEvent::Type type, int key, bool repeat = false)
{
    QWidget *target = keyTarget();
    if (!target)
        return false;
    QKeyEvent event(type, key, Qt::NoModifier, QString(), repeat);
    QApplication::sendEvent(target, &event);
    return true;
}

// Alt pressed and let go alone: the menu bar takes the keyboard.
bool pressAlt()
{
    QWidget *target = keyTarget();
    if (!target)
        return false;
    QTest::keyPress(target, Qt::Key_Alt, Qt::AltModifier);
    QTest::keyRelease(target, Qt::Key_Alt, Qt::NoModifier);
    return true;
}

#define PRESS(...) QVERIFY2(press(__VA_ARGS__), "no window has the keyboard")
#define KEY(what) QVERIFY2(what, "no window has the keyboard")
#define TYPE(text) QVERIFY2(type(text), "no control has the focus")
#define AT(place) QTRY_COMPARE(keyboardPlace(), QStringLiteral(place))

QImage look(QWidget *control)
{
    return control->grab().toImage();
}

// The right answer to the fact on the drill window, read off the screen.
QString answerOnScreen(Harness &h)
{
    const auto number = [&h](const char *name) {
        return h.findIn<QLabel>(QStringLiteral("FactsProblems"), QLatin1String(name))->text().toInt();
    };
    return QString::number(number("FactsVariable") * number("FactsConstant"));
}

QString label(Harness &h, const char *window, const char *name)
{
    return h.findIn<QLabel>(QLatin1String(window), QLatin1String(name))->text();
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void everyFocusableControlHasAName()
    {
        Harness h;
        h.start();
        QStringList faults;
        for (FormWindow *window : everyWindow(h.app()))
            faults << namingFaults(window);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String(", "))));
    }

    // Wherever a caption carries "&", its letter is underlined, Alt and the
    // letter press it from every control of the window, and a screen reader
    // hears the shortcut; captions are shown as given.
    void altShortcutsWhereTheCaptionsCarryThem()
    {
        Harness h;
        h.start();
        int shortcuts = 0;
        for (FormWindow *window : everyWindow(h.app())) {
            auto *bar = window->findChild<QMenuBar *>();
            if (!bar)
                continue;
            for (QAction *action : bar->actions()) {
                const QString caption = action->text();
                const qsizetype amp = caption.indexOf(QLatin1Char('&'));
                QAccessibleInterface *item =
                    QAccessible::queryAccessibleInterface(bar)->child(static_cast<int>(bar->actions().indexOf(action)));
                if (amp < 0) {
                    QCOMPARE(item->text(QAccessible::Accelerator), QString());
                    continue;
                }
                ++shortcuts;
                const QChar letter = caption.at(amp + 1);
                const QString where = window->objectName() + QLatin1Char('/') + action->objectName();
                QCOMPARE(item->text(QAccessible::Accelerator), QStringLiteral("Alt+") + letter.toUpper());

                window->show();
                window->activateWindow();
                QVERIFY(QTest::qWaitForWindowActive(window));
                const QImage underlined = look(bar);
                action->setText(QString(caption).remove(QLatin1Char('&')));
                QVERIFY2(look(bar) != underlined, qPrintable(where + QLatin1String(" is not underlined")));
                action->setText(caption);

                QList<QWidget *> controls = focusableControls(window);
                QVERIFY(!controls.isEmpty());
                for (QWidget *control : controls) {
                    h.app().assistForm().hide(); // opened by Help
                    window->activateWindow();
                    QTRY_COMPARE(keyboardWindow(), window);
                    control->setFocus();
                    QSignalSpy triggered(action, &QAction::triggered);
                    QVERIFY(press(Qt::Key_A + (letter.toUpper().unicode() - 'A'), Qt::AltModifier));
                    QVERIFY2(triggered.size() == 1,
                             qPrintable(where + QLatin1String(" from ") + control->objectName()));
                }
                window->hide();
            }
        }
        QCOMPARE(shortcuts, 4); // ChooseMenuMF's Help and Quit, the speech and greeting settings' Quit
    }

    // A control that has the focus looks it, also when the program put the
    // focus there (a window opening on its chosen option) rather than a Tab.
    void theFocusIsAlwaysInSight()
    {
        Harness h;
        h.start();
        h.app().savedRecordsForm().prepare(SavedAction::View, h.folder());
        QStringList unseen;
        int checked = 0;
        for (FormWindow *window : everyWindow(h.app())) {
            const QList<QWidget *> controls = focusableControls(window);
            if (controls.size() < 2)
                continue;
            window->show();
            window->activateWindow();
            QVERIFY2(QTest::qWaitForWindowActive(window), qPrintable(window->objectName()));
            for (QWidget *control : controls) {
                if (!qobject_cast<QAbstractButton *>(control) || !control->isEnabled())
                    continue;
                QWidget *other = nullptr;
                for (QWidget *candidate : controls)
                    if (candidate != control && candidate->isEnabled())
                        other = candidate;
                if (!other)
                    continue;
                other->setFocus();
                const QImage without = look(control);
                control->setFocus();
                QVERIFY(control->hasFocus());
                if (look(control) == without)
                    unseen << window->objectName() + QLatin1Char('/') + control->objectName();
                ++checked;
            }
            window->hide();
        }
        QVERIFY(checked > 40);
        QCOMPARE(unseen, QStringList());
    }

    // A student's whole visit: the name, the menus, a drill of ten facts
    // with a look at the directions on the way, the score, the next drill's
    // menu and quitting, all from the keyboard.
    void aStudentsVisitFromTheKeyboard()
    {
        Harness h;
        h.start();
        h.app().factsProblems().setPauses(0ms, 0ms);
        AT("Company/Text1");
        TYPE(QStringLiteral("Ann Lee"));
        PRESS(Qt::Key_Return);
        AT("MainMenu/MultOptButt");
        PRESS(Qt::Key_Return);
        AT("ChooseMenuMF/Check1");
        // Tab to the fact options, take the first and step to times 7.
        for (int i = 0; i < 4; ++i)
            PRESS(Qt::Key_Tab);
        AT("ChooseMenuMF/Option2");
        PRESS(Qt::Key_Space);
        PRESS(Qt::Key_Right);
        AT("ChooseMenuMF/Option7");
        QVERIFY(h.findIn<QAbstractButton>(QStringLiteral("ChooseMenuMF"), QStringLiteral("Option7"))->isChecked());
        PRESS(Qt::Key_Return);
        AT("FactsProblems/NextProbButt");
        PRESS(Qt::Key_Return);
        AT("FactsProblems/Text1");

        // The directions and back to the fact, by the keyboard.
        pressAlt();
        PRESS(Qt::Key_Return);
        AT("AssistForm/");
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Display Problem"));
        PRESS(Qt::Key_Escape);
        QVERIFY(!h.window(QStringLiteral("AssistForm"))->isVisible());
        AT("FactsProblems/Text1");

        for (int fact = 0; fact < 10; ++fact) {
            TYPE(answerOnScreen(h));
            PRESS(Qt::Key_Return);
            QTRY_VERIFY(!h.app().factsProblems().isPausing());
        }
        QCOMPARE(label(h, "FactsProblems", "Label2"), QStringLiteral("10"));
        AT("FactsProblems/NextProbButt");

        // Enters hammered at "Get Score": the first takes the score. Those
        // that come before the score screen has been up a moment (60, 120 and
        // 250 ms after it), and the repeats of one held down, stay there.
        PRESS(Qt::Key_Return);
        AT("ScoreForm/DoOver");
        for (int ms : {60, 60, 130}) {
            h.clock->advanceMs(ms);
            PRESS(Qt::Key_Return);
        }
        h.clock->advanceMs(400);
        KEY(keyEvent(QEvent::KeyPress, Qt::Key_Return, true));
        AT("ScoreForm/DoOver");
        QCOMPARE(label(h, "ScoreForm", "Percent"), QStringLiteral("100"));
        // An Enter pressed afresh continues; held down, however long, neither
        // its repeats nor its release take the next drill on the menu.
        KEY(keyEvent(QEvent::KeyPress, Qt::Key_Return));
        QTRY_VERIFY2(keyboardPlace().startsWith(QLatin1String("ChooseMenuMF/")), qPrintable(keyboardPlace()));
        KEY(keyEvent(QEvent::KeyPress, Qt::Key_Return, true));
        h.clock->advanceMs(1000);
        KEY(keyEvent(QEvent::KeyPress, Qt::Key_Return, true));
        KEY(keyEvent(QEvent::KeyRelease, Qt::Key_Return));
        QVERIFY2(keyboardPlace().startsWith(QLatin1String("ChooseMenuMF/")), qPrintable(keyboardPlace()));
        QVERIFY(!h.window(QStringLiteral("FactsProblems"))->isVisible());

        h.boxes->answers = {MsgYes};
        PRESS(Qt::Key_Q, Qt::AltModifier);
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program"}));
        QVERIFY(h.programEnded());
    }

    // Quit answered No gives the keyboard back to the name box: the name
    // typed next is a name and its Enter starts, where the blank would press
    // Quit again and the Enter answer the box's Yes.
    void quitAnsweredNoGivesTheNameBoxBack()
    {
        Harness h;
        h.start();
        AT("Company/Text1");
        PRESS(Qt::Key_Tab, Qt::ShiftModifier);
        AT("Company/QuitButt");
        h.boxes->answers = {MsgNo, MsgYes, MsgYes};
        PRESS(Qt::Key_Space);
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program"}));
        AT("Company/Text1");
        TYPE(QStringLiteral("Ann Lee"));
        PRESS(Qt::Key_Return);
        AT("MainMenu/MultOptButt");
        QCOMPARE(h.boxes->titles(), QStringList({"Quit Program"}));
        QVERIFY(!h.programEnded());
    }

    // Alt with a letter in the name box is a command, not a letter of the
    // name: Alt+H is Help, as it is on the fact menu, and the name box has
    // the keyboard again when the directions go.
    void altHInTheNameBoxIsHelp()
    {
        Harness h;
        h.start();
        AT("Company/Text1");
        TYPE(QStringLiteral("Ann"));
        PRESS(Qt::Key_Q, Qt::AltModifier);
        PRESS(Qt::Key_H, Qt::AltModifier);
        AT("AssistForm/");
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Help"));
        // Back from the directions, the name goes on where it was.
        PRESS(Qt::Key_Escape);
        AT("Company/Text1");
        TYPE(QStringLiteral(" Lee"));
        QCOMPARE(h.findIn<QLineEdit>(QStringLiteral("Company"), QStringLiteral("Text1"))->text(),
                 QStringLiteral("Ann Lee"));
    }

    // The focus in a group of options is its selection: a menu opened again
    // puts it on the option selected, not the one focused last time, and the
    // arrows select as they move, so Enter takes the option the student sees
    // the focus on.
    void theFocusedOptionIsTheSelectedOne()
    {
        Harness h;
        h.start();
        AT("Company/Text1");
        TYPE(QStringLiteral("Ann Lee"));
        PRESS(Qt::Key_Return);
        AT("MainMenu/MultOptButt");
        PRESS(Qt::Key_Right);
        AT("MainMenu/DivOptButt");
        PRESS(Qt::Key_Return);
        AT("ChooseMenuMF/Check1");
        for (int i = 0; i < 4; ++i)
            PRESS(Qt::Key_Tab);
        AT("ChooseMenuMF/Option2");
        PRESS(Qt::Key_Down);
        PRESS(Qt::Key_Down);
        AT("ChooseMenuMF/Option4");
        // The close box, and Division again: the menu starts afresh on 2.
        h.window(QStringLiteral("ChooseMenuMF"))->close();
        AT("MainMenu/DivOptButt");
        PRESS(Qt::Key_Return);
        AT("ChooseMenuMF/Option2");
        PRESS(Qt::Key_Down);
        AT("ChooseMenuMF/Option3");
        PRESS(Qt::Key_Return);
        AT("FactsProblems/NextProbButt");
        QCOMPARE(h.state().ActivityCode, QString(QChar(0x00F7)) + QLatin1Char('3'));
    }

    // The teacher's windows from the keyboard: the access code, the password,
    // the Utility Menu's options by the arrows, a sub-menu, the speech
    // settings, and the start screen's information menus by Alt.
    void theTeachersWindowsFromTheKeyboard()
    {
        Harness h;
        h.start();
        AT("Company/Text1");
        TYPE(QStringLiteral("kq"));
        PRESS(Qt::Key_Return);
        AT("GetPassW/Text1");
        TYPE(QStringLiteral("maple"));
        AT("UtilityForm/Speech");
        // Speech is the last option: up to the number of facts, the first.
        for (int i = 0; i < 6; ++i)
            PRESS(Qt::Key_Up);
        AT("UtilityForm/SetFacts");
        PRESS(Qt::Key_Return);

        QCOMPARE(h.window(QStringLiteral("SubUtility"))->windowTitle(), QStringLiteral("Number of Facts"));
        AT("SubUtility/Option1"); // the number in force
        PRESS(Qt::Key_Down);
        PRESS(Qt::Key_Return);
        QCOMPARE(h.readRaw(QStringLiteral("Facts")), QByteArray(" 20 \r\n"));
        QTRY_VERIFY(keyboardPlace().startsWith(QLatin1String("UtilityForm/")));

        // To the speech settings and back by the window's own Quit answered No.
        // Nothing is chosen now; the arrows choose as they go.
        AT("UtilityForm/SetFacts");
        for (int i = 0; i < 6; ++i)
            PRESS(Qt::Key_Down);
        PRESS(Qt::Key_Return);
        QTRY_VERIFY(keyboardPlace().startsWith(QLatin1String("ControlPeedy/")));
        PRESS(Qt::Key_Q, Qt::AltModifier);
        QCOMPARE(h.boxes->titles(), QStringList({"Quit"}));
        QVERIFY(keyboardPlace().startsWith(QLatin1String("ControlPeedy/")));
    }

    void theInformationMenusFromTheKeyboard()
    {
        Harness h;
        h.start();
        AT("Company/Text1");
        // The menu bar's first entry is its title; About is the last menu.
        QVERIFY(pressAlt());
        PRESS(Qt::Key_Left);
        PRESS(Qt::Key_Down);
        PRESS(Qt::Key_Return); // The Program
        AT("frmAbout/cmdOK");
        PRESS(Qt::Key_Return);
        QVERIFY(!h.window(QStringLiteral("frmAbout"))->isVisible());
        AT("Company/Text1");
    }
};

QTEST_MAIN(TestKeyboard)
#include "test_keyboard.moc"
