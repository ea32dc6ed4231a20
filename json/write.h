// Writing compact JSON: no white space, pure ASCII output.
//
//   ajson_string_stream<> s(1024);
//   lite_write<ajson_string_stream<>> w(s);
//   json_impl<T>::write(w, value);
//
// lite_write::write_str(text, length) writes a JSON string: the text is
// decoded as UTF-8, " \ and the control characters \b \t \n \f \r get their
// short escapes, other characters below U+0020, U+007F and everything from
// U+0080 up are \uXXXX (upper-case hex; beyond U+FFFF a surrogate pair).
// The solidus is not escaped. The text ends at its length or at its first
// zero byte; ill-formed UTF-8 ends it at the first rejected byte, and an
// incomplete sequence at the end writes nothing.
//
// Integers are written in decimal without sign for positives, lists as
// [a,b], records as {"name":value,...} in field-list order (json/record.h).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "json/field_list.h"
#include "json/hints.h"
#include "json/string_stream.h"
#include "json/swar.h"
#include "json/traits.h"

namespace ajson {

template <class Stream>
class lite_write {
public:
    explicit lite_write(Stream& s) noexcept : s_(s) {}

    void put(char c) { s_.put(c); }
    void append(const char* p, std::size_t n) { s_.append(p, n); }
    void write_str(const char* str, std::size_t len);

    // One step of the UTF-8 decoder: state 0 accepts, 1 rejects for good.
    static void decode(unsigned char& state, unsigned int& codep, unsigned char byte) noexcept;

    Stream& stream() noexcept { return s_; }

private:
    void write_code_point(unsigned int cp);
    void write_u_escape(unsigned int unit);

    Stream& s_;
};

namespace detail {

// Byte classes (first 256) and transitions of 9 states by 16 classes.
// clang-format off
inline constexpr unsigned char utf8d[400] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 00..1f
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 20..3f
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 40..5f
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  // 60..7f
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9, 9,  // 80..9f
    7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7, 7,  // a0..bf
    8, 8, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2,  // c0..df
    10, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 3, 4, 3, 3, 11, 6, 6, 6, 5, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, 8, // e0..ff
    0, 1, 2, 3, 5, 8, 7, 1, 1, 1, 4, 6, 1, 1, 1, 1,  // s0
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // s1
    1, 0, 1, 1, 1, 1, 1, 0, 1, 0, 1, 1, 1, 1, 1, 1,  // s2
    1, 2, 1, 1, 1, 1, 1, 2, 1, 2, 1, 1, 1, 1, 1, 1,  // s3
    1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1, 1, 1,  // s4
    1, 2, 1, 1, 1, 1, 1, 1, 1, 2, 1, 1, 1, 1, 1, 1,  // s5
    1, 1, 1, 1, 1, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1,  // s6
    1, 3, 1, 1, 1, 1, 1, 3, 1, 3, 1, 1, 1, 1, 1, 1,  // s7
    1, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,  // s8
};
// clang-format on

inline constexpr const char* hex_table = "0123456789ABCDEF";

// The text of every int from -999 to 999 (most values), in a block of
// four bytes, and its length: stored whole and the length added, no branch.
struct small_numbers {
    char text[1999][4];
    unsigned char length[1999];
};

constexpr small_numbers make_small_numbers() noexcept {
    small_numbers t{};
    for (int v = -999; v <= 999; ++v) {
        const unsigned k = static_cast<unsigned>(v + 999);
        unsigned m = static_cast<unsigned>(v < 0 ? -v : v);
        const unsigned digits = m >= 100 ? 3 : m >= 10 ? 2 : 1;
        const unsigned n = digits + (v < 0 ? 1 : 0);
        for (unsigned i = n; i > n - digits; --i, m /= 10)
            t.text[k][i - 1] = static_cast<char>('0' + m % 10);
        if (v < 0)
            t.text[k][0] = '-';
        t.length[k] = static_cast<unsigned char>(n);
    }
    return t;
}

inline constexpr small_numbers small_number_table = make_small_numbers();

// The decimal text of m, after a '-' when negative, stored at p; returns
// the byte after it. Below 1000 it comes from the table, above that its
// digits are formed eight in one word; either is stored whole, so up to 4
// bytes beyond the text (at most 11 bytes) may be written.
inline char* store_decimal(char* p, std::uint32_t m, bool negative) noexcept {
    if (m < 1000) {
        const unsigned k = negative ? 999 - m : 999 + m;
        std::memcpy(p, small_number_table.text[k], 4);
        return p + small_number_table.length[k];
    }
    *p = '-';
    p += negative ? 1 : 0;
    if (m >= 100000000u) {
        const std::uint32_t top = m / 100000000u; // 1 to 42
        m %= 100000000u;
        std::memcpy(p, small_number_table.text[999 + top], 2);
        p += small_number_table.length[999 + top];
        store_word(p, eight_digits(m) + 0x3030303030303030u);
        return p + 8;
    }
    const std::uint64_t digits = eight_digits(m);
    // Leading zero digits are the low zero bytes.
    const unsigned zeros = lowest_bit(digits) / 8;
    store_word(p, (digits + 0x3030303030303030u) >> (8 * zeros));
    return p + (8 - zeros);
}

AJSON_COLD AJSON_NOINLINE inline char* store_large_int(char* p, int v) noexcept {
    const bool negative = v < 0;
    const auto u = static_cast<std::uint32_t>(v);
    return store_decimal(p, negative ? 0u - u : u, negative);
}

AJSON_ALWAYS_INLINE inline char* store_int(char* p, int v) noexcept {
    const std::uint32_t k = static_cast<std::uint32_t>(v) + 999u;
    if (AJSON_LIKELY(k < 1999u)) {
        std::memcpy(p, small_number_table.text[k], 4);
        return p + small_number_table.length[k];
    }
    return store_large_int(p, v);
}

template <class W>
inline void write_decimal(W& w, std::uint32_t m, bool negative) {
    char text[24];
    w.append(text, static_cast<std::size_t>(store_decimal(text, m, negative) - text));
}

} // namespace detail

