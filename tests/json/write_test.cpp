#include <iterator>
#include <limits>
#include <new>

#include <gtest/gtest.h>

#include "tests/support/codec.h"
#include "tests/support/test_support.h"

namespace {

using namespace testsupport;

using Stream = ajson::ajson_string_stream<>;

TEST(StringStream, GrowsInWholeKilobyteStepsOnlyAsFarAsOneAppendNeeds) {
    // Appends of n bytes (one byte by put) and the capacity after each: an
    // exactly full buffer still fits, and the large ones take the buffer past
    // the C library's mapping threshold.
    const struct {
        std::size_t n, capacity;
    } appends[] = {{1024, 1024},     {1, 2048},   {1100, 3072},     {0, 3072},     {5000, 7168},
                   {200000, 207872}, {1, 207872}, {300000, 507904}, {3000, 510976}};
    Stream s(1024);
    std::string want;
    for (std::size_t i = 0; i < std::size(appends); ++i) {
        const std::string block(appends[i].n, static_cast<char>('a' + i));
        block.size() == 1 ? s.put(block[0]) : s.append(block.data(), block.size());
        want += block;
        EXPECT_EQ(s.capacity(), appends[i].capacity) << i;
    }
    // An unrepresentable size throws and changes nothing. Sizes come through
    // volatiles: as constants the optimiser would warn about the unreachable copy.
    volatile std::size_t huge = std::numeric_limits<std::size_t>::max();
    volatile std::size_t near_limit = static_cast<std::size_t>(PTRDIFF_MAX) - 1020;
    EXPECT_THROW(s.append("x", huge), std::bad_alloc);
    EXPECT_THROW(s.append("x", near_limit), std::bad_alloc);
    EXPECT_EQ(std::string(s.data(), s.size()), want);
    EXPECT_EQ(s.capacity(), 510976u);
    Stream empty(0);
    empty.put('a');
    EXPECT_EQ(empty.capacity(), 1024u);
}

TEST(WriteStr, EscapeTableAndIllFormedUtf8OrZeroBytesEndingTheString) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"a/b ~", "\"a/b ~\""},
        {"\"\\", "\"\\\"\\\\\""},
        {"\b\t\n\f\r", "\"\\b\\t\\n\\f\\r\""},
        {"\x01\x0B\x1F\x7F", "\"\\u0001\\u000B\\u001F\\u007F\""},
        {"\xC2\x80\xC3\xA9\xE2\x82\xAC\xEF\xBF\xBF", "\"\\u0080\\u00E9\\u20AC\\uFFFF\""},
        {"\xF0\x9F\x98\x80\xF0\x90\x80\x80\xF4\x8F\xBF\xBF",
         "\"\\uD83D\\uDE00\\uD800\\uDC00\\uDBFF\\uDFFF\""},
        // Ill-formed UTF-8 and zero bytes end the string.
        {"ab\xC3", "\"ab\""},
        {std::string("ab\0cd", 5), "\"ab\""},
        {"\xED\xA0\x80", "\"\""}, // encoded surrogate
    };
    for (const auto& c : cases)
        EXPECT_EQ(json_of(c.text), c.json) << c.json;
}

// Longest run of complete, well-formed characters at the start of s, by the
// ranges of well-formed UTF-8 (lead byte, second byte, length); a zero byte also ends it.
std::string well_formed_prefix(const std::string& s) {
    static const struct {
        unsigned lo, hi, lo2, hi2;
        std::size_t n;
    } forms[] = {
        {0x01, 0x7F, 0, 0, 1},       {0xC2, 0xDF, 0x80, 0xBF, 2}, {0xE0, 0xE0, 0xA0, 0xBF, 3},
        {0xE1, 0xEC, 0x80, 0xBF, 3}, {0xED, 0xED, 0x80, 0x9F, 3}, {0xEE, 0xEF, 0x80, 0xBF, 3},
        {0xF0, 0xF0, 0x90, 0xBF, 4}, {0xF1, 0xF3, 0x80, 0xBF, 4}, {0xF4, 0xF4, 0x80, 0x8F, 4}};
    auto in = [&](std::size_t k, unsigned lo, unsigned hi) {
        return k < s.size() && static_cast<unsigned char>(s[k]) >= lo &&
               static_cast<unsigned char>(s[k]) <= hi;
    };
    std::size_t i = 0;
    for (std::size_t n = 1; n != 0; i += n) {
        n = 0;
        for (const auto& f : forms)
            if (n == 0 && in(i, f.lo, f.hi) && (f.n < 2 || in(i + 1, f.lo2, f.hi2)) &&
                (f.n < 3 || in(i + 2, 0x80, 0xBF)) && (f.n < 4 || in(i + 3, 0x80, 0xBF)))
                n = f.n;
    }
    return s.substr(0, i);
}

// Written, then read back: what comes back must be exactly the well-formed
// prefix, and the JSON text pure ASCII.
void expect_round_trip(const std::string& bytes) {
    const std::string json = json_of(bytes);
    for (const char c : json)
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80);
    std::string back;
    ASSERT_TRUE(ajson::escape_string(back, json.data() + 1, json.size() - 2));
    ASSERT_EQ(back, well_formed_prefix(bytes)) << json;
}

TEST(WriteStr, EveryCodePointRoundTripsAndTheDecoderAcceptsExactlyWellFormedSequences) {
    std::string all;
    for (std::uint32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        char bytes[4];
        if (cp < 0xD800 || cp > 0xDFFF)
            all.append(bytes,
                       static_cast<std::size_t>(ajson::detail::store_utf8(bytes, cp) - bytes));
        if (all.size() > 4000 || cp == 0x10FFFF) {
            expect_round_trip(all);
            all.clear();
        }
    }
    // Every pair of bytes, and three- and four-byte forms around the edges of
    // their continuation ranges.
    const std::vector<unsigned> edges = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90,
                                         0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    for (unsigned a = 1; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b) {
            const std::string two{static_cast<char>(a), static_cast<char>(b)};
            expect_round_trip(two);
            for (unsigned c : a < 0xE0 ? std::vector<unsigned>{} : edges) {
                expect_round_trip(two + static_cast<char>(c));
                for (unsigned d : edges)
                    if (a >= 0xF0)
                        expect_round_trip(two + static_cast<char>(c) + static_cast<char>(d));
            }
        }
    }
}

// Small ints come from a table, larger ones are formed a word at a time:
// around every power of ten and at the ends, every way gives the same text.
// (Lists are written by one rule for every element type; the layer lists'
// tests pin its brackets and commas.)
TEST(WriteValues, StoredAndAppendedIntegersAreTheirDecimalText) {
    std::vector<int> values;
    for (int v = -20000; v <= 20000; ++v)
        values.push_back(v);
    for (long long p = 10; p <= 1000000000; p *= 10)
        for (const long long v : {p - 1, p, p + 1, -p + 1, -p, -p - 1})
            values.push_back(static_cast<int>(v));
    values.insert(values.end(), {2147483647, -2147483647 - 1, -2147483647});
    for (const int v : values) {
        char text[32];
        const auto n = static_cast<std::size_t>(ajson::detail::store_int(text, v) - text);
        ASSERT_EQ(std::string(text, n), std::to_string(v));
        ASSERT_EQ(json_of(v), std::to_string(v));
    }
    // Unsigned members in decimal up to their own width, not as ints.
    EXPECT_EQ(json_of(std::uint32_t{4294967295u}) + json_of(std::uint16_t{65535}),
              "429496729565535");
}

} // namespace
