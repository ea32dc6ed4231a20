#include <cstdint>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/read.h"

namespace {

// Reads one T from `input`; returns "" and sets `out`, or the error text.
template <class T>
std::string read_one(const std::string& input, T& out) {
    try {
        ajson::reader rd(input.c_str());
        rd.next();
        ajson::json_impl<T>::read(rd, out);
    } catch (const ajson::exception& e) {
        return e.what();
    }
    return "";
}

std::string err(int col, const char* msg) {
    return "error at line :0 col :" + std::to_string(col) + " msg:" + msg;
}

TEST(ReadInt, NumbersWordsAndStringsFollowTheSignedRules) {
    const struct {
        const char* input;
        int value;
    } cases[] = {
        {"42", 42},
        {"-5", -5},
        {"4294967297", 1},  // low 32 bits
        {"2147483648", -2147483647 - 1},
        {"-2147483648", -2147483647 - 1},
        {"18446744073709551616", 0},
        {"2.9", 2},
        {"-2.9", -2},
        {"1e10", 2147483647},
        {"-3e10", -2147483647},
        {"true ", 1},
        {"\"TrUe\"", 1},
        {"false ", 0},
        {"null ", 0},
        {"trueish ", 0},
        {"\"12\"", 12},
        {"\" \t-7x\"", -7},
        {"+5 ", 5},
        {"\"99999999999999999999\"", -1},  // saturates at INT64_MAX, low 32 bits all ones
        {"\"-99999999999999999999\"", 0},  // INT64_MIN, low 32 bits zero
        {"\"\"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        int v = 77;
        EXPECT_EQ(read_one(c.input, v), "");
        EXPECT_EQ(v, c.value);
    }
}

TEST(ReadInt, PunctuationOrTheEndIsNotANumber) {
    const char* msg = "not a valid signed integral like number.";
    int v = 77;
    EXPECT_EQ(read_one("[1]", v), err(1, msg));
    EXPECT_EQ(read_one("", v), err(0, msg));
    EXPECT_EQ(read_one("  }", v), err(3, msg));
    EXPECT_EQ(v, 77);
}

TEST(ReadUnsigned, ValuesAreCutToTheMemberWidth) {
    const struct {
        const char* input;
        std::uint32_t u32;
        std::uint16_t u16;
    } cases[] = {
        {"70000", 70000u, 4464u},
        {"65536", 65536u, 0u},
        {"4294967297", 1u, 1u},
        {"2.7", 2u, 2u},
        {"5e9", 4294967295u, 65535u},
        {"\"5\"", 5u, 5u},
        {"TRUE ", 1u, 1u},
        {"\"-1\"", 4294967295u, 65535u},
        {"\"99999999999999999999\"", 4294967295u, 65535u},
        {"null ", 0u, 0u},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::uint32_t a = 9;
        std::uint16_t b = 9;
        EXPECT_EQ(read_one(c.input, a), "");
        EXPECT_EQ(read_one(c.input, b), "");
        EXPECT_EQ(a, c.u32);
        EXPECT_EQ(b, c.u16);
    }
}

TEST(ReadUnsigned, NegativeNumbersAndPunctuationAreErrors) {
    const struct {
        const char* input;
        std::string error;
    } cases[] = {
        {"-1", err(2, "assign a negative signed integral to unsigned integral number.")},
        {"-0", err(2, "assign a negative signed integral to unsigned integral number.")},
        {"-0.5", err(4, "assign a negative float point to unsigned integral number.")},
        {"-1e3", err(4, "assign a negative float point to unsigned integral number.")},
        {"{}", err(1, "not a valid unsigned integral like number.")},
        {"", err(0, "not a valid unsigned integral like number.")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::uint16_t v = 9;
        EXPECT_EQ(read_one(c.input, v), c.error);
        EXPECT_EQ(v, 9u);
    }
}

TEST(ReadString, EscapesAreDecodedToUtf8) {
    const struct {
        const char* input;
        std::string value;
    } cases[] = {
        {"\"abc\"", "abc"},
        {"null ", "null"},
        {"\"\\\"\\\\\\/\\b\\f\\n\\r\\t\"", "\"\\/\b\f\n\r\t"},
        {"\"a\\u0041b\\u004a\"", "aAbJ"},
        {"\"\\u00e9\"", "\xC3\xA9"},
        {"\"\\u20AC\"", "\xE2\x82\xAC"},
        {"\"\\ud83d\\ude00\"", "\xF0\x9F\x98\x80"},
        {"\"\\ud83d\"", "\xED\xA0\xBD"},             // lone high half
        {"\"\\ude00\"", "\xED\xB8\x80"},             // lone low half
        {"\"\\ud83dx\"", "\xED\xA0\xBDx"},
        {"\"\\ud83d\\u0041\"", "\xED\xA0\xBD" "A"},  // second escape is no low half
        {"\"\xC3\xA9\xFF\"", "\xC3\xA9\xFF"},        // raw bytes pass unchecked
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::string v = "prior";
        EXPECT_EQ(read_one(c.input, v), "");
        EXPECT_EQ(v, c.value);
    }
}

TEST(ReadString, BadEscapesAndNonStringsAreNotValidStrings) {
    const char* msg = "not a valid string.";
    const struct {
        const char* input;
        std::string error;
    } cases[] = {
        {"\"\\u0000\"", err(8, msg)},
        {"\"\\x41\"", err(6, msg)},
        {"\"\\u12\"", err(6, msg)},
        {"\"\\u12G4\"", err(8, msg)},
        {"\"\\ud83d\\u12\"", err(12, msg)},
        {"5", err(1, msg)},
        {"[\"a\"]", err(1, msg)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::string v;
        EXPECT_EQ(read_one(c.input, v), c.error);
    }
}

TEST(EscapeString, FailureKeepsWhatWasDecodedBeforeTheBadEscape) {
    std::string out = "prior";
    EXPECT_FALSE(ajson::escape_string(out, "ab\\n\\x", 6));
    EXPECT_EQ(out, "ab\n");
    EXPECT_FALSE(ajson::escape_string(out, "ab\\", 3));
    EXPECT_EQ(out, "ab");
    EXPECT_TRUE(ajson::escape_string(out, "", 0));
    EXPECT_EQ(out, "");
    EXPECT_TRUE(ajson::escape_string(out, "a\0b", 3));  // the length decides, not a NUL
    EXPECT_EQ(out, std::string("a\0b", 3));
}

TEST(ReadVector, ElementsAreAppendedAndTheReaderLeftAfterTheArray) {
    std::vector<int> v{9};
    ajson::reader rd("[1, 2,3] 7");
    rd.next();
    ajson::json_impl<std::vector<int>>::read(rd, v);
    EXPECT_EQ(v, (std::vector<int>{9, 1, 2, 3}));
    EXPECT_EQ(std::string(rd.current().text.str, rd.current().text.len), "7");
}

TEST(ReadVector, ArrayShapes) {
    const struct {
        const char* input;
        std::vector<int> value;
        std::string error;
    } cases[] = {
        {"[]", {}, ""},
        {"[1,]", {1}, ""},
        {"[1, x ]", {1, 0}, ""},
        {"[1 2]", {1}, err(4, "no valid array!")},
        {"[1,,2]", {1, 0}, err(4, "not a valid signed integral like number.")},
        {"[,]", {0}, err(2, "not a valid signed integral like number.")},
        {"1", {}, err(1, "array must start with [.")},
        {"", {}, err(0, "array must start with [.")},
        {"[1", {1}, err(2, "no valid array!")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        std::vector<int> v;
        EXPECT_EQ(read_one(c.input, v), c.error);
        EXPECT_EQ(v, c.value);  // a failing element stays appended
    }
}

std::vector<std::string> names(const char* list) {
    std::vector<std::string> out;
    for (const auto& f : ajson::detail::split_fields(list))
        out.emplace_back(f.str, f.len);
    return out;
}

TEST(FieldList, NamesAreTheRunsBetweenCommasAndWhiteSpace) {
    EXPECT_EQ(names("R, G, B, W"), (std::vector<std::string>{"R", "G", "B", "W"}));
    EXPECT_EQ(names(" a,,b ,\tc\r\n\fd,"), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(names("\vx"), std::vector<std::string>{"\vx"});  // vertical tab is part of a name
    EXPECT_TRUE(names(" , ,\t\n").empty());
    EXPECT_TRUE(names("").empty());

    static_assert(ajson::detail::count_fields("imageQualityMode, eyeCare, hue") == 3, "");
    static_assert(ajson::detail::count_fields(" ,, ") == 0, "");
    static_assert(ajson::detail::fields_unique("R, G, B"), "");
    static_assert(!ajson::detail::fields_unique("R, G, R"), "");
    static_assert(ajson::detail::fields_unique("R, RR, R2"), "");
}

TEST(FieldList, NamesPointIntoTheListString) {
    static const char list[] = "layerId, imageQuality";
    const auto fields = ajson::detail::split_fields(list);
    ASSERT_EQ(fields.size(), 2u);
    EXPECT_EQ(fields[0].str, list);
    EXPECT_EQ(fields[1].str, list + 9);
    EXPECT_EQ(fields[1].len, 12u);
}

TEST(CharTable, HexDigitsHaveTheirValuesAndWhiteSpaceIs17) {
    const unsigned char* t = ajson::detail::char_table();
    for (int c = 0; c <= 'f'; ++c) {
        SCOPED_TRACE(c);
        int want = 16;
        if (c >= '0' && c <= '9')
            want = c - '0';
        else if (c >= 'A' && c <= 'F')
            want = c - 'A' + 10;
        else if (c >= 'a' && c <= 'f')
            want = c - 'a' + 10;
        else if (c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' ')
            want = 17;
        EXPECT_EQ(t[c], want);
    }
}

} // namespace
