#include "platform/qtmessageboxes.h"
#include "records/recordsform.h"
#include "records/recordsview.h"
#include "records/savedrecords.h"
#include "support/teacherroad.h"

#include <QDir>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTimer>

using namespace plovista;
using namespace plovista::test;

namespace {

const QByteArray Records = "12/06/26   Ann Lee         +5     H   0->9   10  90|90    2.5|3    0.4  *\r\n"
                           "12/06/26   Bob Smith       x7     V   0->12  20  95|90    2|3      0.7  *\r\n";

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

// The working folder's files and folders, or those of its "SDat".
QStringList entries(const QString &folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

struct Teacher
{
    Harness h;
    QString madtr = h.folder() + QStringLiteral("/Madtr");

    Teacher(const QByteArray &records, const std::vector<std::pair<QString, QByteArray>> &saved = {})
    {
        h.start();
        if (!records.isNull())
            writeFile(madtr, records);
        for (const auto &[name, bytes] : saved)
            writeFile(sdat(name), bytes);
        openUtilityMenu(h);
        chooseUtility(h, QStringLiteral("Records"));
    }
    QString sdat(const QString &name = {}) const
    {
        return h.folder() + QStringLiteral("/SDat") + (name.isEmpty() ? QString() : QLatin1Char('/') + name);
    }
    RecordsForm *viewer() { return h.app().existingRecordsForm(); }
    QWidget *sub() { return h.window(QStringLiteral("SubUtility")); }
    QWidget *list() { return h.window(QStringLiteral("SavedRecordsForm")); }
    QListWidget *file1() { return h.findIn<QListWidget>(QStringLiteral("SavedRecordsForm"), QStringLiteral("File1")); }
    QPushButton *acceptFile()
    {
        return h.findIn<QPushButton>(QStringLiteral("SavedRecordsForm"), QStringLiteral("AcceptFileButt"));
    }
    QLineEdit *nameBox(const char *window)
    {
        return h.findIn<QLineEdit>(QLatin1String(window), QStringLiteral("Text1"));
    }
    QStringList listed()
    {
        QStringList names;
        for (int i = 0; i < file1()->count(); ++i)
            names << file1()->item(i)->text();
        return names;
    }
    void choose(const QString &name) { file1()->setCurrentItem(file1()->findItems(name, Qt::MatchExactly).value(0)); }
    void saveAs(const QString &name)
    {
        nameBox("SaveRecordsForm")->setText(name);
        h.findIn<QPushButton>(QStringLiteral("SaveRecordsForm"), QStringLiteral("SaveButt"))->click();
    }
    // The viewer goes for good once the event loop gets to it.
    void settle()
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
};

} // namespace

class TestRecordsManagement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The real box: Enter gives the answer the question makes the default.
    void enterGivesTheDefaultAnswer()
    {
        QtMessageBoxes boxes;
        for (const MsgAnswer wanted : {MsgNo, MsgYes}) {
            QTimer::singleShot(0, [] { QTest::keyClick(QApplication::activeModalWidget(), Qt::Key_Return); });
            QCOMPARE(boxes.ask(QStringLiteral("Delete them?"), QStringLiteral("Delete"), MsgIcon::Critical,
                               MsgButtons::YesNo, wanted),
                     int(wanted));
        }
    }

