// Field lists: a record's member names, split once from its field-list
// string ("R, G, B" gives R, G and B) into views of that string.
//
//   split_fields(const char*)  -> std::vector<string_ref>, one view per name
//   char_table()               -> 103-byte table: hex digit values 0..15,
//                                 17 for field-list white space, 16 otherwise
//   count_fields / fields_unique -> the same walk at compile time, so a
//                                 record declaration can be checked
//   make_key_table             -> {"a": ,"b": ... at compile time: the text
//                                 around a record's values in compact form
#pragma once

#include <cstddef>
#include <vector>

#include "json/string_ref.h"

namespace ajson {
namespace detail {

struct char_table_data {
    // clang-format off
    static constexpr unsigned char table[103] = {
        16, 16, 16, 16, 16, 16, 16, 16, 16, 17, 17, 16, 17, 17, 16, 16,  // 0x00 tab LF FF CR
        16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x10
        17, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x20 space
        0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  16, 16, 16, 16, 16, 16,  // '0'..'9'
        16, 10, 11, 12, 13, 14, 15, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 'A'..'F'
        16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16, 16,  // 0x50
        16, 10, 11, 12, 13, 14, 15,                                      // 'a'..'f'
    };
    // clang-format on
};

// Indexed by character codes 0 to 'f'; callers check the range first.
constexpr const unsigned char* char_table() noexcept {
    return char_table_data::table;
}

constexpr bool is_field_separator(char c) noexcept {
    return c == ',' || (static_cast<unsigned char>(c) <= 'f' &&
                        char_table()[static_cast<unsigned char>(c)] == 17);
}

// The walk over a field-list string that everything here shares. Names are
// the maximal runs of characters that are neither ',' nor white space;
// separators never make names of their own.
//
//   for (field_name f = first_name(list); f.len != 0; f = next_name(f)) ...
struct field_name {
    const char* str;
    std::size_t len; // 0: no more names
};

constexpr field_name first_name(const char* p) noexcept {
    while (*p != '\0' && is_field_separator(*p))
        ++p;
    std::size_t n = 0;
    while (p[n] != '\0' && !is_field_separator(p[n]))
        ++n;
    return {p, n};
}

constexpr field_name next_name(const field_name& f) noexcept {
    return first_name(f.str + f.len);
}

inline std::vector<string_ref> split_fields(const char* list) {
    std::vector<string_ref> names;
    for (field_name f = first_name(list); f.len != 0; f = next_name(f))
        names.emplace_back(f.str, static_cast<std::uint64_t>(f.len));
    return names;
}

constexpr std::size_t count_fields(const char* list) noexcept {
    std::size_t n = 0;
    for (field_name f = first_name(list); f.len != 0; f = next_name(f))
        ++n;
    return n;
}

constexpr bool same_name(const field_name& a, const field_name& b) noexcept {
    if (a.len != b.len)
        return false;
    for (std::size_t i = 0; i < a.len; ++i)
        if (a.str[i] != b.str[i])
            return false;
    return true;
}

// No name occurs twice, so a key matches at most one member.
constexpr bool fields_unique(const char* list) noexcept {
    for (field_name a = first_name(list); a.len != 0; a = next_name(a))
        for (field_name b = next_name(a); b.len != 0; b = next_name(b))
            if (same_name(a, b))
                return false;
    return true;
}

// A character that stands for itself between quotation marks: printable
// ASCII but the quotation mark and the backslash.
constexpr bool is_plain_ascii(unsigned char c) noexcept {
    return c >= 0x20 && c < 0x7F && c != '"' && c != '\\';
}

// The characters of all fragments: each name with the '{' or ',' before it,
// its two quotation marks and its colon.
constexpr std::size_t key_table_bytes(const char* list) noexcept {
    std::size_t n = 0;
    for (field_name f = first_name(list); f.len != 0; f = next_name(f))
        n += f.len + 4;
    return n;
}

// The compact text around a record's values, made at compile time from
// its field-list string: {"first": then ,"next": and so on, one after the
// other in text, fragment k from begin[k] to begin[k + 1]. Without its
// first character a fragment is the key as compact text holds it. `plain`
// is false when the writer would escape a character of some name: it then
// writes that record's names with write_str instead.
template <std::size_t Count, std::size_t Bytes>
struct key_table {
    char text[Bytes + 1] = {};
    std::size_t begin[Count + 1] = {};
    bool plain = true;

    constexpr const char* fragment(std::size_t k) const noexcept { return text + begin[k]; }
    constexpr std::size_t fragment_length(std::size_t k) const noexcept {
        return begin[k + 1] - begin[k];
    }
    constexpr const char* key(std::size_t k) const noexcept { return fragment(k) + 1; }
    constexpr std::size_t key_length(std::size_t k) const noexcept {
        return fragment_length(k) - 1;
    }
};

template <std::size_t Count, std::size_t Bytes>
constexpr key_table<Count, Bytes> make_key_table(const char* list) noexcept {
    key_table<Count, Bytes> t{};
    std::size_t at = 0;
    std::size_t k = 0;
    for (field_name f = first_name(list); f.len != 0; f = next_name(f), ++k) {
        t.begin[k] = at;
        t.text[at++] = k == 0 ? '{' : ',';
        t.text[at++] = '"';
        for (std::size_t i = 0; i < f.len; ++i) {
            t.plain = t.plain && is_plain_ascii(static_cast<unsigned char>(f.str[i]));
            t.text[at++] = f.str[i];
        }
        t.text[at++] = '"';
        t.text[at++] = ':';
    }
    t.begin[k] = at;
    return t;
}

} // namespace detail
} // namespace ajson
