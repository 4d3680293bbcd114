// Money arithmetic of the counter: reading prices as the operator types them,
// writing and reading back the value texts of the order lines, and the plain
// total shown to the customer. Every amount is whole centavos.

#include "runtime/amount.h"
#include "testsupport.h"

#include <QRandomGenerator>
#include <QtTest>

#include <limits>

using runtime::Centavos;
using runtime::kMaxPrice;

namespace {

QString describe(const std::optional<Centavos> &value)
{
    return value ? QString::number(*value) : QStringLiteral("nullopt");
}

// The plain form built a different way from the program: always write two
// decimals, then drop trailing zeros and a separator left alone at the end.
// The separator protects the zeros of the whole part ("10,00" -> "10").
QString expectedPlain(Centavos amount, const QString &separator)
{
    QString text = QString::number(amount / 100) + separator +
                   QStringLiteral("%1").arg(int(amount % 100), 2, 10, QLatin1Char('0'));
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(separator))
        text.chop(separator.size());
    return text;
}

// Reads a plain total back into centavos without using the program's
// readers: whole part and at most two decimals, each as an integer.
std::optional<Centavos> readPlain(const QString &plain, const QString &separator)
{
    const QStringList parts = plain.split(separator);
    if (parts.size() > 2 || parts[0].isEmpty())
        return std::nullopt;
    for (const QChar c : plain) {
        if (!(c.isDigit() && c.unicode() < 128) && QString(c) != separator)
            return std::nullopt;
    }
    bool ok = false;
    const Centavos whole = parts[0].toLongLong(&ok);
    if (!ok)
        return std::nullopt;
    Centavos cents = 0;
    if (parts.size() == 2) {
        const QString decimals = parts[1];
        // A plain form has one or two decimals and never ends in zero.
        if (decimals.isEmpty() || decimals.size() > 2 || decimals.endsWith(QLatin1Char('0')))
            return std::nullopt;
        cents = decimals.leftJustified(2, QLatin1Char('0')).toInt(&ok);
        if (!ok)
            return std::nullopt;
    }
    return whole * 100 + cents;
}

} // namespace

class tst_Amount : public QObject
{
    Q_OBJECT

private slots:
    void cleanup();

    void decimalSeparatorFollowsRegion_data();
    void decimalSeparatorFollowsRegion();

    void parsePriceAccepts_data();
    void parsePriceAccepts();
    void parsePriceRejects_data();
    void parsePriceRejects();

    void formatFixed2_data();
    void formatFixed2();

    void rightAlign_data();
    void rightAlign();

    void plainAmount_data();
    void plainAmount();

    void lineValuesReadBackIntoTheirTotal_data();
    void lineValuesReadBackIntoTheirTotal();

    void everyPriceRoundTrips_data();
    void everyPriceRoundTrips();

    void randomOrdersTotalExactly_data();
    void randomOrdersTotalExactly();
};

void tst_Amount::cleanup()
{
    useBrazilianPortuguese();
}

void tst_Amount::decimalSeparatorFollowsRegion_data()
{
    QTest::addColumn<bool>("brazilian");
    QTest::addColumn<QString>("expected");

    QTest::newRow("brazilian portuguese uses comma") << true << QStringLiteral(",");
    QTest::newRow("english us uses point") << false << QStringLiteral(".");
}

void tst_Amount::decimalSeparatorFollowsRegion()
{
    QFETCH(bool, brazilian);
    QFETCH(QString, expected);

    if (brazilian)
        useBrazilianPortuguese();
    else
        usePointLocale();
    QCOMPARE(runtime::decimalSeparator(), expected);
}

