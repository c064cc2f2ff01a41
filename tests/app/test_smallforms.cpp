#include "app/assistform.h"
#include "app/contactform.h"
#include "app/screensize.h"
#include "support/harness.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

using namespace plovista;
using namespace plovista::test;

namespace {
// Sees a request to end the event loop that does not come from the program.
class QuitWatch : public QObject
{
public:
    QuitWatch() { qApp->installEventFilter(this); }
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        quitAsked = quitAsked || (watched == qApp && event->type() == QEvent::Quit);
        return false;
    }
    bool quitAsked = false;
};
} // namespace

class TestSmallForms : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void assistBoxFitsItsText()
    {
        Harness h;
        h.start();
        h.app().showAssist(QStringLiteral("Long"), QString(600, QLatin1Char('w')).replace(QLatin1Char('w'), "word "));
        QWidget *assist = h.window(QStringLiteral("AssistForm"));
        const QSize longSize = assist->size();
        h.app().showAssist(QStringLiteral("Short"), QStringLiteral("Hi."));
        QCOMPARE(h.window(QStringLiteral("AssistForm")), assist); // one box, reused
        QCOMPARE(assist->windowTitle(), QStringLiteral("Short"));
        QVERIFY(assist->height() < longSize.height());
        QVERIFY(assist->width() < longSize.width());
        // The margin around the label is 700 twips each way.
        QLabel *label = h.findIn<QLabel>(QStringLiteral("AssistForm"), QStringLiteral("Label1"));
        QCOMPARE(assist->findChild<QWidget *>(QStringLiteral("client"))->height(), label->height() + 47);
        QVERIFY(longSize.width() <= 467 + 47 + 2);
    }

    void aboutBox()
    {
        Harness h;
        h.writeRaw(QStringLiteral("PShow"), "True\r\n");
        h.writeRaw(QStringLiteral("NoGreet"), "True\r\n");
        h.start();
        h.find<QAction>(QStringLiteral("Program"))->trigger();
        QWidget *about = h.window(QStringLiteral("frmAbout"));
        QVERIFY(about->isVisible());
        QCOMPARE(about->windowTitle(), QStringLiteral("Brevandi"));
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("frmAbout"), QStringLiteral("lblVersion"))->text(),
                 QStringLiteral("Version 7.1"));
        QCOMPARE(h.findIn<QLabel>(QStringLiteral("frmAbout"), QStringLiteral("lblTitle"))->text(),
                 QStringLiteral("Plovista"));
        QVERIFY(!h.findIn<QWidget>(QStringLiteral("frmAbout"), QStringLiteral("cmdSysInfo"))->isVisibleTo(about));
        h.character->log.clear();
        h.findIn<QPushButton>(QStringLiteral("frmAbout"), QStringLiteral("cmdOK"))->click();
        QVERIFY(!about->isVisible());
        QCOMPARE(h.character->log, QStringList({"show", "move 40,150"}));
    }

    void screenSizeChoiceIsWrittenOnClose()
    {
        Harness h;
        h.writeRaw(QStringLiteral("Display"), "Change\r\n");
        h.start();
        h.find<QAction>(QStringLiteral("Screen"))->trigger();
        QWidget *window = h.window(QStringLiteral("ScreenSize"));
        QVERIFY(window->isVisible());
        QCOMPARE(window->windowTitle(), QStringLiteral("Screen Size"));
        auto *change = h.findIn<QCheckBox>(QStringLiteral("ScreenSize"), QStringLiteral("Change"));
        auto *dont = h.findIn<QCheckBox>(QStringLiteral("ScreenSize"), QStringLiteral("DontChange"));
        QVERIFY(change->isChecked());
        QVERIFY(!dont->isChecked());
        QVERIFY(h.findIn<QLabel>(QStringLiteral("ScreenSize"), QStringLiteral("Label1"))
                    ->text()
                    .startsWith(QStringLiteral("The current display setting is 1024x768 pixels.  You can run")));
        QVERIFY(h.findIn<QLabel>(QStringLiteral("ScreenSize"), QStringLiteral("Label2"))
                    ->text()
                    .endsWith(QStringLiteral("in the desktop's display settings.")));

        QTest::mouseClick(dont, Qt::LeftButton, {}, QPoint(5, dont->height() / 2));
        QVERIFY(dont->isChecked());
        QVERIFY(!change->isChecked());
        window->close();
        QCOMPARE(h.readRaw(QStringLiteral("Display")), QByteArray("DontChange\r\n"));
        // The running program keeps its choice until the next start.
        QCOMPARE(h.display->mode->width, 800);
    }

    void clearingTheTickedBoxLeavesTheFileAlone()
    {
        Harness h;
        h.start();
        h.find<QAction>(QStringLiteral("Screen"))->trigger();
        auto *dont = h.findIn<QCheckBox>(QStringLiteral("ScreenSize"), QStringLiteral("DontChange"));
        auto *change = h.findIn<QCheckBox>(QStringLiteral("ScreenSize"), QStringLiteral("Change"));
        QVERIFY(dont->isChecked());
        QTest::mouseClick(dont, Qt::LeftButton, {}, QPoint(5, dont->height() / 2));
        QVERIFY(!dont->isChecked());
        QVERIFY(!change->isChecked());
        h.writeRaw(QStringLiteral("Display"), "Change\r\n");
        h.window(QStringLiteral("ScreenSize"))->close();
        QCOMPARE(h.readRaw(QStringLiteral("Display")), QByteArray("Change\r\n"));
    }

    void contactLinksOpenThroughTheShell()
    {
        Harness h;
        h.start();
        h.find<QAction>(QStringLiteral("ContactCorvanel"))->trigger();
        QVERIFY(h.window(QStringLiteral("ContactForm"))->isVisible());
        h.findIn<QPushButton>(QStringLiteral("ContactForm"), QStringLiteral("EmailLink"))->click();
        h.findIn<QPushButton>(QStringLiteral("ContactForm"), QStringLiteral("WebLink"))->click();
        QCOMPARE(h.shell->opened.size(), 2);
        QVERIFY(h.shell->opened.at(0).startsWith(QStringLiteral("mailto:")));
        QVERIFY(h.shell->opened.at(1).startsWith(QStringLiteral("https://")));
    }

    void settingsWriteFailureIsToldAndTheProgramGoesOn()
    {
        Harness h;
        h.start();
        QDir(h.folder() + QStringLiteral("/Files")).remove(QStringLiteral("Display"));
        QDir().mkpath(h.settingsPath(QStringLiteral("Display"))); // a folder where the file belongs
        h.find<QAction>(QStringLiteral("Screen"))->trigger();
        h.findIn<QCheckBox>(QStringLiteral("ScreenSize"), QStringLiteral("Change"))->click();
        h.window(QStringLiteral("ScreenSize"))->close();
        QCOMPARE(h.boxes->titles(), QStringList({"Setting Not Saved"}));
        QVERIFY(h.boxes->asked.front().text.contains(QStringLiteral("\"Display\"")));
        QVERIFY(h.window(QStringLiteral("Company"))->isVisible());
    }

    // Minimising a student's window hides the start screen, so closing it
    // then closes the last window in sight.
    void closingAMinimisedWindowBringsTheStartScreenBack_data()
    {
        QTest::addColumn<QString>("menuItem");
        QTest::addColumn<QString>("window");
        QTest::newRow("screen size") << "Screen"
                                     << "ScreenSize";
        QTest::newRow("contact") << "ContactCorvanel"
                                 << "ContactForm";
    }
    void closingAMinimisedWindowBringsTheStartScreenBack()
    {
        QFETCH(QString, menuItem);
        QFETCH(QString, window);
        Harness h;
        h.start();
        h.find<QAction>(menuItem)->trigger();
        QWidget *form = h.window(window);
        form->showMinimized();
        QWidget *company = h.window(QStringLiteral("Company"));
        QVERIFY(!company->isVisible());

        // Qt ends a running event loop by itself only.
        QuitWatch watch;
        const std::size_t applied = h.display->applied.size();
        bool companyBack = false;
        QTimer::singleShot(0, form, [&] {
            form->close();
            companyBack = company->isVisible();
            // After anything the close itself has posted.
            QTimer::singleShot(0, [] { QCoreApplication::exit(0); });
        });
        QCoreApplication::exec();
        QVERIFY(!watch.quitAsked);
        QVERIFY(companyBack);
        // An event loop ended from outside the program's quit paths still
        // puts the display back.
        QVERIFY(h.programEnded());
        QCOMPARE(h.display->applied.size(), applied + 1);
        // Opened again, the window is in sight, not minimised.
        h.find<QAction>(menuItem)->trigger();
        QVERIFY(!form->isMinimized());
    }
};

QTEST_MAIN(TestSmallForms)
#include "test_smallforms.moc"
