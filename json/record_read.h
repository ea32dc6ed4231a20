// Reading a record: the keys of a JSON object are matched against the
// record's names and each value goes to its member's reader.
//
// One object can be read two ways, and both end alike:
//   scanning  token by token by the plain rules: keys in any order, unknown
//             ones skipped, every error with its position;
//   in place  while the text has the writer's compact form with the keys in
//             list order, each "name": is compared as one block and int and
//             unsigned values are converted straight from the text
//             (json/in_place.h), nested records likewise.
// In place is tried first whenever the reader has no limit. At the first
// character it does not expect it hands over to scanning, which stands
// there as if it had read everything before itself; after every ',' between
// members scanning tries in place again.
#pragma once

#include <cstddef>
#include <cstdint>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "json/field_list.h"
#include "json/hints.h"
#include "json/in_place.h"
#include "json/read.h"
#include "json/reader.h"
#include "json/skip.h"
#include "json/string_ref.h"
#include "json/traits.h"

namespace ajson {
namespace detail {

template <class Impl>
constexpr std::size_t member_count() noexcept {
    return std::tuple_size<decltype(Impl::members())>::value;
}

template <class Impl, std::size_t I>
using member_type = std::remove_reference_t<decltype(std::declval<typename Impl::record&>().*
                                                     std::get<I>(Impl::members()))>;

// A key's member index, or fields.size() when no name matches. Names are
// unique, so trying the member after the last one read first (keys usually
// come in list order) finds the same member as a scan from the start.
inline std::size_t find_field(const std::vector<string_ref>& fields, const string_ref& key,
                              std::size_t expected) noexcept {
    const std::size_t n = fields.size();
    if (expected < n && fields[expected].equals(key.str, key.len))
        return expected;
    for (std::size_t i = 0; i < n; ++i)
        if (fields[i].equals(key.str, key.len))
            return i;
    return n;
}

// Member k's reader. The fold over the members stands for a loop whose body
// needs each member's type; || stops it at the first match.
template <class Impl, class T, std::size_t... I>
inline void read_member(reader& rd, T& obj, std::size_t k, std::index_sequence<I...>) {
    constexpr auto ptrs = Impl::members();
    (void)((k == I && (json_impl<member_type<Impl, I>>::read(rd, obj.*std::get<I>(ptrs)), true)) ||
           ...);
}

// Where reading an object in place stopped: at the key of `member`, at its
// value, after the value of member - 1, or after the closing brace. A null
// `at` means the token there is current already (a nested record finished
// by scanning leaves the reader on the token after it).
enum class stop : unsigned char { key, value, after, closed };

struct in_place_stop {
    const char* at; // the first character not taken
    std::size_t member;
    stop how;
};

// The end of a value read in place, or null: then `scanned` tells whether it
// was read to its end by scanning (a nested record that left compact form)
// or not begun.
struct value_end {
    const char* at;
    bool scanned;
};

template <class M, class = void>
struct in_place_reader {
    static value_end read(reader&, const char*, M&) noexcept { return {nullptr, false}; }
};

template <>
struct in_place_reader<int> {
    AJSON_ALWAYS_INLINE static value_end read(reader& rd, const char* p, int& v) noexcept {
        const plain_int n = plain_integer_at(rd, p);
        if (n.end != nullptr)
            v = int_of_integer(n.magnitude, n.negative);
        return {n.end, false};
    }
};

template <class U>
struct in_place_reader<U, std::enable_if_t<std::is_same<U, std::uint32_t>::value ||
                                           std::is_same<U, std::uint16_t>::value>> {
    static value_end read(reader& rd, const char* p, U& v) noexcept {
        const plain_int n = plain_integer_at(rd, p);
        if (n.end == nullptr || n.negative) // a negative one raises an error
            return {nullptr, false};
        v = static_cast<U>(n.magnitude);
        return {n.end, false};
    }
};

template <class R>
struct in_place_reader<R, std::enable_if_t<is_record<R>::value>> {
    static value_end read(reader& rd, const char* p, R& v) {
        if (*p != '{')
            return {nullptr, false};
        const char* end = read_object_at<json_impl<R>>(rd, p + 1, v);
        return {end, end == nullptr};
    }
};

// Member I at s.at: its key and value, then ',' and the next key, or '}'.
template <class Impl, std::size_t I, class T>
inline bool member_in_place(reader& rd, T& obj, in_place_stop& s) {
    constexpr std::size_t n = Impl::keys.key_length(I);
    s.member = I;
    if (!rd.readable(s.at, n) || !same_bytes<n>(s.at, Impl::keys.key(I)))
        return false;
    const char* value = s.at + n;
    const value_end e =
        in_place_reader<member_type<Impl, I>>::read(rd, value, obj.*std::get<I>(Impl::members()));
    if (e.at == nullptr) {
        if (e.scanned) {
            s.at = nullptr;
            s.member = I + 1;
            s.how = stop::after;
        } else {
            s.at = value;
            s.how = stop::value;
        }
        return false;
    }
    s.member = I + 1;
    if (*e.at == ',') {
        s.at = e.at + 1;
        // Keys after the last member's are for scanning to judge.
        return I + 1 < member_count<Impl>();
    }
    if (*e.at == '}') {
        s.at = e.at + 1;
        s.how = stop::closed;
        return false;
    }
    s.at = e.at;
    s.how = stop::after;
    return false;
}

// From p, where the key of member `from` is expected, as far as the text
// is compact and in list order: the fold is a loop over the members from
// `from` on that && stops at the first one not read in place.
template <class Impl, class T, std::size_t... I>
inline in_place_stop members_in_place(reader& rd, const char* p, T& obj, std::size_t from,
                                      std::index_sequence<I...>) {
    in_place_stop s{p, from, stop::key};
    (void)((I < from || member_in_place<Impl, I>(rd, obj, s)) && ...);
    return s;
}

template <class Impl, class T>
inline in_place_stop members_in_place(reader& rd, const char* p, T& obj, std::size_t from) {
    return members_in_place<Impl>(rd, p, obj, from,
                                  std::make_index_sequence<member_count<Impl>()>{});
}

// Scanning from where in-place reading stopped (not closed); `may_close`:
// the stop is directly after the '{', where '}' ends an empty object.
template <class Impl, class T>
AJSON_NOINLINE void scan_members(reader& rd, T& obj, in_place_stop s, bool may_close) {
    constexpr std::size_t count = member_count<Impl>();
    const std::vector<string_ref>& fields = Impl::this_field_list();
    const token& t = rd.current();
    for (;;) {
        if (s.at != nullptr)
            rd.continue_at(s.at);
        std::size_t k = s.member;
        std::size_t expected = s.member;
        if (s.how == stop::key) {
            if (may_close && *t.text.str == '}') {
                rd.next();
                return;
            }
            if (t.kind != token::string)
                rd.error("object key must be string");
            const string_ref key = t.text;
            if (!rd.next_past_colon())
                rd.error("invalid json document!");
            k = find_field(fields, key, expected);
            s.how = stop::value;
        }
        if (s.how == stop::value) {
            if (k < count) {
                read_member<Impl>(rd, obj, k, std::make_index_sequence<count>{});
                expected = k + 1;
            } else {
                skip(rd);
            }
        }
        const char c = *t.text.str;
        if (c == '}') {
            rd.next();
            return;
        }
        if (c != ',')
            rd.error("invalid json document!");
        may_close = false;
        if (rd.in_place() && expected < count) {
            s = members_in_place<Impl>(rd, rd.here(), obj, expected);
            if (s.how == stop::closed) {
                rd.continue_at(s.at);
                return;
            }
        } else {
            rd.next();
            s = in_place_stop{nullptr, expected, stop::key};
        }
    }
}

template <class Impl, class T>
inline const char* read_object_at(reader& rd, const char* p, T& obj) {
    const in_place_stop s = members_in_place<Impl>(rd, p, obj, 0);
    if (s.how == stop::closed)
        return s.at;
    scan_members<Impl>(rd, obj, s, s.how == stop::key && s.member == 0);
    return nullptr;
}

template <class Impl, class T>
inline void read_record(reader& rd, T& obj) {
    // Built before the token is judged, so that it exists even when this fails.
    (void)Impl::this_field_list();
    const token& t = rd.current();
    if (*t.text.str != '{')
        rd.error("read object must start with {!");
    if (rd.in_place()) {
        if (const char* end = read_object_at<Impl>(rd, rd.here(), obj))
            rd.continue_at(end);
        return;
    }
    rd.next();
    scan_members<Impl>(rd, obj, in_place_stop{nullptr, 0, stop::key}, true);
}

} // namespace detail
} // namespace ajson