void tst_Amount::parsePriceAccepts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<Centavos>("expected");

    QTest::newRow("comma two decimals") << QStringLiteral("7,50") << Centavos(750);
    QTest::newRow("point two decimals") << QStringLiteral("7.50") << Centavos(750);
    QTest::newRow("comma one decimal") << QStringLiteral("7,5") << Centavos(750);
    QTest::newRow("point one decimal") << QStringLiteral("7.5") << Centavos(750);
    QTest::newRow("whole number") << QStringLiteral("12") << Centavos(1200);
    QTest::newRow("zero") << QStringLiteral("0") << Centavos(0);
    QTest::newRow("zero with decimals") << QStringLiteral("0,00") << Centavos(0);
    QTest::newRow("one centavo") << QStringLiteral("0,01") << Centavos(1);
    QTest::newRow("leading zero decimal is not ten") << QStringLiteral("0,05") << Centavos(5);
    QTest::newRow("one decimal is tenths") << QStringLiteral("0,1") << Centavos(10);
    QTest::newRow("leading spaces") << QStringLiteral("   7,50") << Centavos(750);
    QTest::newRow("trailing spaces") << QStringLiteral("7,50   ") << Centavos(750);
    QTest::newRow("tab and newline around") << QStringLiteral("\t7,50\n") << Centavos(750);
    QTest::newRow("value text of an order line") << QStringLiteral("   5,90") << Centavos(590);
    QTest::newRow("empty text") << QString() << Centavos(0);
    QTest::newRow("empty string literal") << QStringLiteral("") << Centavos(0);
    QTest::newRow("all spaces") << QStringLiteral("     ") << Centavos(0);
    QTest::newRow("catalogue 5.00") << QStringLiteral("     5.00") << Centavos(500);
    QTest::newRow("catalogue 5.90") << QStringLiteral("     5.90") << Centavos(590);
    QTest::newRow("catalogue 9.00") << QStringLiteral("     9.00") << Centavos(900);
    QTest::newRow("catalogue 6.50") << QStringLiteral("     6.50") << Centavos(650);
    QTest::newRow("catalogue 10.00") << QStringLiteral("    10.00") << Centavos(1000);
    QTest::newRow("dearest price comma") << QStringLiteral("99999,99") << Centavos(9999999);
    QTest::newRow("dearest price point") << QStringLiteral("99999.99") << Centavos(9999999);
    QTest::newRow("dearest price whole") << QStringLiteral("99999") << Centavos(9999900);
}

void tst_Amount::parsePriceAccepts()
{
    QFETCH(QString, text);
    QFETCH(Centavos, expected);

    const std::optional<Centavos> price = runtime::parsePrice(text);
    QVERIFY2(price.has_value(), qPrintable(QStringLiteral("\"%1\" was rejected").arg(text)));
    QCOMPARE(*price, expected);
}