template <class Stream>
inline void lite_write<Stream>::decode(unsigned char& state, unsigned int& codep,
                                       unsigned char byte) noexcept {
    const unsigned int type = detail::utf8d[byte];
    codep = state != 0 ? (byte & 0x3Fu) | (codep << 6) : (0xFFu >> type) & byte;
    state = detail::utf8d[256 + state * 16 + type];
}

template <class Stream>
inline void lite_write<Stream>::write_u_escape(unsigned int unit) {
    const char esc[6] = {'\\',
                         'u',
                         detail::hex_table[(unit >> 12) & 0xF],
                         detail::hex_table[(unit >> 8) & 0xF],
                         detail::hex_table[(unit >> 4) & 0xF],
                         detail::hex_table[unit & 0xF]};
    s_.append(esc, 6);
}

template <class Stream>
inline void lite_write<Stream>::write_code_point(unsigned int cp) {
    switch (cp) {
    case 0x22: s_.append("\\\"", 2); return;
    case 0x5C: s_.append("\\\\", 2); return;
    case 0x08: s_.append("\\b", 2); return;
    case 0x09: s_.append("\\t", 2); return;
    case 0x0A: s_.append("\\n", 2); return;
    case 0x0C: s_.append("\\f", 2); return;
    case 0x0D: s_.append("\\r", 2); return;
    default: break;
    }
    if (cp >= 0x20 && cp <= 0x7E) {
        s_.put(static_cast<char>(cp));
    } else if (cp < 0x10000) {
        write_u_escape(cp);
    } else {
        write_u_escape(0xD800 + ((cp - 0x10000) >> 10));
        write_u_escape(0xDC00 + ((cp - 0x10000) & 0x3FF));
    }
}

template <class Stream>
inline void lite_write<Stream>::write_str(const char* str, std::size_t len) {
    s_.put('"');
    const auto* p = reinterpret_cast<const unsigned char*>(str);
    const auto* const end = p + len;
    const unsigned char* run = p; // printable ASCII not yet written
    unsigned char state = 0;
    unsigned int codep = 0;
    for (; p < end; ++p) {
        const unsigned char b = *p;
        if (state == 0 && detail::is_plain_ascii(b))
            continue;
        if (run != p)
            s_.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
        run = p + 1;
        if (b == 0)
            break;
        decode(state, codep, b);
        if (state == 0)
            write_code_point(codep);
        else if (state == 1)
            break; // rejected: this byte and all after it write nothing
    }
    if (run < p)
        s_.append(reinterpret_cast<const char*>(run), static_cast<std::size_t>(p - run));
    s_.put('"');
}

template <class W>
inline void json_impl<int>::write(W& w, const int& v) {
    const bool negative = v < 0;
    const std::uint32_t m =
        negative ? 0u - static_cast<std::uint32_t>(v) : static_cast<std::uint32_t>(v);
    detail::write_decimal(w, m, negative);
}

template <class W>
inline void json_impl<std::uint32_t>::write(W& w, const std::uint32_t& v) {
    detail::write_decimal(w, v, false);
}

template <class W>
inline void json_impl<std::uint16_t>::write(W& w, const std::uint16_t& v) {
    detail::write_decimal(w, v, false);
}

template <class W>
inline void json_impl<std::string>::write(W& w, const std::string& v) {
    w.write_str(v.data(), v.size());
}

template <class T, class A>
template <class W>
inline void json_impl<std::vector<T, A>>::write(W& w, const std::vector<T, A>& v) {
    w.put('[');
    const std::size_t n = v.size();
    for (std::size_t i = 0; i < n; ++i) {
        if (i != 0)
            w.put(',');
        json_impl<T>::write(w, v[i]);
    }
    w.put(']');
}

} // namespace ajson
