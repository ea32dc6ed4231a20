// Eight characters in one 64-bit word: loaded and stored so that the first
// character is the lowest byte on every machine, and digits recognised,
// read and formed by plain 64-bit arithmetic (SWAR), without intrinsics.
#pragma once

#include <cstdint>
#include <cstring>

namespace ajson {
namespace detail {

inline std::uint64_t load_word(const char* p) noexcept {
    std::uint64_t w;
    std::memcpy(&w, p, sizeof w);
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    return w;
}

inline void store_word(char* p, std::uint64_t w) noexcept {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    w = __builtin_bswap64(w);
#endif
    std::memcpy(p, &w, sizeof w);
}

inline std::uint32_t load_half(const char* p) noexcept {
    std::uint32_t w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

// The index of the lowest set bit of w, which is not 0.
inline unsigned lowest_bit(std::uint64_t w) noexcept {
#if defined(__GNUC__)
    return static_cast<unsigned>(__builtin_ctzll(w));
#else
    unsigned n = 0;
    for (; (w & 1u) == 0; w >>= 1)
        ++n;
    return n;
#endif
}

// Bit 7 of every byte of w that is not a decimal digit.
constexpr std::uint64_t non_digits(std::uint64_t w) noexcept {
    const std::uint64_t t = w ^ 0x3030303030303030u; // digits become 0 to 9
    // 0x76 + b reaches bit 7 exactly when b (7 bits, so no carry between bytes) is 10 or more.
    return (((t & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | t) & 0x8080808080808080u;
}

// The decimal value of the first n (1 to 8) bytes of w, all digits: the
// bytes after them are shifted out, then pairs, quadruples and the two
// halves are combined by three multiplications.
constexpr std::uint64_t digits_value(std::uint64_t w, unsigned n) noexcept {
    // The digits as an eight-digit number with leading zeros, byte 0 its first digit.
    std::uint64_t v = (w - 0x3030303030303030u) << (64 - 8 * n);
    v = v * 10u + (v >> 8); // bytes 0, 2, 4 and 6 hold the four two-digit pairs
    // Pairs 0 and 2 weighed by 10^6 and 10^2, pairs 1 and 3 by 10^4 and 1,
    // each sum landing in the upper half.
    v = (((v & 0x000000FF000000FFu) * (100u + (1000000ull << 32))) +
         (((v >> 16) & 0x000000FF000000FFu) * (1u + (10000ull << 32)))) >>
        32;
    return v;
}

// The same for n from 1 to 4, from the low half of w alone: the common
// short numbers need no 64-bit constants.
constexpr std::uint32_t short_digits_value(std::uint64_t w, unsigned n) noexcept {
    std::uint32_t v = (static_cast<std::uint32_t>(w) - 0x30303030u) << (32 - 8 * n);
    v = v * 10u + (v >> 8);
    return ((v & 0x00FF00FFu) * ((100u << 16) + 1u)) >> 16;
}

// The decimal digits of m (below 10^8) as eight byte values 0 to 9, most
// significant first, leading zeros included: two halves of four digits,
// then pairs, then single digits, each split by a multiplication.
constexpr std::uint64_t eight_digits(std::uint32_t m) noexcept {
    std::uint64_t x = (m / 10000u) | (static_cast<std::uint64_t>(m % 10000u) << 32);
    std::uint64_t q = ((x * 10486u) >> 20) & 0x0000007F0000007Fu; // / 100 per half
    x = q | ((x - q * 100u) << 16);
    q = ((x * 103u) >> 10) & 0x000F000F000F000Fu; // / 10 per pair
    return q | ((x - q * 10u) << 8);
}

} // namespace detail
} // namespace ajson
