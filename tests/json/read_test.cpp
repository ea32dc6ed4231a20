#include <type_traits>

#include <gtest/gtest.h>

#include "tests/support/codec.h"
#include "tests/support/test_support.h"

namespace {

using namespace testsupport;

// The value read from `input` as text, or the error text.
template <class T>
std::string got(const std::string& input) {
    T v{};
    const std::string e = read_into(input, v);
    if constexpr (std::is_same_v<T, std::string>)
        return e.empty() ? v : e;
    else
        return e.empty() ? std::to_string(v) : e;
}

TEST(ReadInt, NumbersWrapWordsAndStringsSaturate) {
    const struct {
        const char* input;
        std::string value;
    } cases[] = {
        {"-5", "-5"},
        {"4294967297", "1"},
        {"2147483648", "-2147483648"},
        {"18446744073709551616", "0"},
        {"-2.9", "-2"},
        {"1e10", "2147483647"},
        {"-3e10", "-2147483647"},
        {"+5 ", "5"},
        {"\"TrUe\"", "1"},
        {"false ", "0"},
        {"trueish ", "0"},
        {"\" \t-7x\"", "-7"},
        {"\"99999999999999999999\"", "-1"},
        {"\"-99999999999999999999\"", "0"}, // saturate at INT64_MAX/MIN, then the low 32 bits
        {"[1]", codec_error(1, "not a valid signed integral like number.")},
        {"  }", codec_error(3, "not a valid signed integral like number.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(got<int>(c.input), c.value) << c.input;
}

TEST(ReadUnsigned, ValuesAreCutToTheMemberWidthAndNegativesAreErrors) {
    const std::string neg_int =
        codec_error(2, "assign a negative signed integral to unsigned integral number.");
    const std::string neg_float =
        codec_error(4, "assign a negative float point to unsigned integral number.");
    const std::string punct = codec_error(1, "not a valid unsigned integral like number.");
    const struct {
        const char* input;
        std::string u32, u16;
    } cases[] = {
        {"70000", "70000", "4464"},
        {"4294967297", "1", "1"},
        {"2.7", "2", "2"},
        {"5e9", "4294967295", "65535"},
        {"TRUE ", "1", "1"},
        {"null ", "0", "0"},
        {"\"-1\"", "4294967295", "65535"},
        {"\"99999999999999999999\"", "4294967295", "65535"},
        {"-0", neg_int, neg_int},
        {"-0.5", neg_float, neg_float},
        {"-1e3", neg_float, neg_float},
        {"{}", punct, punct},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(got<std::uint32_t>(c.input), c.u32) << c.input;
        EXPECT_EQ(got<std::uint16_t>(c.input), c.u16) << c.input;
    }
}

TEST(ReadString, EscapesAreDecodedToUtf8) {
    const struct {
        const char* input;
        std::string value;
    } cases[] = {
        {"null ", "null"},
        {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\/\b\f\n\r\t"},
        {"\"a\\u0041b\\u004a\\u00e9\\u20AC\"", "aAbJ\xC3\xA9\xE2\x82\xAC"},
        {"\"\\ud83d\\ude00\"", "\xF0\x9F\x98\x80"},
        {"\"\\ud83d\\u0041\"", "\xED\xA0\xBD"
                               "A"},                          // second escape is no low half
        {"\"\\ud83dx\\ude00\"", "\xED\xA0\xBDx\xED\xB8\x80"}, // lone halves
        {"\"\xC3\xA9\xFF\"", "\xC3\xA9\xFF"},                 // raw bytes pass unchecked
        {"\"\\u0000\"", codec_error(8, "not a valid string.")},
        {"\"\\x41\"", codec_error(6, "not a valid string.")},
        {"\"\\u12\"", codec_error(6, "not a valid string.")},
        {"\"\\u12G4\"", codec_error(8, "not a valid string.")},
        {"\"\\ud83d\\u12\"", codec_error(12, "not a valid string.")},
        {"[\"a\"]", codec_error(1, "not a valid string.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(got<std::string>(c.input), c.value) << c.input;
}

TEST(EscapeString, FailureKeepsWhatWasDecodedBeforeTheBadEscape) {
    std::string out = "prior";
    EXPECT_FALSE(ajson::escape_string(out, "ab\\n\\x", 6));
    EXPECT_EQ(out, "ab\n");
    EXPECT_FALSE(ajson::escape_string(out, "ab\\", 3));
    EXPECT_EQ(out, "ab");
    EXPECT_TRUE(ajson::escape_string(out, "a\0b", 3)); // the length decides, not a NUL
    EXPECT_EQ(out, std::string("a\0b", 3));
}

TEST(ReadVector, ElementsAreAppendedAndAFailingOneStays) {
    const struct {
        const char* input;
        std::vector<int> value;
        std::string error;
    } cases[] = {
        {"[1, 2,3] 7", {9, 1, 2, 3}, ""},
        {"[1,]", {9, 1}, ""},
        {"[1, x ]", {9, 1, 0}, ""},
        {"[1 2]", {9, 1}, codec_error(4, "no valid array!")},
        {"[1", {9, 1}, codec_error(2, "no valid array!")},
        {"[1,,2]", {9, 1, 0}, codec_error(4, "not a valid signed integral like number.")},
        {"1", {9}, codec_error(1, "array must start with [.")},
    };
    for (const auto& c : cases) {
        std::vector<int> v{9};
        EXPECT_EQ(read_into(c.input, v), c.error) << c.input;
        EXPECT_EQ(v, c.value) << c.input;
    }
}

// A record's member names come from its declaration as the preprocessor
// spells it, "R, G, B"; a name that begins another is still a name of its own.
static_assert(ajson::detail::fields_unique("R, RR, R2"), "");

} // namespace
