#include "app/windowplacement.h"

#include <QTest>

using namespace plovista;

class TestPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // An 800x600 screen with something to keep in sight, and a 500x100 box.
    void theBoxLeavesTheKeptAreaInSight_data()
    {
        QTest::addColumn<QRect>("keep");
        QTest::addColumn<QPoint>("at");
        QTest::newRow("below, centred under it") << QRect(300, 300, 200, 60) << QPoint(150, 368);
        QTest::newRow("above when below is short") << QRect(300, 450, 200, 60) << QPoint(150, 342);
        QTest::newRow("kept on the screen sideways") << QRect(0, 100, 100, 60) << QPoint(0, 168);
        QTest::newRow("right when above and below are short") << QRect(0, 50, 200, 500) << QPoint(208, 250);
        QTest::newRow("left when nothing else has room") << QRect(600, 50, 200, 500) << QPoint(92, 250);
        QTest::newRow("the side with the most room when none has enough") << QRect(150, 60, 500, 490) << QPoint(150, 0);
    }
    void theBoxLeavesTheKeptAreaInSight()
    {
        QFETCH(QRect, keep);
        QFETCH(QPoint, at);
        const QRect screen(0, 0, 800, 600);
        const QPoint placed = placeClearOf(QSize(500, 100), keep, screen);
        QCOMPARE(placed, at);
        QVERIFY(screen.contains(QRect(placed, QSize(500, 100))));
    }
};

QTEST_GUILESS_MAIN(TestPlacement)
#include "test_placement.moc"