    void viewAndDeleteTheCurrentRecords()
    {
        Teacher t({});
        // No records yet: told from the sub-menu, for viewing and for deleting.
        t.h.boxes->onAsk = [&t](const FakeMessageBoxes::Asked &) { QVERIFY(t.sub()->isVisible()); };
        acceptSubOption(t.h, 1);
        acceptSubOption(t.h, 2);
        QCOMPARE(t.h.boxes->titles(), QStringList({"No Current Records", "No Records"}));
        QCOMPARE(t.h.boxes->asked[1].text, QStringLiteral("There are no current records."));
        t.settle();
        // Saving asks with the records on show, none as they are.
        t.h.boxes->onAsk = [&t](const FakeMessageBoxes::Asked &) {
            QVERIFY(t.viewer() && t.viewer()->isVisible() && !t.sub()->isVisible());
        };
        acceptSubOption(t.h, 3);
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Save Current Records"));
        QVERIFY(!shown(t.h, QStringLiteral("RecordsForm")) && t.sub()->isVisible());
        t.settle();

        writeFile(t.madtr, Records);
        acceptSubOption(t.h, 1);
        QVERIFY(t.viewer() && t.viewer()->isVisible());
        QVERIFY(!t.sub()->isVisible());
        t.viewer()->close();
        t.settle();
        QVERIFY(t.sub()->isVisible());

        // Deleting shows what would be lost while it asks, and only then.
        t.h.boxes->asked.clear();
        // The sub-menu is not in front of them.
        t.h.boxes->onAsk = [&t](const FakeMessageBoxes::Asked &asked) {
            QCOMPARE(t.viewer() && t.viewer()->isVisible() && !t.sub()->isVisible(),
                     asked.title == QLatin1String("Delete Current Records"));
        };
        t.h.boxes->answers = {MsgNo};
        acceptSubOption(t.h, 2);
        const FakeMessageBoxes::Asked question = t.h.boxes->asked[0];
        QCOMPARE(question.icon, MsgIcon::Critical);
        QCOMPARE(question.buttons, MsgButtons::YesNo);
        QCOMPARE(question.defaultAnswer, MsgNo); // one Enter must not empty them
        QCOMPARE(question.text.split(QStringLiteral("\n\n")),
                 QStringList({"All current records will be lost!",
                              "If you want to save these records to a file before you delete them, select ''No''.   "
                              "Then select ''Save Current'' from the Records menu.",
                              "Are you sure you want to delete these records at this time?"}));
        QCOMPARE(readFile(t.madtr), Records);
        QVERIFY(t.sub()->isVisible());

        t.h.boxes->answers = {MsgYes};
        t.h.sound->played.clear();
        acceptSubOption(t.h, 2);
        QCOMPARE(t.h.boxes->titles(),
                 QStringList({"Delete Current Records", "Delete Current Records", "Current Records Deleted"}));
        QCOMPARE(t.h.boxes->asked.back().text, QStringLiteral("Current records have been deleted."));
        QVERIFY(QFile::exists(t.madtr));
        QCOMPARE(QFileInfo(t.madtr).size(), 0);
        QCOMPARE(t.h.sound->played.size(), 2); // the Accept, the deletion
        t.settle();
        acceptSubOption(t.h, 1);
        QCOMPARE(t.h.boxes->asked.back().text, QStringLiteral("There are no current records."));
        t.settle();
    }

    void saveThenViewTheSavedFile()
    {
        Teacher t(Records, {{"zeta", "z\r\n"}, {"apple", "a\r\n"}});
        // No: the viewer goes and the sub-menu stays.
        acceptSubOption(t.h, 3);
        QCOMPARE(t.h.boxes->titles(), QStringList({"Save Current Records"}));
        QVERIFY(!t.viewer() && !shown(t.h, QStringLiteral("SaveRecordsForm")) && t.sub()->isVisible());
        t.settle();

        t.h.boxes->answers = {MsgYes};
        acceptSubOption(t.h, 3);
        QWidget *save = t.h.window(QStringLiteral("SaveRecordsForm"));
        QVERIFY(save->isVisible() && t.viewer()->isVisible());
        QCOMPARE(save->windowTitle(), QStringLiteral("Save Current Records"));
        QCOMPARE(save->focusWidget(), t.nameBox("SaveRecordsForm"));
        t.saveAs(QStringLiteral("  May class  "));
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Records Saved"));
        QCOMPARE(readFile(t.sdat(QStringLiteral("May class"))), Records);
        QVERIFY(!save->isVisible() && !t.viewer() && t.sub()->isVisible());
        t.settle();

        // Saving over it asks first; No keeps the older file whole.
        writeFile(t.madtr, "newer\r\n");
        t.h.boxes->answers = {MsgYes, MsgNo, MsgYes};
        acceptSubOption(t.h, 3);
        t.saveAs(QStringLiteral("May class"));
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Replace Saved Records"));
        QCOMPARE(t.h.boxes->asked.back().defaultAnswer, MsgNo);
        QCOMPARE(readFile(t.sdat(QStringLiteral("May class"))), Records);
        t.saveAs(QStringLiteral("May class"));
        QCOMPARE(readFile(t.sdat(QStringLiteral("May class"))), QByteArray("newer\r\n"));
        t.settle();

        // The saved file in the viewer, from the list, and back to the list.
        acceptSubOption(t.h, 4);
        QVERIFY(t.list()->isVisible() && t.sub()->isVisible());
        QCOMPARE(t.list()->windowTitle(), QStringLiteral("View Saved Records"));
        QCOMPARE(t.listed(), QStringList({"apple", "May class", "zeta"}));
        QVERIFY(!t.h.findIn<QWidget>(QStringLiteral("SavedRecordsForm"), QStringLiteral("PreviewFile"))
                     ->isVisibleTo(t.list()));
        QCOMPARE(t.acceptFile()->text(), QStringLiteral("View"));
        // The file that has the focus is the one chosen: Enter views it.
        QCOMPARE(t.file1()->selectedItems(), QList<QListWidgetItem *>({t.file1()->currentItem()}));
        QTest::keyClick(t.file1(), Qt::Key_Return);
        QVERIFY(t.viewer() && t.viewer()->windowTitle().endsWith(QLatin1String("apple")));
        t.viewer()->close();
        t.settle();
        t.choose(QStringLiteral("May class"));
        QVERIFY(t.acceptFile()->isEnabled());
        t.acceptFile()->click();
        QVERIFY(t.viewer()->isVisible() && !t.list()->isVisible());
        QVERIFY(t.viewer()->windowTitle().contains(QLatin1String("May class")));
        QCOMPARE(t.h.findIn<RecordsView>(QStringLiteral("RecordsForm"), QStringLiteral("RecordsBox"))->toPlainText(),
                 QStringLiteral("newer\n"));
        t.viewer()->close();
        t.settle();
        QVERIFY(t.list()->isVisible());
    }

