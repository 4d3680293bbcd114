// libFuzzer target over the money functions of runtime/amount.h.
//
// Every input is read as UTF-8 and, when its size is even, also as UTF-16
// (so non-ASCII digits, odd white space, lone surrogates etc. reach the
// readers). For each text:
//   - parsePrice: an accepted price must lie in 0..kMaxPrice, and for both
//     separators ',' and '.' it must survive the round trips
//       parsePrice(rightAlign(formatFixed2(v, sep), 7)) == v,
//       parsePrice(formatFixed2(v, sep)) == v,
//       parsePrice(plainAmount(v, sep)) == v;
//   - rightAlign with widths taken from the input (also negative ones): no
//     crash, and the length it promises;
//   - the text split at ';' and '\n' into several prices, the accepted ones
//     summed: the sum is >= 0 and its plain form reads back to the sum.
// Any mismatch calls abort(), so libFuzzer reports and saves the input.
//
// Build (clang only; amount.cpp is compiled into the target with coverage):
//   CC=clang CXX=clang++ cmake -S . -B /tmp/b-fuzz -DMORVESTA_FUZZ=ON \
//       -DCMAKE_BUILD_TYPE=RelWithDebInfo
//   cmake --build /tmp/b-fuzz --target fuzz_amount -j2
// Run (on a scratch copy of the seeds, one process):
//   cp -r tests/fuzz/corpus /tmp/fuzz-corpus
//   /tmp/b-fuzz/tests/fuzz/fuzz_amount -max_total_time=660 -max_len=64 /tmp/fuzz-corpus
// Reproduce a saved input:
//   /tmp/b-fuzz/tests/fuzz/fuzz_amount crash-<sha1>

#include "runtime/amount.h"

#include <QList>
#include <QString>
#include <QStringView>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>

using runtime::Centavos;
using runtime::kMaxPrice;

namespace {

[[noreturn]] void fail(const char *what, const QString &text, Centavos a, Centavos b)
{
    std::fprintf(stderr, "fuzz_amount: %s\n  text: \"%s\"\n  values: %lld / %lld\n", what,
                 text.toUtf8().constData(), static_cast<long long>(a), static_cast<long long>(b));
    std::abort();
}

void check(bool ok, const char *what, const QString &text, Centavos a = 0, Centavos b = 0)
{
    if (!ok)
        fail(what, text, a, b);
}

// The round trips an amount must survive with the given separator.
void checkRoundTrip(Centavos v, QStringView sep, const QString &text)
{
    const QString fixed = runtime::formatFixed2(v, sep);
    check(fixed.size() >= 1 + sep.size() + 2, "formatFixed2 too short", fixed, v);
    check(fixed.mid(fixed.size() - 2 - sep.size(), sep.size()) == sep,
          "formatFixed2 separator not before two decimals", fixed, v);

    if (v <= kMaxPrice) {
        const std::optional<Centavos> reparsed = runtime::parsePrice(fixed);
        check(reparsed.has_value(), "parsePrice(formatFixed2) rejected", fixed, v);
        check(*reparsed == v, "parsePrice(formatFixed2) != v", fixed, v, *reparsed);
        const Centavos back = runtime::parsePrice(runtime::rightAlign(fixed, 7)).value_or(-1);
        check(back == v, "parsePrice(rightAlign(formatFixed2)) != v", text, v, back);
    }

    const QString plain = runtime::plainAmount(v, sep);
    check(!plain.isEmpty() && !plain.startsWith(u'-'), "plainAmount empty or negative", plain, v);
    check(!plain.contains(sep) || !plain.endsWith(u'0'), "plainAmount trailing zero", plain, v);
    if (v <= kMaxPrice) {
        const std::optional<Centavos> fromPlain = runtime::parsePrice(plain);
        check(fromPlain.has_value(), "parsePrice(plainAmount) rejected", plain, v);
        check(*fromPlain == v, "parsePrice(plainAmount) != v", plain, v, *fromPlain);
    }
}

void fuzzText(const QString &text, int widthByte)
{
    // parsePrice and its round trips.
    const std::optional<Centavos> price = runtime::parsePrice(text);
    if (price) {
        check(*price >= 0 && *price <= kMaxPrice, "parsePrice out of range", text, *price);
        checkRoundTrip(*price, u",", text);
        checkRoundTrip(*price, u".", text);
    }

    // rightAlign with widths from -8 to 71.
    const qsizetype n = widthByte % 80 - 8;
    const QString aligned = runtime::rightAlign(text, n);
    check(aligned.size() == std::max(text.size(), n) && aligned.endsWith(text), "rightAlign length",
          text, aligned.size(), n);

    // Several prices in one text, as an order's lines: sum the accepted ones.
    Centavos total = 0;
    for (QStringView piece : QStringView(text).split(u';')) {
        for (QStringView line : piece.split(u'\n')) {
            if (const std::optional<Centavos> p = runtime::parsePrice(line)) {
                check(*p >= 0 && *p <= kMaxPrice, "parsePrice(piece) out of range", text, *p);
                total += *p;
            }
        }
    }
    check(total >= 0, "total negative", text, total);
    for (QStringView sep : {QStringView(u","), QStringView(u".")}) {
        const QString plain = runtime::plainAmount(total, sep);
        check(!plain.isEmpty() && !plain.startsWith(u'-'), "plainAmount(total) negative", text,
              total);
        if (total <= kMaxPrice) {
            const std::optional<Centavos> back = runtime::parsePrice(plain);
            check(back && *back == total, "parsePrice(plainAmount(total)) != total", plain, total,
                  back.value_or(-1));
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const int widthByte = size > 0 ? data[0] : 15;

    fuzzText(QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size)), widthByte);

    if (size % 2 == 0 && size > 0) {
        // Copy instead of casting: the fuzzer's buffer need not be 2-aligned.
        QString utf16(qsizetype(size / 2), Qt::Uninitialized);
        std::memcpy(utf16.data(), data, size);
        fuzzText(utf16, widthByte);
    }
    return 0;
}
