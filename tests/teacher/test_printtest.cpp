#include "teacher/test.h"
#include "app/assistform.h"
#include "support/harness.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace plovista;
using namespace plovista::test;

namespace {

// The Utility Menu's way in, then a double-click on a kind of test.
void chooseTest(Harness &h, const QString &option)
{
    h.app().test().openFromUtilityMenu();
    QTest::mouseDClick(h.findIn<QRadioButton>(QStringLiteral("Test"), option), Qt::LeftButton);
}

void typeMessageAndPressOk(Harness &h, const QString &message)
{
    auto *text = h.findIn<QLineEdit>(QStringLiteral("MessageForm"), QStringLiteral("Text1"));
    text->clear();
    QTest::keyClicks(text, message);
    QTest::keyClick(text, Qt::Key_Return);
}

bool visible(Harness &h, const QString &window)
{
    return h.window(window) && h.window(window)->isVisible();
}

} // namespace

class TestPrintTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The range choice is there for the four operations whatever was printed
    // before, at the window's designed size; Help follows the kind.
    void messageWindowFitsTheKind()
    {
        Harness h;
        h.start();
        chooseTest(h, QStringLiteral("Division"));
        QWidget *form = h.window(QStringLiteral("MessageForm"));
        QVERIFY(form->isVisible() && !visible(h, QStringLiteral("Test")));
        QCOMPARE(form->windowTitle(), QStringLiteral("Print  Division Facts  Test"));
        auto *option2 = h.findIn<QRadioButton>(QStringLiteral("MessageForm"), QStringLiteral("Option2"));
        QVERIFY(option2->isVisible());
        option2->setChecked(true);
        const int designedHeight = form->height();
        h.findIn<QPushButton>(QStringLiteral("MessageForm"), QStringLiteral("CancelButt"))->click();

        chooseTest(h, QStringLiteral("FactsOF10"));
        QCOMPARE(form->windowTitle(), QStringLiteral("Print  Facts of Ten  Test"));
        QVERIFY(!option2->isVisible() && form->height() < designedHeight);
        auto *ok = h.findIn<QPushButton>(QStringLiteral("MessageForm"), QStringLiteral("OkayButt"));
        QVERIFY(ok->geometry().bottom() < form->findChild<QWidget *>(QStringLiteral("client"))->height());
        form->findChild<QAction *>(QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Print  Facts of Ten  Test"));
        QVERIFY(!h.app().assistForm().text().contains(QStringLiteral("Range")));
        form->close();
        QVERIFY(visible(h, QStringLiteral("Test")));

        chooseTest(h, QStringLiteral("Multiplication"));
        QVERIFY(form->height() == designedHeight && option2->isVisible() && !option2->isChecked());
        form->findChild<QAction *>(QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Print  Plovista  Test"));
        // The help tells the limit the OK button keeps.
        QVERIFY(h.app().assistForm().text().contains(QStringLiteral("up to 90  characters")));
    }

    void okPrintsAWorksheetForEveryCopy()
    {
        Harness h;
        h.start();
        h.printing->copies = 3;
        h.random->draws = {0.99}; // first number 12 in the range 0 to 12, second number 10, printed as 8
        chooseTest(h, QStringLiteral("Addition"));
        h.findIn<QRadioButton>(QStringLiteral("MessageForm"), QStringLiteral("Option2"))->setChecked(true);
        const QString message = QString(90, u'm');
        typeMessageAndPressOk(h, message);

        QCOMPARE(h.printing->pages.size(), 3);
        for (const PrintPage &page : std::as_const(h.printing->pages)) {
            QCOMPARE(page.lines[5].pieces, QList<PrintPiece>({{1, message}}));
            QVERIFY(page.lines.last().pieces[0].text.contains(QStringLiteral("2026")));
        }
        QCOMPARE(h.printing->pages[0].lines[10].pieces[0].text, QStringLiteral(" 12 +__ = 20 "));
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Printing (3) addition facts test(s)..."));
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Printing"));
        QVERIFY(visible(h, QStringLiteral("Test")) && !visible(h, QStringLiteral("MessageForm")));
        // The message stays for the next worksheet.
        chooseTest(h, QStringLiteral("Subtraction"));
        QCOMPARE(h.findIn<QLineEdit>(QStringLiteral("MessageForm"), QStringLiteral("Text1"))->text(), message);
    }

    // A message too long is refused; Cancel in the print dialog comes back
    // quietly; a failure is told.
    void nothingPrinted()
    {
        Harness h;
        h.start();
        chooseTest(h, QStringLiteral("Division"));
        typeMessageAndPressOk(h, QString(91, u'm'));
        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Message Too Long")});
        QCOMPARE(h.boxes->asked.back().text, QStringLiteral("Message may not be greater than 90 characters."));
        QVERIFY(visible(h, QStringLiteral("MessageForm")) && h.printing->jobs.isEmpty());

        h.printing->outcome = {false, true, {}};
        typeMessageAndPressOk(h, {});
        QCOMPARE(h.printing->jobs, QStringList {QStringLiteral("Division Facts")});
        QVERIFY(h.printing->pages.isEmpty() && h.boxes->asked.size() == 1);
        QVERIFY(visible(h, QStringLiteral("Test")));

        h.printing->outcome = {false, false, QStringLiteral("out of paper")};
        QTest::mouseDClick(h.findIn<QRadioButton>(QStringLiteral("Test"), QStringLiteral("Division")), Qt::LeftButton);
        typeMessageAndPressOk(h, {});
        QCOMPARE(h.boxes->asked.back().title, QStringLiteral("Printer Error"));
        QVERIFY(h.boxes->asked.back().text.contains(QStringLiteral("out of paper")));
        QVERIFY(visible(h, QStringLiteral("Test")));
    }

    void openingClosingAndQuitting()
    {
        Harness h;
        h.start();
        chooseTest(h, QStringLiteral("Addition"));
        h.findIn<QPushButton>(QStringLiteral("MessageForm"), QStringLiteral("CancelButt"))->click();
        // Opened again from the Utility Menu: no kind selected, so Accept stays.
        h.app().test().openFromUtilityMenu();
        QWidget *test = h.window(QStringLiteral("Test"));
        QCOMPARE(test->windowTitle(), QStringLiteral("Print Test"));
        h.findIn<QPushButton>(QStringLiteral("Test"), QStringLiteral("Accept"))->click();
        QVERIFY(test->isVisible() && !visible(h, QStringLiteral("MessageForm")));

        test->findChild<QAction *>(QStringLiteral("Help"))->trigger();
        QCOMPARE(h.window(QStringLiteral("AssistForm"))->windowTitle(), QStringLiteral("Print a Test"));
        test->close();
        QVERIFY(!visible(h, QStringLiteral("AssistForm")));
        QVERIFY(visible(h, QStringLiteral("Company")) && h.window(QStringLiteral("Company"))->isEnabled());

        h.app().test().openFromUtilityMenu();
        h.boxes->answers = {MsgYes};
        test->findChild<QAction *>(QStringLiteral("Quit"))->trigger();
        QCOMPARE(h.boxes->titles(), QStringList {QStringLiteral("Quit Program")});
        QVERIFY(h.programEnded());
    }
};

QTEST_MAIN(TestPrintTest)
#include "test_printtest.moc"