    void refusedNamesAndFailuresLeaveEverythingAsItWas()
    {
        // The first two have no name in them at all.
        const QStringList refused = {"",
                                     "   ",
                                     ".",
                                     "..",
                                     "../Madtr",
                                     "May/June",
                                     "May\\June",
                                     ".hidden",
                                     "May\tJune",
                                     QStringLiteral("Class \u0394"),
                                     QString(65, QLatin1Char('a'))};
        Teacher t(Records);
        const QStringList before = entries(t.h.folder());
        t.h.boxes->answers = {MsgYes};
        acceptSubOption(t.h, 3);
        for (const QString &name : refused) {
            t.h.boxes->asked.clear();
            t.saveAs(name);
            QCOMPARE(t.h.boxes->titles(),
                     QStringList({name.trimmed().isEmpty() ? "No File Name" : "Invalid File Name"}));
            QCOMPARE(t.h.window(QStringLiteral("SaveRecordsForm"))->focusWidget(), t.nameBox("SaveRecordsForm"));
        }
        QVERIFY(shown(t.h, QStringLiteral("SaveRecordsForm")));
        QCOMPARE(entries(t.sdat()), QStringList());
        QCOMPARE(entries(t.h.folder()), before);
        QCOMPARE(readFile(t.madtr), Records);

        // A folder that cannot take files (a file stands in its place): told,
        // and nothing changes.
        QVERIFY(QDir(t.sdat()).removeRecursively());
        writeFile(t.sdat(), "not a folder");
        t.saveAs(QStringLiteral("May"));
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Records Not Saved"));
        QCOMPARE(readFile(t.madtr), Records);
        QCOMPARE(readFile(t.sdat()), QByteArray("not a folder"));
        QVERIFY(shown(t.h, QStringLiteral("SaveRecordsForm")));
        // Sixty-four characters are a good name, and a missing folder is made.
        QVERIFY(QFile::remove(t.sdat()));
        t.saveAs(QString(64, QLatin1Char('a')));
        QCOMPARE(entries(t.sdat()), QStringList({QString(64, QLatin1Char('a'))}));

        // A source that cannot be read leaves an older copy as it was.
        QTemporaryDir dir;
        writeFile(dir.filePath(QStringLiteral("older")), "older\r\n");
        QVERIFY(!copyRecordsFile(dir.path(), dir.filePath(QStringLiteral("older"))).ok);
        QCOMPARE(readFile(dir.filePath(QStringLiteral("older"))), QByteArray("older\r\n"));
        QCOMPARE(entries(dir.path()), QStringList({"older"}));
    }

