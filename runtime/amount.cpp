#include "amount.h"

#include "text.h"

#include <QLocale>

namespace runtime {

namespace {

int digitValue(QChar c)
{
    return c.unicode() - u'0';
}

// Whole parts are capped here while reading, so that an absurdly long run of
// digits can neither overflow nor pass as a small number.
constexpr Centavos kWholeCap = 1'000'000'000'000'000; // 10^15

} // namespace

QString decimalSeparator()
{
    return QLocale().decimalPoint();
}

std::optional<Centavos> parsePrice(QStringView text)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return 0;

    qsizetype i = 0;
    Centavos whole = 0;
    bool anyDigit = false;
    for (; i < t.size() && isAsciiDigit(t[i]); ++i) {
        anyDigit = true;
        whole = std::min(whole * 10 + digitValue(t[i]), kWholeCap);
    }

    Centavos cents = 0;
    if (i < t.size() && (t[i] == u',' || t[i] == u'.')) {
        ++i;
        int decimals = 0;
        for (; i < t.size() && decimals < 2 && isAsciiDigit(t[i]); ++i, ++decimals) {
            anyDigit = true;
            cents = cents * 10 + digitValue(t[i]);
        }
        if (decimals == 1) // "7,5" is 7,50
            cents *= 10;
    }

    // A third decimal stops the reading here and so refuses the text.
    if (i != t.size() || !anyDigit)
        return std::nullopt;

    const Centavos amount = whole * 100 + cents;
    if (amount > kMaxPrice)
        return std::nullopt;
    return amount;
}

QString formatFixed2(Centavos amount, QStringView separator)
{
    QString text;
    if (amount < 0) {
        text += u'-';
        amount = -amount;
    }
    const Centavos cents = amount % 100;
    text += QString::number(amount / 100);
    text += separator;
    text += QChar(u'0' + int(cents / 10));
    text += QChar(u'0' + int(cents % 10));
    return text;
}

QString rightAlign(const QString &text, qsizetype n)
{
    if (text.size() >= n)
        return text;
    return QString(n - text.size(), u' ') + text;
}

QString plainAmount(Centavos amount, QStringView separator)
{
    QString text;
    if (amount < 0) {
        text += u'-';
        amount = -amount;
    }
    text += QString::number(amount / 100);
    const Centavos cents = amount % 100;
    if (cents != 0) {
        text += separator;
        text += QChar(u'0' + int(cents / 10));
        if (cents % 10 != 0)
            text += QChar(u'0' + int(cents % 10));
    }
    return text;
}

} // namespace runtime
