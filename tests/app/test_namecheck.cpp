#include "app/namecheck.h"

#include <QTest>

using namespace plovista;

class TestNameCheck : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void rules_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("rule");
        QTest::newRow("good") << "Bob Smith" << 0;
        QTest::newRow("four letters") << "Al B" << 0;
        QTest::newRow("trailing blank") << "Bob " << 0;
        QTest::newRow("latin-1 letter is invalid") << "Bob Sm\u00e9" << 5;
        QTest::newRow("empty") << "" << 1;
        QTest::newRow("lower first") << "bob Smith" << 2;
        QTest::newRow("bracket first") << "[ob Smith" << 2;
        QTest::newRow("wide first") << "\u65e5ob Smith" << 2;
        QTest::newRow("blank first") << " Bob Smith" << 3;
        QTest::newRow("digit first") << "1Bob Smith" << 3;
        QTest::newRow("too short") << "Bob" << 4;
        QTest::newRow("capital code") << "KQ" << 4;
        QTest::newRow("period") << "Bob Smith." << 5;
        QTest::newRow("wide later") << "Bob Sm\u65e5th" << 5;
        QTest::newRow("no blank") << "Bobsmith" << 6;
        QTest::newRow("lower last") << "Bob smith" << 7;
        QTest::newRow("two blanks") << "Bob  Smith" << 8;
        QTest::newRow("three words") << "Bob Lee Smith" << 8;
        QTest::newRow("too short wins over blank") << "Bo" << 4;
    }
    void rules()
    {
        QFETCH(QString, name);
        QFETCH(int, rule);
        const auto rejected = checkName(name);
        QCOMPARE(rejected ? rejected->rule : 0, rule);
    }

    void messages()
    {
        const auto period = checkName(QStringLiteral("Bob Smith."));
        QCOMPARE(period->spoken, QStringLiteral("Your name has incorrect characters. Please fix it."));
        QCOMPARE(period->boxText, QStringLiteral("Your name has invalid characters. Please fix it."));
        QCOMPARE(period->title, QStringLiteral("Invalid Characters"));
        const auto shortName = checkName(QStringLiteral("Bob"));
        QCOMPARE(shortName->spoken, QStringLiteral("Your name is too short."));
        QVERIFY(shortName->boxText.isEmpty());
        const auto empty = checkName(QString());
        QCOMPARE(empty->title, QStringLiteral("Missing Name"));
        QCOMPARE(empty->boxText, QStringLiteral("Please type your first and last name."));
        QCOMPARE(checkName(QStringLiteral("Bob  Smith"))->title, QStringLiteral("Capitalize Name"));
        QCOMPARE(checkName(QStringLiteral("Bobsmith"))->title, QStringLiteral("Space Missing"));
    }

    void keyFilter()
    {
        QString passed;
        for (char32_t c = 0; c < 300; ++c)
            if (nameKeyAllowed(c))
                passed += QChar(static_cast<char16_t>(c));
        QCOMPARE(passed, QStringLiteral("\b .ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    }

    void firstName()
    {
        QCOMPARE(firstNameOf(QStringLiteral("Bob Smith")), QStringLiteral("Bob"));
        QCOMPARE(firstNameOf(QStringLiteral("Bob ")), QStringLiteral("Bob"));
        QCOMPARE(firstNameOf(QStringLiteral("Cher")), QStringLiteral("Cher"));
    }
};

QTEST_GUILESS_MAIN(TestNameCheck)
#include "test_namecheck.moc"