    void renameAndDeleteSavedFiles()
    {
        Teacher t({});
        for (int choice : {4, 5, 6})
            acceptSubOption(t.h, choice);
        QCOMPARE(t.h.boxes->titles(), QStringList({"No Records Lists", "No Records Lists", "No Saved Records"}));
        QCOMPARE(t.h.boxes->asked[2].text, QStringLiteral("There are no saved records."));
        QVERIFY(t.sub()->isVisible() && !shown(t.h, QStringLiteral("SavedRecordsForm")));

        writeFile(t.sdat(QStringLiteral("a")), Records);
        writeFile(t.sdat(QStringLiteral("b.txt")), "second\r\n");
        t.h.boxes->asked.clear();
        acceptSubOption(t.h, 6);
        QVERIFY(t.list()->isVisible() && !t.sub()->isVisible());
        QCOMPARE(t.list()->windowTitle(), QStringLiteral("Rename Saved Records"));
        QVERIFY(t.acceptFile()->isVisible() && t.acceptFile()->isEnabled());
        QCOMPARE(t.h.findIn<QLineEdit>(QStringLiteral("SavedRecordsForm"), QStringLiteral("NewName"))->text(),
                 QStringLiteral("a"));
        // The preview shows the records whole, with nothing to scroll to.
        auto *preview = t.h.findIn<QPlainTextEdit>(QStringLiteral("SavedRecordsForm"), QStringLiteral("PreviewFile"));
        QVERIFY(QTest::qWaitForWindowExposed(t.list()));
        QCOMPARE(preview->toPlainText().split(QLatin1Char('\n')).first().size(), 73);
        QCOMPARE(preview->horizontalScrollBar()->maximum(), 0);

        // The name typed over the old one's part before its point.
        t.choose(QStringLiteral("b.txt"));
        QCOMPARE(preview->toPlainText(), QStringLiteral("second\n"));
        auto *newName = t.h.findIn<QLineEdit>(QStringLiteral("SavedRecordsForm"), QStringLiteral("NewName"));
        newName->setFocus();
        QTest::keyClicks(newName, QStringLiteral("c"));
        QTest::keyClick(newName, Qt::Key_Return);
        QCOMPARE(t.h.boxes->titles(), QStringList({"Records Renamed"}));
        QCOMPARE(entries(t.sdat()), QStringList({"a", "c.txt"}));
        QCOMPARE(readFile(t.sdat(QStringLiteral("c.txt"))), QByteArray("second\r\n"));
        QCOMPARE(t.listed(), QStringList({"a", "c.txt"}));

        // Onto an existing file, out of the folder, or onto itself: refused.
        t.h.boxes->asked.clear();
        for (const char *target : {"c.txt", "../a", "a"}) {
            t.choose(QStringLiteral("a"));
            newName->setText(QLatin1String(target));
            t.acceptFile()->click();
        }
        QCOMPARE(t.h.boxes->titles(), QStringList({"Name In Use", "Invalid File Name", "Records Not Renamed"}));
        QCOMPARE(entries(t.sdat()), QStringList({"a", "c.txt"}));
        QCOMPARE(readFile(t.sdat(QStringLiteral("a"))), Records);
        QCOMPARE(readFile(t.sdat(QStringLiteral("c.txt"))), QByteArray("second\r\n"));
        t.list()->close();
        QVERIFY(t.sub()->isVisible());

        acceptSubOption(t.h, 5);
        QCOMPARE(t.list()->windowTitle(), QStringLiteral("Delete Saved Records"));
        QCOMPARE(t.acceptFile()->text(), QStringLiteral("Delete"));
        t.h.boxes->answers = {MsgNo, MsgYes, MsgOk, MsgYes};
        t.choose(QStringLiteral("a"));
        t.acceptFile()->click();
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Delete Saved Records"));
        QCOMPARE(t.h.boxes->asked.back().defaultAnswer, MsgNo);
        QCOMPARE(entries(t.sdat()), QStringList({"a", "c.txt"}));
        t.acceptFile()->click();
        QCOMPARE(t.h.boxes->titles().constLast(), QStringLiteral("Saved Records Deleted"));
        QCOMPARE(t.listed(), QStringList({"c.txt"}));
        // The last file gone, the list has nothing more to offer.
        t.choose(QStringLiteral("c.txt"));
        t.acceptFile()->click();
        QCOMPARE(entries(t.sdat()), QStringList());
        QVERIFY(!t.list()->isVisible() && t.sub()->isVisible());
    }
};

QTEST_MAIN(TestRecordsManagement)
#include "test_recordsmanagement.moc"
