#include "selection/selectioncodes.h"

#include <QTest>

using namespace plovista;

Q_DECLARE_METATYPE(plovista::Operation)

// The window tests cover the codes the menus reach; these cover the cases no
// click can reach and the bytes the record file needs.
class TestSelectionCodes : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void activityCodes_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("option");
        QTest::addColumn<QByteArray>("latin1");
        QTest::newRow("plus 2") << Operation::Addition << 2 << QByteArray("+2");
        QTest::newRow("minus 10") << Operation::Subtraction << 10 << QByteArray("-10");
        QTest::newRow("times 12") << Operation::Multiplication << 12 << QByteArray("x12");
        // The division sign must be the single byte 247 of the records' code page.
        QTest::newRow("divided by 9") << Operation::Division << 9
                                      << QByteArray("\xF7"
                                                    "9");
        QTest::newRow("facts of ten") << Operation::FactsOfTen << 0 << QByteArray("F10");
    }
    void activityCodes()
    {
        QFETCH(Operation, operation);
        QFETCH(int, option);
        QFETCH(QByteArray, latin1);
        QCOMPARE(activityCode(operation, option).toLatin1(), latin1);
    }

    void boxesGiveTheChoice_data()
    {
        QTest::addColumn<bool>("first");
        QTest::addColumn<bool>("second");
        QTest::addColumn<int>("format"); // -1 none, else DrillFormat
        QTest::addColumn<int>("range"); // -1 none, else FactRange
        QTest::newRow("none") << false << false << -1 << -1;
        QTest::newRow("first") << true << false << int(DrillFormat::Horizontal) << int(FactRange::ZeroToNine);
        QTest::newRow("second") << false << true << int(DrillFormat::Vertical) << int(FactRange::ZeroToTwelve);
        // Both of a pair checked: vertical and 0 to 12, as the drill would lay out and draw.
        QTest::newRow("both") << true << true << int(DrillFormat::Vertical) << int(FactRange::ZeroToTwelve);
    }
    void boxesGiveTheChoice()
    {
        QFETCH(bool, first);
        QFETCH(bool, second);
        QFETCH(int, format);
        QFETCH(int, range);
        const auto f = chosenFormat(first, second);
        const auto r = chosenRange(first, second);
        QCOMPARE(f ? int(*f) : -1, format);
        QCOMPARE(r ? int(*r) : -1, range);
        if (f)
            QCOMPARE(formatCode(*f), *f == DrillFormat::Vertical ? QStringLiteral("V") : QStringLiteral("H"));
        if (r)
            QCOMPARE(rangeCode(*r), *r == FactRange::ZeroToTwelve ? QStringLiteral("0->12") : QStringLiteral("0->9"));
    }
};

QTEST_GUILESS_MAIN(TestSelectionCodes)
#include "test_selectioncodes.moc"
