#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/ajson.h"

namespace {

using Stream = ajson::ajson_string_stream<>;

std::string written(const std::string& text) {
    Stream s(1024);
    ajson::lite_write<Stream> w(s);
    w.write_str(text.data(), text.size());
    return std::string(s.data(), s.size());
}

template <class T>
std::string json_of(const T& v) {
    Stream s(1024);
    ajson::lite_write<Stream> w(s);
    ajson::json_impl<T>::write(w, v);
    return std::string(s.data(), s.size());
}

TEST(StringStream, GrowsInWholeKilobyteStepsOnlyAsFarAsOneAppendNeeds) {
    Stream s(1024);
    EXPECT_EQ(s.capacity(), 1024u);
    std::string full(1024, 'x');
    for (std::size_t i = 0; i < full.size(); ++i)
        full[i] = static_cast<char>('a' + i % 26);
    s.append(full.data(), full.size());
    EXPECT_EQ(s.capacity(), 1024u);  // exactly full still fits
    s.put('!');
    EXPECT_EQ(s.capacity(), 2048u);
    EXPECT_EQ(std::string(s.data(), s.size()), full + "!");

    Stream block(1024);
    const std::string big(3000, 'b');
    block.append(big.data(), big.size());
    EXPECT_EQ(block.capacity(), 3072u);

    Stream partly(1024);
    partly.append(big.data(), 1000);
    partly.append(big.data(), 1100);  // needs 2100
    EXPECT_EQ(partly.capacity(), 3072u);
    EXPECT_EQ(partly.size(), 2100u);

    Stream empty(0);
    empty.put('a');
    EXPECT_EQ(empty.capacity(), 1024u);
    EXPECT_EQ(empty.read_offset(), 0u);
}

TEST(StringStream, AnUnrepresentableSizeThrowsBadAllocAndChangesNothing) {
    Stream s(1024);
    s.append("abc", 3);
    const char* before = s.data();
    // Sizes come through volatiles: as constants the optimiser would warn
    // about the copy that the throw makes unreachable.
    volatile std::size_t huge = std::numeric_limits<std::size_t>::max();
    volatile std::size_t near_limit = static_cast<std::size_t>(PTRDIFF_MAX) - 1020;
    EXPECT_THROW(s.append("x", huge), std::bad_alloc);
    EXPECT_THROW(s.append("x", near_limit), std::bad_alloc);
    EXPECT_EQ(s.data(), before);
    EXPECT_EQ(s.size(), 3u);
    EXPECT_EQ(s.capacity(), 1024u);
    EXPECT_EQ(std::string(s.data(), s.size()), "abc");
}

TEST(WriteStr, EachRowOfTheEscapeTable) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"", "\"\""},
        {"a/b", "\"a/b\""},
        {" ~", "\" ~\""},
        {"\"", "\"\\\"\""},
        {"\\", "\"\\\\\""},
        {"\b\t\n\f\r", "\"\\b\\t\\n\\f\\r\""},
        {"\x01", "\"\\u0001\""},
        {"\x0B\x1F", "\"\\u000B\\u001F\""},
        {"\x7F", "\"\\u007F\""},
        {"\xC2\x80", "\"\\u0080\""},
        {"\xC3\xA9", "\"\\u00E9\""},
        {"\xE2\x82\xAC", "\"\\u20AC\""},
        {"\xEF\xBF\xBF", "\"\\uFFFF\""},
        {"\xF0\x9F\x98\x80", "\"\\uD83D\\uDE00\""},
        {"\xF0\x90\x80\x80", "\"\\uD800\\uDC00\""},
        {"\xF4\x8F\xBF\xBF", "\"\\uDBFF\\uDFFF\""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(written(c.text), c.json);
    }
}

TEST(WriteStr, IllFormedUtf8AndZeroBytesEndTheString) {
    const struct {
        std::string text;
        const char* json;
    } cases[] = {
        {"ab\xFF" "cd", "\"ab\""},
        {"ab\xC3", "\"ab\""},                // incomplete at the end
        {std::string("ab\0cd", 5), "\"ab\""},
        {std::string("\xC3\0\xA9", 3), "\"\""},
        {"a\xC3(b", "\"a\""},
        {"\xC0\x80", "\"\""},                // overlong
        {"\xE0\x9F\xBF", "\"\""},            // overlong
        {"\xED\xA0\x80", "\"\""},            // encoded surrogate
        {"\xF4\x90\x80\x80", "\"\""},        // above U+10FFFF
        {"\xC3\xA9\xBF", "\"\\u00E9\""},     // stray continuation byte
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.json);
        EXPECT_EQ(written(c.text), c.json);
    }
}

