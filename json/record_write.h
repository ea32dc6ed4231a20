// Writing a record: "{", then for each member in list order its fragment
// ("name": after "{" or ",") and its value, then "}". The fragments come
// from the key table made at compile time (json/field_list.h).
//
// Two ways, the same bytes:
//   pieces  every fragment and value through the stream's checked appends
//   stored  a record whose values all have a bounded text (ints, and records
//           of them) and whose names need no escaping is stored straight
//           into the buffer after one room check. Near the end of the buffer
//           it is formed aside and appended as one block, which grows the
//           buffer exactly as its pieces would have.
#pragma once

#include <cstddef>
#include <cstring>
#include <tuple>
#include <type_traits>
#include <utility>

#include "json/hints.h"
#include "json/record_read.h"
#include "json/string_ref.h"
#include "json/traits.h"
#include "json/write.h"

namespace ajson {
namespace detail {

// Values whose text has a known upper bound, max_bytes: store(p, v) stores
// it at p and returns the byte after it, and may write up to store_slack
// bytes beyond that byte.
template <class M, class = void>
struct bounded_text : std::false_type {};

inline constexpr std::size_t store_slack = 4; // an int's last word

template <>
struct bounded_text<int> : std::true_type {
    static constexpr std::size_t max_bytes = 11; // -2147483648
    AJSON_ALWAYS_INLINE static char* store(char* p, int v) noexcept { return store_int(p, v); }
};

template <class Impl, std::size_t... I>
constexpr bool all_bounded(std::index_sequence<I...>) noexcept {
    return (bounded_text<member_type<Impl, I>>::value && ...);
}

template <class R>
constexpr bool stores_whole() noexcept {
    if constexpr (is_record<R>::value)
        return json_impl<R>::keys.plain &&
               all_bounded<json_impl<R>>(std::make_index_sequence<member_count<json_impl<R>>()>{});
    else
        return false;
}

template <class Impl, std::size_t... I>
constexpr std::size_t most_bytes(std::index_sequence<I...>) noexcept {
    return Impl::keys.begin[sizeof...(I)] + 1 +
           (bounded_text<member_type<Impl, I>>::max_bytes + ... + 0);
}

template <class Impl, std::size_t I>
inline char* store_fragment(char* p) noexcept {
    constexpr std::size_t n = Impl::keys.fragment_length(I);
    std::memcpy(p, Impl::keys.fragment(I), n);
    return p + n;
}

// Nested records are stored inline: a call per nested record would cost as
// much as its values.
template <class Impl, class T, std::size_t... I>
AJSON_ALWAYS_INLINE inline char* store_members(char* p, const T& obj,
                                               std::index_sequence<I...>) noexcept {
    ((p = store_fragment<Impl, I>(p),
      p = bounded_text<member_type<Impl, I>>::store(p, obj.*std::get<I>(Impl::members()))),
     ...);
    *p++ = '}';
    return p;
}

template <class R>
struct bounded_text<R, std::enable_if_t<stores_whole<R>()>> : std::true_type {
    using Impl = json_impl<R>;
    using members = std::make_index_sequence<member_count<Impl>()>;
    static constexpr std::size_t max_bytes = most_bytes<Impl>(members{});
    AJSON_ALWAYS_INLINE static char* store(char* p, const R& obj) noexcept {
        return store_members<Impl>(p, obj, members{});
    }
};

// Member I's fragment, "name": after '{' or ','. A name the writer would
// escape is written by write_str each time; no record of this system has one.
template <class Impl, std::size_t I, class W>
inline void write_fragment(W& w) {
    if constexpr (Impl::keys.plain) {
        w.append(Impl::keys.fragment(I), Impl::keys.fragment_length(I));
    } else {
        const string_ref& name = Impl::this_field_list()[I];
        w.put(I == 0 ? '{' : ',');
        w.write_str(name.str, static_cast<std::size_t>(name.len));
        w.put(':');
    }
}

// A fold over the members stands for a loop whose body needs each member's type.
template <class Impl, class W, class T, std::size_t... I>
inline void write_members(W& w, const T& obj, std::index_sequence<I...>) {
    ((write_fragment<Impl, I>(w),
      json_impl<member_type<Impl, I>>::write(w, obj.*std::get<I>(Impl::members()))),
     ...);
}

// Streams that let a writer store at cursor() after checking free_space().
template <class S, class = void>
struct stores_directly : std::false_type {};
template <class S>
struct stores_directly<S, std::void_t<decltype(std::declval<S&>().cursor()),
                                      decltype(std::declval<S&>().free_space())>> : std::true_type {
};

template <class Impl, class W, class T>
inline void write_record(W& w, const T& obj) {
    using stream = std::remove_reference_t<decltype(w.stream())>;
    if constexpr (bounded_text<T>::value && stores_directly<stream>::value) {
        auto& s = w.stream();
        if (AJSON_LIKELY(s.free_space() >= bounded_text<T>::max_bytes + store_slack)) {
            s.advance_to(bounded_text<T>::store(s.cursor(), obj));
            return;
        }
        // Near the end of the buffer: formed aside, then appended as one
        // block, which grows the buffer as its pieces would have.
        if (s.one_step_for(bounded_text<T>::max_bytes)) {
            char staged[bounded_text<T>::max_bytes + store_slack];
            const char* end = bounded_text<T>::store(staged, obj);
            s.append(staged, static_cast<std::size_t>(end - staged));
            return;
        }
    }
    write_members<Impl>(w, obj, std::make_index_sequence<member_count<Impl>()>{});
    w.put('}');
}

} // namespace detail
} // namespace ajson
