// json_impl<T>: how the codec reads and writes a value of type T.
//
//   json_impl<T>::read(reader&, T&)          reads the value at the current token
//   json_impl<T>::write(lite_write<S>&, const T&)  writes it as compact JSON
//
// Built in: int, std::uint32_t, std::uint16_t, std::string, std::vector<T>.
// Records declare themselves with AJSON(TYPE, members...) (json/record.h).
// Readers live in json/read.h, writers in json/write.h; json/ajson.h has both.
#pragma once

#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "json/reader.h"

namespace ajson {

namespace detail {
template <class T>
struct always_false : std::false_type {};
} // namespace detail

template <class T>
struct json_impl {
    static_assert(
        detail::always_false<T>::value,
        "unknown to the codec: declare the record with AJSON(TYPE, members...) at global scope");
};

template <>
struct json_impl<int> {
    static void read(reader& rd, int& v);
    template <class W>
    static void write(W& w, const int& v);
};

template <>
struct json_impl<std::uint32_t> {
    static void read(reader& rd, std::uint32_t& v);
    template <class W>
    static void write(W& w, const std::uint32_t& v);
};

template <>
struct json_impl<std::uint16_t> {
    static void read(reader& rd, std::uint16_t& v);
    template <class W>
    static void write(W& w, const std::uint16_t& v);
};

template <>
struct json_impl<std::string> {
    static void read(reader& rd, std::string& v);
    template <class W>
    static void write(W& w, const std::string& v);
};

template <class T, class A>
struct json_impl<std::vector<T, A>> {
    static_assert(!std::is_same<T, bool>::value,
                  "std::vector<bool> has no element references to read into");
    static void read(reader& rd, std::vector<T, A>& v);
    template <class W>
    static void write(W& w, const std::vector<T, A>& v);
};

namespace detail {

// A record declared with AJSON (json/record.h).
template <class R, class = void>
struct is_record : std::false_type {};
template <class R>
struct is_record<R, std::void_t<decltype(json_impl<R>::members())>> : std::true_type {};

// Reads a record's members in place from p, the character after its '{'
// (json/record_read.h): the character after its '}', or null when it was
// finished by scanning and the token after it is current.
template <class Impl, class T>
const char* read_object_at(reader& rd, const char* p, T& obj);

} // namespace detail

} // namespace ajson
