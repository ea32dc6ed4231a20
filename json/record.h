// Declaring a record to the codec: once per record, at global namespace
// scope, right after the struct.
//
//   namespace LCD::ProtoModel {
//   struct s_RGB { int R = 50; int G = 50; int B = 50; };
//   }
//   AJSON(LCD::ProtoModel::s_RGB, R, G, B)
//
// The field-list string is exactly #__VA_ARGS__ ("R, G, B"); the k-th name
// is the JSON member name of the k-th member, for reading and writing alike.
// Reading takes keys in any order, skips unknown ones and leaves absent
// members as they were; writing puts every member in list order. Members may
// be of any type the codec knows, other records included; up to 64 members.
//
// The macro specialises ajson::json_impl<TYPE> with:
//   this_field_list()        the names, split once at first use
//   json_helper{rec}.read_() reads an object into rec in place
//   read(reader&, TYPE&)     / write(lite_write<S>&, const TYPE&)
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "json/field_list.h"
#include "json/pp_for_each.h"
#include "json/read.h"
#include "json/reader.h"
#include "json/skip.h"
#include "json/string_stream.h"
#include "json/traits.h"
#include "json/write.h"

#define AJSON(TYPE, ...)                                                                           \
    namespace ajson {                                                                              \
    template <>                                                                                    \
    struct json_impl<TYPE> {                                                                       \
        static constexpr const char* field_list_string = #__VA_ARGS__;                             \
        static const std::vector<detail::string_ref>& this_field_list() {                          \
            static const std::vector<detail::string_ref> fields =                                  \
                detail::split_fields(#__VA_ARGS__);                                                \
            return fields;                                                                         \
        }                                                                                          \
        static constexpr auto members() noexcept {                                                 \
            return std::make_tuple(AJSON_PP_MEMBER_POINTERS(TYPE, __VA_ARGS__));                   \
        }                                                                                          \
        static const detail::key_fragments& this_key_fragments() {                                 \
            static const detail::key_fragments keys(this_field_list());                            \
            return keys;                                                                           \
        }                                                                                          \
        struct json_helper {                                                                       \
            TYPE& self;                                                                            \
            void read_(reader& rd) { detail::read_record<json_impl>(rd, self); }                   \
        };                                                                                         \
        static void read(reader& rd, TYPE& v) { json_helper{v}.read_(rd); }                        \
        template <class W>                                                                         \
        static void write(W& w, const TYPE& v) {                                                   \
            detail::write_record<json_impl>(w, v);                                                 \
        }                                                                                          \
    };                                                                                             \
    static_assert(detail::fields_unique(#__VA_ARGS__),                                             \
                  "AJSON(" #TYPE "): a member is named twice");                                    \
    static_assert(detail::count_fields(#__VA_ARGS__) ==                                            \
                      std::tuple_size<decltype(json_impl<TYPE>::members())>::value,                \
                  "AJSON(" #TYPE "): the names do not split into one per member");                 \
    }

namespace ajson {
namespace detail {

// Fragments up to this length are copied as one fixed-size block; the
// source is padded and the destination checked for this much more room.
inline constexpr std::size_t fragment_block = 32;

// What the writer puts before each member: {"first": then ,"next": and so on,
// formed once per record type by write_str so the bytes are the same as
// writing each piece separately. Without their first byte they are also the
// keys a reader expects in place.
class key_fragments {
public:
    explicit key_fragments(const std::vector<string_ref>& fields) {
        ajson_string_stream<> s(1024);
        lite_write<ajson_string_stream<>> w(s);
        std::vector<std::size_t> ends;
        for (std::size_t k = 0; k < fields.size(); ++k) {
            w.put(k == 0 ? '{' : ',');
            w.write_str(fields[k].str, static_cast<std::size_t>(fields[k].len));
            w.put(':');
            ends.push_back(s.size());
        }
        m_text.assign(s.data(), s.size());
        m_fixed_bytes = m_text.size() + 1; // and the closing brace
        m_text.append(fragment_block, '\0');
        std::size_t begin = 0;
        for (std::size_t k = 0; k < ends.size(); ++k) {
            m_parts.emplace_back(m_text.data() + begin, ends[k] - begin);
            // The fragment without its { or , is the key as a reader meets it,
            // when the name needed no escaping.
            const string_ref key(m_text.data() + begin + 1, ends[k] - begin - 1);
            const bool plain = key.len == fields[k].len + 3 && key.str[0] == '"' &&
                               std::memcmp(key.str + 1, fields[k].str, fields[k].len) == 0;
            m_keys.push_back(plain ? key : string_ref());
            begin = ends[k];
        }
    }
    key_fragments(const key_fragments&) = delete;
    key_fragments& operator=(const key_fragments&) = delete;

    const string_ref& operator[](std::size_t k) const noexcept { return m_parts[k]; }
    // "name": of member k, or empty when the name is written escaped.
    const string_ref& read_key(std::size_t k) const noexcept { return m_keys[k]; }
    // Every fragment and the closing brace: the record's text without its values.
    std::size_t fixed_bytes() const noexcept { return m_fixed_bytes; }

private:
    std::size_t m_fixed_bytes = 0;
    std::string m_text;
    std::vector<string_ref> m_parts;
    std::vector<string_ref> m_keys;
};

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

template <class M>
inline void read_value(reader& rd, M& m) {
    json_impl<M>::read(rd, m);
}

template <class Impl, class T, std::size_t... I>
inline void read_member(reader& rd, T& obj, std::size_t k, std::index_sequence<I...>) {
    constexpr auto ptrs = Impl::members();
    (void)((k == I && (read_value(rd, obj.*std::get<I>(ptrs)), true)) || ...);
}

template <class Impl, class T>
inline void read_record(reader& rd, T& obj) {
    constexpr std::size_t count = std::tuple_size<decltype(Impl::members())>::value;
    const std::vector<string_ref>& fields = Impl::this_field_list();
    const key_fragments& keys = Impl::this_key_fragments();
    const token& t = rd.current();
    if (*t.text.str != '{')
        rd.error("read object must start with {!");
    // A key found in place (the next one in list order) leaves the reader on
    // its value, exactly where scanning it and its colon would.
    bool in_place = false;
    if constexpr (count != 0)
        in_place = rd.next_if_key(keys.read_key(0));
    else
        rd.next();
    if (!in_place && *t.text.str == '}') {
        rd.next();
        return;
    }
    std::size_t expected = 0;
    for (;;) {
        std::size_t k = expected;
        if (!in_place) {
            if (t.kind != token::string)
                rd.error("object key must be string");
            const string_ref key = t.text;
            if (!rd.next_past_colon())
                rd.error("invalid json document!");
            k = find_field(fields, key, expected);
        }
        if (k < count) {
            read_member<Impl>(rd, obj, k, std::make_index_sequence<count>{});
            expected = k + 1;
        } else {
            skip(rd);
        }
        const char c = *t.text.str;
        if (c == '}') {
            rd.next();
            return;
        }
        if (c != ',')
            rd.error("invalid json document!");
        if (expected < count) {
            in_place = rd.next_if_key(keys.read_key(expected));
        } else {
            in_place = false;
            rd.next();
        }
    }
}

template <class W, class M>
inline void write_value(W& w, const M& m) {
    json_impl<M>::write(w, m);
}

// Values whose text has a known upper bound can be stored straight into the
// buffer after one room check per top-level record: ints and records made
// only of such values. Everything else goes through the checked appends.
template <class M, class = void>
struct bounded_text : std::false_type {};

template <>
struct bounded_text<int> : std::true_type {
    static std::size_t max_bytes() noexcept { return 11; } // -2147483648
    static char* store(char* p, int v) noexcept { return store_int(p, v); }
};

template <class Ptr>
struct member_of;
template <class C, class M>
struct member_of<M C::*> {
    using type = M;
};

template <class R, class = void>
struct is_record : std::false_type {};
template <class R>
struct is_record<R, std::void_t<decltype(json_impl<R>::members())>> : std::true_type {};

template <class Impl>
constexpr std::size_t member_count() noexcept {
    return std::tuple_size<decltype(Impl::members())>::value;
}

template <class Impl, std::size_t... I>
constexpr bool all_bounded(std::index_sequence<I...>) noexcept {
    using ptrs = decltype(Impl::members());
    return (bounded_text<typename member_of<std::tuple_element_t<I, ptrs>>::type>::value && ...);
}

template <class R>
constexpr bool record_of_bounded_members() noexcept {
    if constexpr (is_record<R>::value)
        return all_bounded<json_impl<R>>(std::make_index_sequence<member_count<json_impl<R>>()>{});
    else
        return false;
}

inline char* store_fragment(char* p, const string_ref& f) noexcept {
    if (f.len <= fragment_block)
        std::memcpy(p, f.str, fragment_block); // one fixed block; only f.len bytes count
    else
        std::memcpy(p, f.str, static_cast<std::size_t>(f.len));
    return p + f.len;
}

template <class R>
struct bounded_text<R, std::enable_if_t<record_of_bounded_members<R>()>> : std::true_type {
    using Impl = json_impl<R>;
    static constexpr std::size_t count = member_count<Impl>();

    static std::size_t max_bytes() {
        static const std::size_t n = sum_of_members(std::make_index_sequence<count>{});
        return n;
    }
    static char* store(char* p, const R& obj) {
        return store_members(p, obj, Impl::this_key_fragments(), std::make_index_sequence<count>{});
    }

private:
    template <std::size_t I>
    using member_t = typename member_of<std::tuple_element_t<I, decltype(Impl::members())>>::type;

    template <std::size_t... I>
    static std::size_t sum_of_members(std::index_sequence<I...>) {
        return Impl::this_key_fragments().fixed_bytes() +
               (bounded_text<member_t<I>>::max_bytes() + ... + 0);
    }
    template <std::size_t... I>
    static char* store_members(char* p, const R& obj, const key_fragments& keys,
                               std::index_sequence<I...>) {
        constexpr auto ptrs = Impl::members();
        ((p = store_fragment(p, keys[I]),
          p = bounded_text<member_t<I>>::store(p, obj.*std::get<I>(ptrs))),
         ...);
        *p++ = '}';
        return p;
    }
};

template <class Impl, class W, class T, std::size_t... I>
inline void write_members(W& w, const T& obj, const key_fragments& keys,
                          std::index_sequence<I...>) {
    constexpr auto ptrs = Impl::members();
    ((w.append(keys[I].str, static_cast<std::size_t>(keys[I].len)),
      write_value(w, obj.*std::get<I>(ptrs))),
     ...);
}

template <class Impl, class W, class T>
inline void write_record(W& w, const T& obj) {
    constexpr std::size_t count = std::tuple_size<decltype(Impl::members())>::value;
    if constexpr (bounded_text<T>::value) {
        // One room check for the whole record. Without the room the checked
        // appends below grow the buffer exactly where they need to.
        auto& s = w.stream();
        if (s.free_space() >= bounded_text<T>::max_bytes() + fragment_block) {
            s.advance_to(bounded_text<T>::store(s.cursor(), obj));
            return;
        }
    }
    write_members<Impl>(w, obj, Impl::this_key_fragments(), std::make_index_sequence<count>{});
    w.put('}');
}

} // namespace detail
} // namespace ajson
