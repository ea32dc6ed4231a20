// Writing a record: "{", then for each member in list order its key
// fragment ("name": after "{" or ",") and its value, then "}". The
// fragments are formed once per record type by write_str, so they are the
// bytes of writing each piece by itself.
//
// A record whose every value has a bounded text (ints, and records of
// them) is stored straight into the buffer after one room check instead of
// one check per piece; the growth rule of the buffer is the same either way.
#pragma once

#include <cstddef>
#include <cstring>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "json/record_read.h"
#include "json/string_ref.h"
#include "json/string_stream.h"
#include "json/traits.h"
#include "json/write.h"

namespace ajson {
namespace detail {

// Fragments up to this length are copied as one fixed-size block; the
// source is padded and the destination checked for this much more room.
inline constexpr std::size_t fragment_block = 32;

// What the writer puts before each member: {"first": then ,"next": and so on,
// formed once per record type by write_str so the bytes are the same as
// writing each piece separately.
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
            begin = ends[k];
        }
    }
    key_fragments(const key_fragments&) = delete;
    key_fragments& operator=(const key_fragments&) = delete;

    const string_ref& operator[](std::size_t k) const noexcept { return m_parts[k]; }
    // Every fragment and the closing brace: the record's text without its values.
    std::size_t fixed_bytes() const noexcept { return m_fixed_bytes; }

private:
    std::size_t m_fixed_bytes = 0;
    std::string m_text;
    std::vector<string_ref> m_parts;
};

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
