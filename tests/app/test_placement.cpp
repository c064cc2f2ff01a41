#include "app/windowplacement.h"

#include <QTest>

using namespace plovista;

class TestPlacement : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The free area in logical pixels at the desktop's scale, and the factor
    // the program scales itself by so the area holds its 800x600 windows.
    void theProgramScalesDownToAScreenTooSmallForItsWindows_data()
    {
        QTest::addColumn<QSize>("available");
        QTest::addColumn<std::optional<double>>("factor");
        QTest::newRow("100% on 1920x1080") << QSize(1920, 1080) << std::optional<double>();
        QTest::newRow("exactly 800x600") << QSize(800, 600) << std::optional<double>();
        QTest::newRow("200% on 1920x1080") << QSize(960, 540) << std::optional<double>(0.9);
        QTest::newRow("150% on 1366x768 under a 32-pixel bar") << QSize(910, 490) << std::optional<double>(0.816);
        QTest::newRow("too narrow only") << QSize(640, 900) << std::optional<double>(0.8);
    }
    void theProgramScalesDownToAScreenTooSmallForItsWindows()
    {
        QFETCH(QSize, available);
        QFETCH(std::optional<double>, factor);
        QCOMPARE(scaleToFit(available), factor);
        if (factor)
            QVERIFY(qRound(available.width() / *factor) >= 800 && qRound(available.height() / *factor) >= 600);
    }

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