void tst_Amount::parsePriceRejects_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("letters") << QStringLiteral("abc");
    QTest::newRow("digits then letters") << QStringLiteral("12abc");
    QTest::newRow("decimals then letter") << QStringLiteral("7,5a");
    QTest::newRow("minus sign") << QStringLiteral("-5");
    QTest::newRow("plus sign") << QStringLiteral("+5");
    QTest::newRow("trailing minus") << QStringLiteral("5-");
    QTest::newRow("exponent") << QStringLiteral("1e3");
    QTest::newRow("exponent after decimals") << QStringLiteral("1,5E2");
    QTest::newRow("hexadecimal") << QStringLiteral("0x10");
    QTest::newRow("two separators") << QStringLiteral("7,50,1");
    QTest::newRow("two points in a row") << QStringLiteral("7..50");
    QTest::newRow("thousands grouping with point") << QStringLiteral("1.234,56");
    QTest::newRow("thousands grouping with comma") << QStringLiteral("1,234.56");
    QTest::newRow("two groupings") << QStringLiteral("1.234.567");
    QTest::newRow("lone comma") << QStringLiteral(",");
    QTest::newRow("lone point") << QStringLiteral(".");
    QTest::newRow("lone comma in spaces") << QStringLiteral("  ,  ");
    QTest::newRow("space inside the number") << QStringLiteral("7 50");
    QTest::newRow("space inside the decimals") << QStringLiteral("7,5 0");
    QTest::newRow("currency sign") << QStringLiteral("R$ 7,50");
    QTest::newRow("one above the dearest whole") << QStringLiteral("100000");
    QTest::newRow("above the dearest with decimals") << QStringLiteral("100000,00");
    QTest::newRow("one centavo above the dearest") << QStringLiteral("100000,01");
    // A third decimal is never rounded away: to a Brazilian operator "1.234"
    // is a thousand and more, not 1,23.
    QTest::newRow("point and three digits") << QStringLiteral("1.234");
    QTest::newRow("point and three zeros") << QStringLiteral("12.500");
    QTest::newRow("comma and three decimals") << QStringLiteral("2,999");
    QTest::newRow("half a centavo") << QStringLiteral("0,005");
    QTest::newRow("third decimal zero") << QStringLiteral("7,500");
    QTest::newRow("third decimal at the dearest") << QStringLiteral("99999,994");
    QTest::newRow("far above the dearest") << QStringLiteral("123456789");
    QTest::newRow("long run of nines") << QString(40, QLatin1Char('9'));
    QTest::newRow("long run of nines with decimals")
        << QString(40, QLatin1Char('9')) + QStringLiteral(",99");
    QTest::newRow("two to the 63") << QStringLiteral("9223372036854775808");
    QTest::newRow("two to the 64 wraps to zero") << QStringLiteral("18446744073709551616");
    QTest::newRow("two to the 64 times ten wraps to zero")
        << QStringLiteral("184467440737095516160");
    // 184467440737095517 * 100 = 2^64 + 84: a 64-bit product wraps to 84.
    QTest::newRow("scaling to centavos wraps to 84") << QStringLiteral("184467440737095517");
    // 92233720368547759 * 100 overflows a signed 64-bit number.
    QTest::newRow("scaling to centavos overflows signed") << QStringLiteral("92233720368547759");
    QTest::newRow("arabic-indic five") << QStringLiteral("\u0665");
    QTest::newRow("arabic-indic digits with comma") << QStringLiteral("\u0667,\u0665\u0660");
    QTest::newRow("fullwidth five") << QStringLiteral("\uFF15");
    QTest::newRow("devanagari five then ascii decimals") << QStringLiteral("\u096B,50");
    QTest::newRow("ascii five then arabic-indic decimal") << QStringLiteral("5,\u0665");
    QTest::newRow("superscript two") << QStringLiteral("\u00B2");
}

void tst_Amount::parsePriceRejects()
{
    QFETCH(QString, text);

    const std::optional<Centavos> price = runtime::parsePrice(text);
    QVERIFY2(
        !price.has_value(),
        qPrintable(QStringLiteral("\"%1\" was read as %2 centavos").arg(text, describe(price))));
}

void tst_Amount::formatFixed2_data()
{
    QTest::addColumn<Centavos>("amount");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    const QString comma = QStringLiteral(",");
    const QString point = QStringLiteral(".");
    QTest::newRow("comma") << Centavos(590) << comma << QStringLiteral("5,90");
    QTest::newRow("point") << Centavos(590) << point << QStringLiteral("5.90");
    QTest::newRow("zero") << Centavos(0) << comma << QStringLiteral("0,00");
    QTest::newRow("five centavos") << Centavos(5) << comma << QStringLiteral("0,05");
    QTest::newRow("fifty centavos") << Centavos(50) << comma << QStringLiteral("0,50");
    QTest::newRow("ninety-nine centavos") << Centavos(99) << comma << QStringLiteral("0,99");
    QTest::newRow("one real") << Centavos(100) << comma << QStringLiteral("1,00");
    QTest::newRow("ten reais") << Centavos(1000) << point << QStringLiteral("10.00");
    QTest::newRow("no grouping") << Centavos(1234567) << point << QStringLiteral("12345.67");
    QTest::newRow("ten thousand") << Centavos(1000000) << comma << QStringLiteral("10000,00");
    QTest::newRow("dearest price") << Centavos(kMaxPrice) << comma << QStringLiteral("99999,99");
    QTest::newRow("large total") << Centavos(999999999999) << comma
                                 << QStringLiteral("9999999999,99");
    QTest::newRow("largest amount")
        << std::numeric_limits<Centavos>::max() << point << QStringLiteral("92233720368547758.07");
}

void tst_Amount::formatFixed2()
{
    QFETCH(Centavos, amount);
    QFETCH(QString, separator);
    QFETCH(QString, expected);

    QCOMPARE(runtime::formatFixed2(amount, separator), expected);
}

