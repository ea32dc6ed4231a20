// Reading in place: the fast paths of the typed readers look at the text
// itself, eight characters at a time, where it has the compact form the
// writer produces ("name":value with nothing between). They only ever read.
// At the first character they do not expect they hand back to the tokenizer
// (reader::continue_at) at a place from which the plain rules give what
// they would have given from the start, so the two ways always agree.
//
//   same_bytes<N>(p, k)       N characters at p equal those at k
//   plain_integer_at(rd, p)   '-'? digits, then ',' or '}': its magnitude
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

#include "json/hints.h"
#include "json/reader.h"
#include "json/swar.h"

namespace ajson {
namespace detail {

// The N characters at p are those at k. N is a constant and k a constant
// text, so the comparison is a few word compares with the words of k folded
// in; the last word overlaps the one before it rather than reading past N.
template <std::size_t N>
inline bool same_bytes(const char* p, const char* k) noexcept {
    if constexpr (N >= 8) {
        std::uint64_t diff = 0;
        for (std::size_t i = 0; i + 8 <= N; i += 8)
            diff |= load_word(p + i) ^ load_word(k + i);
        if constexpr (N % 8 != 0)
            diff |= load_word(p + N - 8) ^ load_word(k + N - 8);
        return diff == 0;
    } else if constexpr (N >= 4) {
        return ((load_half(p) ^ load_half(k)) | (load_half(p + N - 4) ^ load_half(k + N - 4))) == 0;
    } else {
        return std::memcmp(p, k, N) == 0;
    }
}

inline constexpr std::uint64_t powers_of_ten[8] = {1,      10,      100,      1000,
                                                   10000u, 100000u, 1000000u, 10000000u};

// A run of digits: its value and how many there are.
struct digit_run {
    std::uint64_t value;
    unsigned count;
};

// The digits at d when fewer than 16 characters are left in the text: one
// character at a time, the NUL stops them.
AJSON_COLD AJSON_NOINLINE inline digit_run digits_near_end(const char* d) noexcept {
    digit_run r{0, 0};
    while (r.count < 16 && d[r.count] >= '0' && d[r.count] <= '9') {
        r.value = r.value * 10u + static_cast<std::uint64_t>(d[r.count] - '0');
        ++r.count;
    }
    return r;
}

// Nine to sixteen digits: eight in w, the rest in the next word.
AJSON_COLD AJSON_NOINLINE inline digit_run long_digits(const char* d, std::uint64_t w) noexcept {
    const std::uint64_t w2 = load_word(d + 8);
    const std::uint64_t nd2 = non_digits(w2);
    if (nd2 == 0)
        return {0, 16};
    const unsigned n2 = lowest_bit(nd2) / 8;
    std::uint64_t m = digits_value(w, 8);
    if (n2 != 0)
        m = m * powers_of_ten[n2] + digits_value(w2, n2);
    return {m, 8 + n2};
}

struct plain_int {
    const char* end; // the ',' or '}' after the digits, or null: not a plain integer
    std::uint64_t magnitude;
    bool negative;
};

// The number at p when the tokenizer would read it as an integer token
// (kind 1 or 2) that nothing follows but ',' or '}': '-'? and 1 to 15
// digits. Its magnitude is exact, so its low 64 bits are the tokenizer's
// wrapping sum. Longer numbers, fractions and the rest are left to scanning.
AJSON_ALWAYS_INLINE inline plain_int plain_integer_at(const reader& rd, const char* p) noexcept {
    const bool negative = *p == '-';
    const char* const d = p + (negative ? 1 : 0);
    digit_run r;
    if (AJSON_LIKELY(rd.readable(d, 16))) {
        const std::uint64_t w = load_word(d);
        const std::uint64_t nd = non_digits(w);
        if (AJSON_LIKELY(nd != 0)) {
            r.count = lowest_bit(nd) / 8;
            if (r.count == 0)
                return {nullptr, 0, false};
            r.value = AJSON_LIKELY(r.count <= 4) ? short_digits_value(w, r.count)
                                                 : digits_value(w, r.count);
        } else {
            r = long_digits(d, w);
        }
    } else {
        r = digits_near_end(d);
    }
    const char* const end = d + r.count;
    if (r.count == 0 || r.count == 16 || (*end != ',' && *end != '}'))
        return {nullptr, 0, false};
    return {end, r.value, negative};
}

} // namespace detail
} // namespace ajson
