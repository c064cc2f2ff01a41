#include "settings/numbertext.h"

#include <QLocale>
#include <QTest>

using namespace plovista;

class TestNumberText : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeNumber_data();
    void wholeNumber();
    void localeForm_data();
    void localeForm();
    void neutralForm_data();
    void neutralForm();
    void neutralFormIgnoresTheDefaultLocale();
    void cut_data();
    void cut();
    void cutNumbersAreNeverRounded_data();
    void cutNumbersAreNeverRounded();
    void leading_data();
    void leading();
};

void TestNumberText::wholeNumber_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("ten") << 10 << " 10 ";
    QTest::newRow("zero") << 0 << " 0 ";
    QTest::newRow("negative") << -3 << "-3 ";
}

void TestNumberText::wholeNumber()
{
    QFETCH(int, value);
    QFETCH(QString, text);
    QCOMPARE(formatWholeNumber(value), text);
}

void TestNumberText::localeForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("single");
    QTest::addColumn<QString>("c");
    QTest::addColumn<QString>("us");
    QTest::addColumn<QString>("german");

    QTest::newRow("below one keeps its zero") << 0.9 << false << "0.9"
                                              << "0.9"
                                              << "0,9";
    QTest::newRow("whole") << 100.0 << false << "100"
                           << "100"
                           << "100";
    QTest::newRow("zero") << 0.0 << false << "0"
                          << "0"
                          << "0";
    QTest::newRow("15 digits") << 100.0 / 30 << false << "3.33333333333333"
                               << "3.33333333333333"
                               << "3,33333333333333";
    QTest::newRow("minutes") << 25.0 / 60 << false << "0.416666666666667"
                             << "0.416666666666667"
                             << "0,416666666666667";
    QTest::newRow("no grouping") << 12345.5 << false << "12345.5"
                                 << "12345.5"
                                 << "12345,5";
    QTest::newRow("negative") << -0.8 << false << "-0.8"
                              << "-0.8"
                              << "-0,8";
    QTest::newRow("large") << 1e15 << false << "1E+15"
                           << "1E+15"
                           << "1E+15";
    QTest::newRow("small") << 0.00001 << false << "1E-05"
                           << "1E-05"
                           << "1E-05";
    QTest::newRow("single 7 digits") << static_cast<double>(static_cast<float>(28.0 / 30 * 100)) << true << "93.33334"
                                     << "93.33334"
                                     << "93,33334";
    QTest::newRow("single from a double") << 29.0 / 30 * 100 << true << "96.66666"
                                          << "96.66666"
                                          << "96,66666";
    QTest::newRow("single whole") << 90.0 << true << "90"
                                  << "90"
                                  << "90";
}

void TestNumberText::localeForm()
{
    QFETCH(double, value);
    QFETCH(bool, single);
    QFETCH(QString, c);
    QFETCH(QString, us);
    QFETCH(QString, german);
    const Precision precision = single ? Precision::Single : Precision::Double;
    QCOMPARE(localeNumberText(value, QLocale::c(), precision), c);
    QCOMPARE(localeNumberText(value, QLocale(QLocale::English, QLocale::UnitedStates), precision), us);
    QCOMPARE(localeNumberText(value, QLocale(QLocale::German, QLocale::Germany), precision), german);
}

void TestNumberText::neutralForm_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");
    QTest::newRow("no leading zero") << 0.8 << ".8";
    QTest::newRow("two places") << 0.05 << ".05";
    QTest::newRow("15 digits") << 100.0 / 30 << "3.33333333333333";
    QTest::newRow("half") << 2.5 << "2.5";
    QTest::newRow("whole") << 90.0 << "90";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("negative zero") << -0.0 << "0";
    QTest::newRow("negative below one") << -0.8 << "-.8";
    QTest::newRow("large") << 1e15 << "1E+15";
    QTest::newRow("just above three") << 3.0000000000000004 << "3";
}

void TestNumberText::neutralForm()
{
    QFETCH(double, value);
    QFETCH(QString, text);
    QCOMPARE(neutralNumberText(value), text);
}

void TestNumberText::neutralFormIgnoresTheDefaultLocale()
{
    const QLocale before;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    const QString neutral = neutralNumberText(2.5);
    const QString local = localeNumberText(2.5, QLocale());
    QLocale::setDefault(before);
    QCOMPARE(neutral, QStringLiteral("2.5"));
    QCOMPARE(local, QStringLiteral("2,5"));
}

void TestNumberText::cut_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("cut");
    QTest::newRow("accuracy") << "96.66667" << 4 << "96.6";
    QTest::newRow("speed") << "3.33333333333333" << 4 << "3.33";
    QTest::newRow("short stays") << "0.9" << 4 << "0.9";
    QTest::newRow("exact") << "100" << 3 << "100";
    QTest::newRow("minutes") << "0.416666666666667" << 3 << "0.4";
    QTest::newRow("trailing point") << "12.5" << 3 << "12.";
    QTest::newRow("empty") << "" << 3 << "";
    QTest::newRow("nothing") << "2.5" << 0 << "";
    QTest::newRow("negative length") << "2.5" << -1 << "";
}

void TestNumberText::cut()
{
    QFETCH(QString, text);
    QFETCH(int, length);
    QFETCH(QString, cut);
    QCOMPARE(cutText(text, length), cut);
}

void TestNumberText::cutNumbersAreNeverRounded_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("length");
    QTest::addColumn<QString>("cut");
    QTest::newRow("rounds up to 1.0 if rounded") << 0.99999 << 3 << "0.9";
    QTest::newRow("96.66") << 29.0 / 30 * 100 << 4 << "96.6";
    QTest::newRow("2.99") << 2.9999 << 4 << "2.99";
    QTest::newRow("12.99 minutes") << 779.0 / 60 << 3 << "12.";
}

void TestNumberText::cutNumbersAreNeverRounded()
{
    QFETCH(double, value);
    QFETCH(int, length);
    QFETCH(QString, cut);
    QCOMPARE(cutText(localeNumberText(value, QLocale::c()), length), cut);
}

void TestNumberText::leading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("goal") << "5.0" << 5.0;
    QTest::newRow("words after") << "3.5 sec" << 3.5;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("blanks around") << " 90 " << 90.0;
    QTest::newRow("percent after") << "90%" << 90.0;
    QTest::newRow("line end after") << "3.0\r\n" << 3.0;
    QTest::newRow("tab before") << "\t7" << 7.0;
    QTest::newRow("blanks inside") << "1 2" << 12.0;
    QTest::newRow("negative") << "-2.5" << -2.5;
    QTest::newRow("plus") << "+3" << 3.0;
    QTest::newRow("no leading zero") << ".8" << 0.8;
    QTest::newRow("negative no zero") << "-.5" << -0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("second point ends it") << "1.2.3" << 1.2;
    QTest::newRow("comma ends it") << "1,5" << 1.0;
    QTest::newRow("exponent") << "2e1" << 20.0;
    QTest::newRow("negative exponent") << "2E-1" << 0.2;
    QTest::newRow("double exponent") << "1d2" << 100.0;
    QTest::newRow("exponent without digits") << "2e" << 2.0;
    QTest::newRow("exponent sign only") << "2e+x" << 2.0;
    QTest::newRow("sign alone") << "-" << 0.0;
    QTest::newRow("point alone") << "." << 0.0;
    QTest::newRow("number later") << "x5" << 0.0;
    QTest::newRow("huge") << "1e999" << 0.0;
}

void TestNumberText::leading()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(leadingNumber(text), value);
}

QTEST_APPLESS_MAIN(TestNumberText)
#include "test_numbertext.moc"
