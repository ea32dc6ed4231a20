// The number of members of an aggregate, counted at compile time: T{x, y, ...}
// with initialisers that convert to any member type compiles for as many
// initialisers as T has members and for no more. AJSON compares it with the
// number of names, so a record cannot be declared with a member left out.
//
// It holds for the members the codec reads and writes (integers, strings,
// vectors, records); a member type that can itself be constructed from
// anything (std::optional, std::function, ...) would make the count ambiguous.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

namespace ajson {
namespace detail {

// Converts to every member type, a nested record's included, so each
// initialiser takes one whole member and brace elision never splits a
// nested record into its members: it counts as one.
struct any_member {
    template <class M>
    operator M() const noexcept; // never called: only named in decltype
};

template <class T, class Seq, class = void>
struct takes_initialisers : std::false_type {};

template <class T, std::size_t... I>
struct takes_initialisers<T, std::index_sequence<I...>,
                          std::void_t<decltype(T{(void(I), any_member{})...})>> : std::true_type {};

template <class T, std::size_t N = 0>
constexpr std::size_t aggregate_members() noexcept {
    if constexpr (takes_initialisers<T, std::make_index_sequence<N + 1>>::value)
        return aggregate_members<T, N + 1>();
    else
        return N;
}

} // namespace detail
} // namespace ajson
