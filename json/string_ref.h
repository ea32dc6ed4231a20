// A non-owning view of characters: field names in a record's field list and
// token texts in the input are both held this way, so nothing is copied.
#pragma once

#include <cstdint>
#include <cstring>

namespace ajson {
namespace detail {

struct string_ref {
    const char* str = nullptr;
    std::uint64_t len = 0;

    constexpr string_ref() noexcept = default;
    constexpr string_ref(const char* s, std::uint64_t n) noexcept : str(s), len(n) {}

    // Length first: most names differ in length, so bytes are rarely looked at.
    bool equals(const char* s, std::uint64_t n) const noexcept {
        return len == n && (n == 0 || (str[0] == s[0] && std::memcmp(str, s, n) == 0));
    }
    friend bool operator==(const string_ref& a, const string_ref& b) noexcept {
        return a.equals(b.str, b.len);
    }
    friend bool operator!=(const string_ref& a, const string_ref& b) noexcept {
        return !(a == b);
    }
};

} // namespace detail
} // namespace ajson
