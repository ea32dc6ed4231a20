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

struct plain_int {
    const char* end; // the ',' or '}' after the digits
    std::uint64_t magnitude;
    bool negative;
};

// The digits at d when fewer than 16 characters are left in the text: one
// character at a time, the NUL stops them.
AJSON_COLD AJSON_NOINLINE inline unsigned digits_near_end(const char* d,
                                                          std::uint64_t& m) noexcept {
    unsigned n = 0;
    while (n < 16 && d[n] >= '0' && d[n] <= '9') {
        m = m * 10u + static_cast<std::uint64_t>(d[n] - '0');
        ++n;
    }
    return n;
}

// Nine to sixteen digits: eight in w, the rest in the next word.
AJSON_COLD AJSON_NOINLINE inline unsigned long_digits(const char* d, std::uint64_t w,
                                                      std::uint64_t& m) noexcept {
    const std::uint64_t w2 = load_word(d + 8);
    const std::uint64_t nd2 = non_digits(w2);
    if (nd2 == 0)
        return 16;
    const unsigned n2 = lowest_bit(nd2) / 8;
    m = digits_value(w, 8);
    if (n2 != 0)
        m = m * powers_of_ten[n2] + digits_value(w2, n2);
    return 8 + n2;
}

// The number at p when the tokenizer would read it as an integer token
// (kind 1 or 2) that nothing follows but ',' or '}': '-'? and 1 to 15
// digits. Its magnitude is exact, so its low 64 bits are the tokenizer's
// wrapping sum. Longer numbers, fractions and the rest are left to scanning.
AJSON_ALWAYS_INLINE inline bool plain_integer_at(const reader& rd, const char* p,
                                                 plain_int& out) noexcept {
    const bool negative = *p == '-';
    const char* const d = p + (negative ? 1 : 0);
    std::uint64_t m = 0;
    unsigned n;
    if (AJSON_LIKELY(rd.readable(d, 16))) {
        const std::uint64_t w = load_word(d);
        const std::uint64_t nd = non_digits(w);
        if (AJSON_LIKELY(nd != 0)) {
            n = lowest_bit(nd) / 8;
            if (n == 0)
                return false;
            m = AJSON_LIKELY(n <= 4) ? short_digits_value(w, n) : digits_value(w, n);
        } else {
            n = long_digits(d, w, m);
        }
    } else {
        n = digits_near_end(d, m);
    }
    if (n == 0 || n == 16 || (d[n] != ',' && d[n] != '}'))
        return false;
    out = plain_int{d + n, m, negative};
    return true;
}

} // namespace detail
} // namespace ajson
