// "The number at the start" of a stored text, and its rounding to a whole number.
#include "store/leading_number.h"

#include <QTest>

#include <cfenv>
#include <climits>
#include <cmath>
#include <limits>

using namespace platine;

class LeadingNumberTest : public QObject
{
    Q_OBJECT

private slots:
    void leading_data();
    void leading();
    void whole_data();
    void whole();
    void rounding_data();
    void rounding();
    void roundingModeIsRestored();
};

void LeadingNumberTest::leading_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("found");
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("end");

    QTest::newRow("digits") << QStringLiteral("42") << true << 42.0 << 2;
    QTest::newRow("stops at a letter") << QStringLiteral("3abc") << true << 3.0 << 1;
    QTest::newRow("blanks and tabs first") << QStringLiteral(" \t 7x") << true << 7.0 << 4;
    QTest::newRow("sign") << QStringLiteral("-12") << true << -12.0 << 3;
    QTest::newRow("plus sign") << QStringLiteral("+5") << true << 5.0 << 2;
    QTest::newRow("fraction") << QStringLiteral("2.5h") << true << 2.5 << 3;
    QTest::newRow("point without digits") << QStringLiteral("3.x") << true << 3.0 << 2;
    QTest::newRow("fraction only") << QStringLiteral(".25") << true << 0.25 << 3;
    QTest::newRow("no exponent") << QStringLiteral("1e5") << true << 1.0 << 1;
    QTest::newRow("second point ends it") << QStringLiteral("1.2.3") << true << 1.2 << 3;
    QTest::newRow("sign alone") << QStringLiteral("-") << false << 0.0 << 0;
    QTest::newRow("sign then blank") << QStringLiteral("- 1") << false << 0.0 << 0;
    QTest::newRow("point alone") << QStringLiteral(".") << false << 0.0 << 0;
    QTest::newRow("letters") << QStringLiteral("abc") << false << 0.0 << 0;
    QTest::newRow("empty") << QString() << false << 0.0 << 0;
    QTest::newRow("other digits are not digits") << QStringLiteral(u"\uff13") << false << 0.0 << 0;
    QTest::newRow("line break is not a blank") << QStringLiteral("\n3") << false << 0.0 << 0;
}

void LeadingNumberTest::leading()
{
    QFETCH(QString, text);
    QFETCH(bool, found);
    QFETCH(double, value);
    QFETCH(int, end);

    const LeadingNumber number = leadingNumber(text);
    QCOMPARE(number.found, found);
    QCOMPARE(number.value, value);
    QCOMPARE(number.end, qsizetype(end));
}

void LeadingNumberTest::whole_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("value");

    const QString zeros(400, QChar(u'0'));
    QTest::newRow("none gives 0") << QStringLiteral("abc") << true << 0;
    QTest::newRow("2.5") << QStringLiteral("2.5") << true << 2;
    QTest::newRow("3.5") << QStringLiteral("3.5") << true << 4;
    QTest::newRow("-2.5") << QStringLiteral("-2.5") << true << -2;
    QTest::newRow("2.51") << QStringLiteral("2.51") << true << 3;
    QTest::newRow("largest int") << QStringLiteral("2147483647") << true << INT_MAX;
    QTest::newRow("smallest int") << QStringLiteral("-2147483648") << true << INT_MIN;
    QTest::newRow("just too large") << QStringLiteral("2147483648") << false << 0;
    QTest::newRow("just too small") << QStringLiteral("-2147483649") << false << 0;
    QTest::newRow("20 digits") << QStringLiteral("99999999999999999999") << false << 0;
    // More digits than a double holds: far too large, not 0.
    QTest::newRow("401 digits") << QStringLiteral("1") + zeros << false << 0;
    QTest::newRow("-401 digits") << QStringLiteral("-1") + zeros << false << 0;
    QTest::newRow("long fraction")
        << QStringLiteral("1.") + zeros + QStringLiteral("9") << true << 1;
    QTest::newRow("leading zeros") << zeros + QStringLiteral("7") << true << 7;
    QTest::newRow("401 digits of 0") << zeros + QStringLiteral("0") << true << 0;
    QTest::newRow("far too small")
        << QStringLiteral("0.") + zeros + QStringLiteral("1") << true << 0;
    QTest::newRow("far too small, negative")
        << QStringLiteral("-0.") + zeros + QStringLiteral("1") << true << 0;
}

void LeadingNumberTest::whole()
{
    QFETCH(QString, text);
    QFETCH(bool, fits);
    QFETCH(int, value);

    const std::optional<int> number = wholeNumberAtStart(text);
    QCOMPARE(number.has_value(), fits);
    if (fits)
        QCOMPARE(*number, value);
}

void LeadingNumberTest::rounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("fits");
    QTest::addColumn<int>("rounded");

    QTest::newRow("0.5") << 0.5 << true << 0;
    QTest::newRow("1.5") << 1.5 << true << 2;
    QTest::newRow("-1.5") << -1.5 << true << -2;
    QTest::newRow("-0.5") << -0.5 << true << 0;
    QTest::newRow("0.49") << 0.49 << true << 0;
    QTest::newRow("largest int + 0.4") << 2147483647.4 << true << INT_MAX;
    QTest::newRow("largest int + 0.5") << 2147483647.5 << false << 0;
    QTest::newRow("smallest int - 0.5") << -2147483648.5 << true << INT_MIN;
    QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << false << 0;
    QTest::newRow("not a number") << std::numeric_limits<double>::quiet_NaN() << false << 0;
}

void LeadingNumberTest::rounding()
{
    QFETCH(double, value);
    QFETCH(bool, fits);
    QFETCH(int, rounded);

    const std::optional<int> result = roundHalfToEven(value);
    QCOMPARE(result.has_value(), fits);
    if (fits)
        QCOMPARE(*result, rounded);
}

void LeadingNumberTest::roundingModeIsRestored()
{
    const int previous = std::fegetround();
    QCOMPARE(std::fesetround(FE_UPWARD), 0);
    const std::optional<int> twoAndHalf = roundHalfToEven(2.5);
    const std::optional<int> justAbove = roundHalfToEven(2.1);
    const int mode = std::fegetround();
    std::fesetround(previous);
    QCOMPARE(twoAndHalf, std::optional<int>(2));
    QCOMPARE(justAbove, std::optional<int>(2));
    QCOMPARE(mode, FE_UPWARD);
}

QTEST_GUILESS_MAIN(LeadingNumberTest)
#include "test_leading_number.moc"
