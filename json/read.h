// Typed reading: each reader is entered on the first token of its value and
// leaves the reader on the token after it. Failures raise through
// reader::error, so their texts carry the position.
//
//   int            numbers wrap to their low 32 bits, fractions are cut toward
//                  zero and saturate at +-2147483647, true (any case) is 1,
//                  other words and strings are read like strtoll ("12" is 12)
//   uint32/uint16  the same for unsigned members, cut to the member's width;
//                  negative numbers are errors, the text "-1" is not
//   std::string    quoted string or bare word, escapes decoded by escape_string
//   std::vector<T> a JSON array, elements appended to what the vector holds
//
// escape_string(out, text, length) decodes \" \\ \/ \b \f \n \r \t and
// \uXXXX (surrogate pairs combined, lone halves kept as three bytes); it
// returns false on any other escape or on \u0000.
#pragma once

#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "json/field_list.h"
#include "json/reader.h"
#include "json/traits.h"

namespace ajson {

bool escape_string(std::string& out, const char* text, unsigned long len);

namespace detail {

// An int from an integer token's magnitude and sign: its low 32 bits,
// negated in two's complement when negative.
constexpr int int_of_integer(std::uint64_t magnitude, bool negative) noexcept {
    const auto low = static_cast<std::uint32_t>(magnitude);
    return static_cast<int>(negative ? 0u - low : low);
}

// Exactly four characters that spell true in any letter case.
inline bool is_true_text(const string_ref& t) noexcept {
    return t.len == 4 && (t.str[0] | 0x20) == 't' && (t.str[1] | 0x20) == 'r' &&
           (t.str[2] | 0x20) == 'u' && (t.str[3] | 0x20) == 'e';
}

struct parsed_integer {
    std::uint64_t magnitude = 0;
    bool negative = false;
    bool overflow = false;
};

// The common front of strtoll and strtoull in base 10, limited to the view:
// white space, an optional sign, then digits up to the first other character.
inline parsed_integer parse_integer_text(const string_ref& t) noexcept {
    parsed_integer r;
    const char* p = t.str;
    const char* end = t.str + t.len;
    while (p < end && (*p == ' ' || (*p >= '\t' && *p <= '\r')))
        ++p;
    if (p < end && (*p == '+' || *p == '-')) {
        r.negative = *p == '-';
        ++p;
    }
    constexpr std::uint64_t max = std::numeric_limits<std::uint64_t>::max();
    for (; p < end && *p >= '0' && *p <= '9'; ++p) {
        const auto d = static_cast<std::uint64_t>(*p - '0');
        if (r.magnitude > (max - d) / 10u)
            r.overflow = true;
        else
            r.magnitude = r.magnitude * 10u + d;
    }
    return r;
}

// strtoll: saturates at the signed 64-bit limits.
inline std::uint64_t text_to_i64_bits(const string_ref& t) noexcept {
    const parsed_integer r = parse_integer_text(t);
    constexpr std::uint64_t pos_max = std::uint64_t(std::numeric_limits<std::int64_t>::max());
    if (!r.negative)
        return r.overflow || r.magnitude > pos_max ? pos_max : r.magnitude;
    if (r.overflow || r.magnitude > pos_max + 1)
        return pos_max + 1; // INT64_MIN
    return 0u - r.magnitude;
}

// strtoull: saturates at the unsigned limit; a '-' negates modulo 2^64.
inline std::uint64_t text_to_u64(const string_ref& t) noexcept {
    const parsed_integer r = parse_integer_text(t);
    if (r.overflow)
        return std::numeric_limits<std::uint64_t>::max();
    return r.negative ? 0u - r.magnitude : r.magnitude;
}

template <class U>
inline void read_unsigned(reader& rd, U& v) {
    const token& t = rd.current();
    switch (t.kind) {
    case token::unsigned_int: v = static_cast<U>(t.value.u64); break;
    case token::floating: {
        if (t.negative)
            rd.error("assign a negative float point to unsigned integral number.");
        const double d = t.value.d64;
        std::uint32_t u = 0;
        if (d >= 4294967295.0)
            u = 4294967295u;
        else if (d > 0.0)
            u = static_cast<std::uint32_t>(d);
        v = static_cast<U>(u);
        break;
    }
    case token::string:
        v = is_true_text(t.text) ? U(1) : static_cast<U>(text_to_u64(t.text));
        break;
    case token::signed_int:
        rd.error("assign a negative signed integral to unsigned integral number.");
    default: rd.error("not a valid unsigned integral like number.");
    }
    rd.next();
}

// At most four bytes; an escape of six bytes or more gave the code point,
// so there is room where the escaped text was.
inline char* store_utf8(char* o, std::uint32_t cp) noexcept {
    if (cp < 0x80) {
        *o++ = static_cast<char>(cp);
    } else if (cp < 0x800) {
        *o++ = static_cast<char>(0xC0 | (cp >> 6));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        *o++ = static_cast<char>(0xE0 | (cp >> 12));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        *o++ = static_cast<char>(0xF0 | (cp >> 18));
        *o++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        *o++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        *o++ = static_cast<char>(0x80 | (cp & 0x3F));
    }
    return o;
}

// Four hexadecimal digits at p, most significant first.
inline bool read_hex4(const char* p, const char* end, std::uint32_t& cp) noexcept {
    if (end - p < 4)
        return false;
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        const auto c = static_cast<unsigned char>(p[i]);
        if (c > 'f' || char_table()[c] > 15)
            return false;
        v = (v << 4) | char_table()[c];
    }
    cp = v;
    return true;
}

} // namespace detail