void tst_Amount::rightAlign_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("width");
    QTest::addColumn<QString>("expected");

    QTest::newRow("price to seven") << QStringLiteral("5,90") << 7 << QStringLiteral("   5,90");
    QTest::newRow("exactly seven") << QStringLiteral("9999,99") << 7 << QStringLiteral("9999,99");
    QTest::newRow("longer stays whole")
        << QStringLiteral("10000,00") << 7 << QStringLiteral("10000,00");
    QTest::newRow("empty to three") << QString() << 3 << QStringLiteral("   ");
    QTest::newRow("width zero") << QStringLiteral("abc") << 0 << QStringLiteral("abc");
    QTest::newRow("keeps own spaces") << QStringLiteral(" a ") << 5 << QStringLiteral("   a ");
}

void tst_Amount::rightAlign()
{
    QFETCH(QString, text);
    QFETCH(int, width);
    QFETCH(QString, expected);

    QCOMPARE(runtime::rightAlign(text, width), expected);
}

void tst_Amount::plainAmount_data()
{
    QTest::addColumn<Centavos>("amount");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<QString>("expected");

    const QString comma = QStringLiteral(",");
    const QString point = QStringLiteral(".");
    QTest::newRow("zero") << Centavos(0) << comma << QStringLiteral("0");
    QTest::newRow("one trailing zero dropped") << Centavos(590) << comma << QStringLiteral("5,9");
    QTest::newRow("one trailing zero dropped point")
        << Centavos(590) << point << QStringLiteral("5.9");
    QTest::newRow("whole number") << Centavos(1900) << comma << QStringLiteral("19");
    QTest::newRow("whole number ending in zero") << Centavos(5900) << comma << QStringLiteral("59");
    QTest::newRow("whole ten") << Centavos(1000) << comma << QStringLiteral("10");
    QTest::newRow("tenths") << Centavos(2140) << comma << QStringLiteral("21,4");
    QTest::newRow("one centavo") << Centavos(1) << comma << QStringLiteral("0,01");
    QTest::newRow("ten centavos") << Centavos(10) << comma << QStringLiteral("0,1");
    QTest::newRow("ninety-nine centavos") << Centavos(99) << point << QStringLiteral("0.99");
    QTest::newRow("inner zero kept") << Centavos(1001) << comma << QStringLiteral("10,01");
    QTest::newRow("one real") << Centavos(100) << comma << QStringLiteral("1");
    QTest::newRow("dearest price") << Centavos(kMaxPrice) << comma << QStringLiteral("99999,99");
    QTest::newRow("large total exact")
        << Centavos(999999999999) << comma << QStringLiteral("9999999999,99");
    QTest::newRow("large whole total")
        << Centavos(1000000000000) << comma << QStringLiteral("10000000000");
    QTest::newRow("large total beyond double precision")
        << Centavos(9007199254740993) << point << QStringLiteral("90071992547409.93");
    QTest::newRow("largest amount")
        << std::numeric_limits<Centavos>::max() << comma << QStringLiteral("92233720368547758,07");
}

void tst_Amount::plainAmount()
{
    QFETCH(Centavos, amount);
    QFETCH(QString, separator);
    QFETCH(QString, expected);

    QCOMPARE(runtime::plainAmount(amount, separator), expected);
}

void tst_Amount::lineValuesReadBackIntoTheirTotal_data()
{
    QTest::addColumn<QString>("valueText");
    QTest::addColumn<QString>("separator");
    QTest::addColumn<int>("lines");
    QTest::addColumn<QString>("expectedTotal");

    const QString comma = QStringLiteral(",");
    const QString point = QStringLiteral(".");
    QTest::newRow("ten lines of 5,90")
        << QStringLiteral("   5,90") << comma << 10 << QStringLiteral("59");
    QTest::newRow("ten lines of 5.90")
        << QStringLiteral("   5.90") << point << 10 << QStringLiteral("59");
    QTest::newRow("three lines of 0,10")
        << QStringLiteral("   0,10") << comma << 3 << QStringLiteral("0,3");
    QTest::newRow("three lines of 1,10")
        << QStringLiteral("   1,10") << comma << 3 << QStringLiteral("3,3");
    QTest::newRow("hundred lines of 0,01")
        << QStringLiteral("   0,01") << comma << 100 << QStringLiteral("1");
    QTest::newRow("thousand lines of 0.07")
        << QStringLiteral("   0.07") << point << 1000 << QStringLiteral("70");
    QTest::newRow("thousand lines of the dearest price")
        << QStringLiteral("99999,99") << comma << 1000 << QStringLiteral("99999990");
}

