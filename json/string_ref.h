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
    // Names are short: four bytes at a time (the last four overlapping)
    // beats a call of memcmp.
    bool equals(const char* s, std::uint64_t n) const noexcept {
        if (len != n)
            return false;
        if (n < 4) {
            for (std::uint64_t i = 0; i < n; ++i)
                if (str[i] != s[i])
                    return false;
            return true;
        }
        for (std::uint64_t i = 0; i + 4 < n; i += 4)
            if (!same4(str + i, s + i))
                return false;
        return same4(str + n - 4, s + n - 4);
    }

private:
    static bool same4(const char* a, const char* b) noexcept {
        std::uint32_t x;
        std::uint32_t y;
        std::memcpy(&x, a, 4);
        std::memcpy(&y, b, 4);
        return x == y;
    }
};

} // namespace detail
} // namespace ajson