// The decoded text is never longer than the escaped one, so it is written
// straight into out, sized to the whole token once, and cut to what was
// decoded at the end, on failure too.
inline bool escape_string(std::string& out, const char* text, unsigned long len) {
    out.clear();
    if (len == 0)
        return true;
    out.resize(len);
    char* const first = &out[0];
    char* o = first;
    const char* p = text;
    const char* const end = text + len;
    const auto done = [&](bool ok) {
        out.resize(static_cast<std::size_t>(o - first));
        return ok;
    };
    while (p < end) {
        const auto* bs =
            static_cast<const char*>(std::memchr(p, '\\', static_cast<std::size_t>(end - p)));
        const std::size_t run = static_cast<std::size_t>((bs ? bs : end) - p);
        std::memcpy(o, p, run);
        o += run;
        if (bs == nullptr)
            break;
        p = bs + 1;
        if (p == end)
            return done(false);
        switch (*p++) {
        case '"': *o++ = '"'; break;
        case '\\': *o++ = '\\'; break;
        case '/': *o++ = '/'; break;
        case 'b': *o++ = '\b'; break;
        case 'f': *o++ = '\f'; break;
        case 'n': *o++ = '\n'; break;
        case 'r': *o++ = '\r'; break;
        case 't': *o++ = '\t'; break;
        case 'u': {
            std::uint32_t cp = 0;
            if (!detail::read_hex4(p, end, cp) || cp == 0)
                return done(false);
            p += 4;
            std::uint32_t low = 0;
            if (cp >= 0xD800 && cp <= 0xDBFF && end - p >= 6 && p[0] == '\\' && p[1] == 'u' &&
                detail::read_hex4(p + 2, end, low) && low >= 0xDC00 && low <= 0xDFFF) {
                cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
                p += 6;
            }
            o = detail::store_utf8(o, cp);
            break;
        }
        default: return done(false);
        }
    }
    return done(true);
}

inline void json_impl<int>::read(reader& rd, int& v) {
    const token& t = rd.current();
    switch (t.kind) {
    case token::unsigned_int:
    case token::signed_int: v = detail::int_of_integer(t.value.u64, t.negative); break;
    case token::floating: {
        const double d = t.value.d64;
        std::int32_t m;
        if (d >= 2147483647.0)
            m = 2147483647;
        else if (d <= -2147483648.0)
            m = std::numeric_limits<std::int32_t>::min();
        else
            m = static_cast<std::int32_t>(d);
        v = t.negative ? static_cast<int>(0u - static_cast<std::uint32_t>(m)) : m;
        break;
    }
    case token::string:
        v = detail::is_true_text(t.text)
                ? 1
                : static_cast<int>(static_cast<std::uint32_t>(detail::text_to_i64_bits(t.text)));
        break;
    default: rd.error("not a valid signed integral like number.");
    }
    rd.next();
}

inline void json_impl<std::uint32_t>::read(reader& rd, std::uint32_t& v) {
    detail::read_unsigned(rd, v);
}

inline void json_impl<std::uint16_t>::read(reader& rd, std::uint16_t& v) {
    detail::read_unsigned(rd, v);
}

inline void json_impl<std::string>::read(reader& rd, std::string& v) {
    const token& t = rd.current();
    if (t.kind != token::string ||
        !escape_string(v, t.text.str, static_cast<unsigned long>(t.text.len)))
        rd.error("not a valid string.");
    rd.next();
}

namespace detail {

enum class list_at { element, after_element, done };

// From just past '[' or ',': records in compact form are read in place one
// after the other; the result says where scanning goes on, its token current.
template <class T, class A>
inline list_at elements_in_place(reader& rd, std::vector<T, A>& v) {
    if constexpr (is_record<T>::value) {
        if (rd.in_place()) {
            const char* p = rd.here();
            while (*p == '{') {
                // Appended before it is read, so a failing element stays with what it got.
                v.emplace_back();
                const char* end = read_object_at<json_impl<T>>(rd, p + 1, v.back());
                if (end == nullptr)
                    return list_at::after_element;
                if (*end == ',') {
                    p = end + 1;
                    continue;
                }
                if (*end == ']') {
                    rd.continue_at(end + 1);
                    return list_at::done;
                }
                rd.continue_at(end);
                return list_at::after_element;
            }
            rd.continue_at(p);
            return list_at::element;
        }
    }
    rd.next();
    return list_at::element;
}

} // namespace detail

template <class T, class A>
inline void json_impl<std::vector<T, A>>::read(reader& rd, std::vector<T, A>& v) {
    const token& t = rd.current();
    if (*t.text.str != '[')
        rd.error("array must start with [.");
    for (detail::list_at at = detail::elements_in_place(rd, v);;
         at = detail::elements_in_place(rd, v)) {
        if (at == detail::list_at::done)
            return;
        if (at == detail::list_at::element) {
            if (*t.text.str == ']')
                break;
            v.emplace_back();
            json_impl<T>::read(rd, v.back());
        }
        const char c = *t.text.str;
        if (c == ']')
            break;
        if (c != ',')
            rd.error("no valid array!");
    }
    rd.next();
}

} // namespace ajson