void tst_Amount::lineValuesReadBackIntoTheirTotal()
{
    QFETCH(QString, valueText);
    QFETCH(QString, separator);
    QFETCH(int, lines);
    QFETCH(QString, expectedTotal);

    Centavos total = 0;
    for (int line = 0; line < lines; ++line)
        total += runtime::parsePrice(valueText).value_or(-1);
    QCOMPARE(runtime::plainAmount(total, separator), expectedTotal);
}

void tst_Amount::everyPriceRoundTrips_data()
{
    QTest::addColumn<QString>("separator");

    QTest::newRow("comma") << QStringLiteral(",");
    QTest::newRow("point") << QStringLiteral(".");
}

void tst_Amount::everyPriceRoundTrips()
{
    QFETCH(QString, separator);

    for (Centavos amount = 0; amount <= kMaxPrice; ++amount) {
        const QString fixed = runtime::formatFixed2(amount, separator);
        const QString valueText = runtime::rightAlign(fixed, 7);
        const Centavos readBack = runtime::parsePrice(valueText).value_or(-1);
        if (readBack != amount) {
            QFAIL(qPrintable(QStringLiteral("%1 -> \"%2\" read back as %3")
                                 .arg(amount)
                                 .arg(valueText)
                                 .arg(readBack)));
        }
        const std::optional<Centavos> parsed = runtime::parsePrice(fixed);
        if (!parsed || *parsed != amount) {
            QFAIL(qPrintable(QStringLiteral("%1 -> \"%2\" parsed as %3")
                                 .arg(amount)
                                 .arg(fixed, describe(parsed))));
        }
    }
}

void tst_Amount::randomOrdersTotalExactly_data()
{
    QTest::addColumn<QString>("separator");
    QTest::addColumn<quint32>("seed");

    QTest::newRow("comma") << QStringLiteral(",") << quint32(20240611);
    QTest::newRow("point") << QStringLiteral(".") << quint32(7919);
}

void tst_Amount::randomOrdersTotalExactly()
{
    QFETCH(QString, separator);
    QFETCH(quint32, seed);

    QRandomGenerator random(seed);
    for (int order = 0; order < 300; ++order) {
        const int lines = 1 + random.bounded(500);
        Centavos sum = 0;
        Centavos total = 0;
        for (int line = 0; line < lines; ++line) {
            const Centavos price = random.bounded(int(kMaxPrice) + 1);
            sum += price;
            // The plain form of a single price is itself a price text.
            const QString plainPrice = runtime::plainAmount(price, separator);
            const std::optional<Centavos> parsedPrice = runtime::parsePrice(plainPrice);
            if (!parsedPrice || *parsedPrice != price) {
                QFAIL(qPrintable(QStringLiteral("%1 -> \"%2\" parsed as %3")
                                     .arg(price)
                                     .arg(plainPrice, describe(parsedPrice))));
            }
            const QString valueText =
                runtime::rightAlign(runtime::formatFixed2(price, separator), 7);
            total += runtime::parsePrice(valueText).value_or(-1);
        }
        QCOMPARE(total, sum);

        const QString plain = runtime::plainAmount(total, separator);
        QCOMPARE(plain, expectedPlain(sum, separator));

        const std::optional<Centavos> readBack = readPlain(plain, separator);
        QVERIFY2(readBack && *readBack == sum,
                 qPrintable(QStringLiteral("\"%1\" does not read back as %2").arg(plain).arg(sum)));

        if (sum <= kMaxPrice) {
            const std::optional<Centavos> parsed = runtime::parsePrice(plain);
            QVERIFY2(
                parsed && *parsed == sum,
                qPrintable(QStringLiteral("\"%1\" parsed as %2").arg(plain, describe(parsed))));
        }
    }
}

QTEST_MAIN(tst_Amount)
#include "tst_amount.moc"