// Longest run of complete, well-formed characters at the start of s, by the
// ranges of well-formed UTF-8; a zero byte also ends it.
std::string well_formed_prefix(const std::string& s) {
    std::size_t i = 0;
    auto in = [&](std::size_t k, unsigned lo, unsigned hi) {
        if (k >= s.size())
            return false;
        const auto b = static_cast<unsigned char>(s[k]);
        return b >= lo && b <= hi;
    };
    while (i < s.size()) {
        const auto b = static_cast<unsigned char>(s[i]);
        std::size_t n = 0;
        if (b >= 0x01 && b <= 0x7F)
            n = 1;
        else if (b >= 0xC2 && b <= 0xDF)
            n = in(i + 1, 0x80, 0xBF) ? 2 : 0;
        else if (b == 0xE0)
            n = in(i + 1, 0xA0, 0xBF) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if ((b >= 0xE1 && b <= 0xEC) || b == 0xEE || b == 0xEF)
            n = in(i + 1, 0x80, 0xBF) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if (b == 0xED)
            n = in(i + 1, 0x80, 0x9F) && in(i + 2, 0x80, 0xBF) ? 3 : 0;
        else if (b == 0xF0)
            n = in(i + 1, 0x90, 0xBF) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        else if (b >= 0xF1 && b <= 0xF3)
            n = in(i + 1, 0x80, 0xBF) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        else if (b == 0xF4)
            n = in(i + 1, 0x80, 0x8F) && in(i + 2, 0x80, 0xBF) && in(i + 3, 0x80, 0xBF) ? 4 : 0;
        if (n == 0)
            break;
        i += n;
    }
    return s.substr(0, i);
}

// Written, then read back: what comes back must be exactly the well-formed
// prefix, and the JSON text pure ASCII.
void expect_round_trip(const std::string& bytes) {
    const std::string json = written(bytes);
    for (const char c : json)
        ASSERT_TRUE(static_cast<unsigned char>(c) < 0x80);
    std::string back;
    ASSERT_TRUE(ajson::escape_string(back, json.data() + 1, json.size() - 2));
    ASSERT_EQ(back, well_formed_prefix(bytes)) << json;
}

TEST(WriteStr, EveryCodePointRoundTripsThroughTheReader) {
    std::string all;
    for (std::uint32_t cp = 1; cp <= 0x10FFFF; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF)
            continue;
        char bytes[4];
        all.append(bytes, static_cast<std::size_t>(ajson::detail::store_utf8(bytes, cp) - bytes));
        if (all.size() > 4000) {
            expect_round_trip(all);
            all.clear();
        }
    }
    expect_round_trip(all);
}

TEST(WriteStr, DecoderAcceptsExactlyWellFormedSequences) {
    // Every pair of bytes, and three- and four-byte forms around the edges of
    // their continuation ranges, judged against the ranges above.
    const unsigned edges[] = {0x00, 0x41, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xFF};
    for (unsigned a = 1; a < 256; ++a) {
        for (unsigned b = 0; b < 256; ++b) {
            std::string two{static_cast<char>(a), static_cast<char>(b)};
            expect_round_trip(two);
            if (a < 0xE0)
                continue;
            for (unsigned c : edges) {
                expect_round_trip(two + static_cast<char>(c));
                if (a >= 0xF0)
                    for (unsigned d : edges)
                        expect_round_trip(two + static_cast<char>(c) + static_cast<char>(d));
            }
        }
    }
}

TEST(WriteInt, DecimalWithoutPlusOrLeadingZeros) {
    const struct {
        int v;
        const char* json;
    } cases[] = {
        {0, "0"}, {7, "7"}, {10, "10"}, {99, "99"}, {100, "100"}, {-1, "-1"}, {-10, "-10"},
        {123456789, "123456789"}, {2147483647, "2147483647"}, {-2147483647 - 1, "-2147483648"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(json_of(c.v), c.json);
    EXPECT_EQ(json_of(std::uint32_t{4294967295u}), "4294967295");
    EXPECT_EQ(json_of(std::uint16_t{65535}), "65535");
}

TEST(WriteList, ElementsAreSeparatedByCommasOnly) {
    EXPECT_EQ(json_of(std::vector<int>{}), "[]");
    EXPECT_EQ(json_of(std::vector<int>{1, -2, 3}), "[1,-2,3]");
    EXPECT_EQ(json_of(std::vector<std::string>{"a", "\n"}), "[\"a\",\"\\n\"]");
}

} // namespace
