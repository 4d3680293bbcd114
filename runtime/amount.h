#pragma once

// Money in this program is counted in whole centavos (an integer) from the
// moment a price text is read until the total is shown, so no amount ever
// carries a binary floating-point residue.
//
// The texts follow the counter's conventions:
//   - price texts in the price lists: "     5.90" (catalogue) or whatever the
//     operator typed ("7,50", "7.50", "12");
//   - value texts of an order line: "0.00" with the regional decimal
//     separator, right-aligned to seven characters ("   5,90");
//   - the total: the plain form, no trailing zeros ("5,9", "19", "0").
// Every function takes the decimal separator as an argument; only
// decimalSeparator() looks at the regional settings.

#include <QString>
#include <QStringView>

#include <cstdint>
#include <optional>

namespace runtime {

using Centavos = std::int64_t;

// The dearest price a pizza may have: 99 999,99.
inline constexpr Centavos kMaxPrice = 9'999'999;

// The decimal separator of the regional settings (QLocale()).
QString decimalSeparator();

// Reads a price the way an operator writes it: digits with at most one
// decimal separator, either ',' or '.', and at most two decimals;
// surrounding white space is skipped. An empty text is 0. Anything else
// (signs, exponents, letters, grouping, a third decimal, more than
// kMaxPrice) is not a price: "1.234" is not guessed to be 1,23.
std::optional<Centavos> parsePrice(QStringView text);

// "0.00": at least one digit, the separator, exactly two decimals, no grouping.
QString formatFixed2(Centavos amount, QStringView separator);

// Right-aligns text in n characters with leading spaces; a longer text comes
// back whole.
QString rightAlign(const QString &text, qsizetype n);

// The plain form of an amount: no trailing zeros and no separator for a
// whole number ("0", "5,9", "21,4", "19", "59").
QString plainAmount(Centavos amount, QStringView separator);

} // namespace runtime
