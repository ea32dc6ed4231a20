#include <cmath>

#include <gtest/gtest.h>

#include "tests/support/test_support.h"
#include "json/ajson.h"

namespace {

using testsupport::codec_error;

using ajson::token;

std::string text_of(const token& t) {
    return std::string(t.text.str, t.text.len);
}

// The texts of all tokens of `input` up to the end, then the error text if any.
std::vector<std::string> tokens(const std::string& input,
                                std::uint64_t limit = ajson::reader::no_limit) {
    std::vector<std::string> out;
    try {
        ajson::reader rd(input.c_str(), limit);
        for (rd.next(); rd.current().kind != token::end; rd.next())
            out.push_back(text_of(rd.current()));
    } catch (const ajson::exception& e) {
        out.push_back(e.what());
    }
    return out;
}

TEST(Reader, FirstTokenHasTheKindTextAndValueItsCharactersGive) {
    // u is checked for the integer kinds, d (exactly: the arithmetic is part of the contract) for
    // floating.
    const struct {
        const char* input;
        std::uint32_t kind;
        const char* text;
        bool negative;
        std::uint64_t u;
        double d;
    } cases[] = {
        {"\"ab\\\"c\" 1", token::string, "ab\\\"c", false, 0, 0},
        {"true ", token::string, "true", false, 0, 0},
        {"\"a\\\nb\" 1", token::string, "a\\\nb", false, 0,
         0}, // a backslash lets a raw line feed through
        {"+5 ", token::string, "+5", false, 0, 0},
        {"\f\v ", token::string, "\f\v", false, 0, 0},
        {"]", token::control, "]", false, 0, 0},
        {"007", token::unsigned_int, "007", false, 7, 0},
        {"18446744073709551615", token::unsigned_int, "18446744073709551615", false,
         18446744073709551615ull, 0},
        {"18446744073709551616", token::unsigned_int, "18446744073709551616", false, 0, 0},
        {"-5", token::signed_int, "-5", true, 5, 0},
        {"-", token::signed_int, "-", true, 0, 0},
        {"12ab ", token::unsigned_int, "12", false, 12, 0},
        {"0x1F ", token::unsigned_int, "0", false, 0, 0},
        {"0.3", token::floating, "0.3", false, 0, 0.30000000000000004},
        {"2E2", token::floating, "2E2", false, 0, 200.0},
        {"1e-2", token::floating, "1e-2", false, 0, 0.010000000000000002},
        {"1.", token::floating, "1.", false, 0, 1.0},
        {"1e+5", token::floating, "1e", false, 0, 1.0},
        {"-.5", token::floating, "-.5", true, 0, 0.5},
        {"1e400", token::floating, "1e400", false, 0, HUGE_VAL},
        {"1e-400", token::floating, "1e-400", false, 0, 0.0},
        {"1e4294967297", token::floating, "1e4294967297", false, 0, 10.0}, // exponent wraps to 1
        {"3e2147483648", token::floating, "3e2147483648", false, 0, 3.0}, // wraps below 0: unscaled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        ajson::reader rd(c.input);
        rd.next();
        const token& t = rd.current();
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(text_of(t), c.text);
        EXPECT_EQ(t.negative, c.negative);
        EXPECT_EQ(t.kind == token::floating ? 0 : t.value.u64, c.u);
        EXPECT_EQ(t.kind == token::floating ? t.value.d64 : 0, c.d);
    }
}

TEST(Reader, CommentsWhiteSpaceAndTheLengthLimit) {
    EXPECT_EQ(tokens("// word\n1 /* b */ 2\r\n\t/**/ /* * / **/3"),
              (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(tokens("1 // runs to the end"), std::vector<std::string>{"1"});
    EXPECT_EQ(tokens("1 /* never closed *"), std::vector<std::string>{"1"});
    EXPECT_EQ(tokens("'a b' 12ab "), (std::vector<std::string>{"'a", "b'", "12", "ab"}));
    EXPECT_EQ(tokens("[1,2]", 3), (std::vector<std::string>{"[", "1", ","}));
    EXPECT_EQ(tokens("[1,2]", 0), (std::vector<std::string>{"[", "1", ",", "2", "]"}));
    EXPECT_EQ(tokens("\"abc\"", 3),
              std::vector<std::string>{codec_error(3, "not a valid quote string!")});
}

TEST(Reader, ErrorTextNamesLineColumnAndFault) {
    const char *q = "not a valid quote string!", *n = "not a valid number!";
    const char *cm = "not a comment!", *st = "not a valid string!";
    const struct {
        const char* input;
        int line, col;
        const char* msg;
    } cases[] = {
        {"\"abc", 0, 4, q},
        {"{\n  \"R\": 1.2.3", 1, 11, n},
        {"1..", 0, 2, n},
        {"\n\"ab", 0, 4, q},
        {"\n\n\"ab", 1, 4, q}, // the line feed at offset 0 is never stepped onto
        // CR LF is one line break; CR alone is none and is not counted.
        {"1\r\n/x", 1, 2, cm},
        {"1\n/x", 1, 2, cm},
        {"1\r/x", 0, 2, cm},
        {"-12\r/x", 0, 4, cm},
        {"12\r\r\n3 /x", 1, 4, cm},
        {"\"a\rb", 0, 3, q},
        {"\"a\rb\" /x", 0, 6, cm},   // inside a string too
        {"\"a\\\nb\" /x", 1, 5, cm}, // an escaped line feed is a line break
        {"\"a\nb\"", 1, 0, q},
        {"\"a\\", 0, 3, q},
        {"/", 0, 1, cm},
        {"{} x", 0, 4, st},
        {"[1, nul", 0, 7, st},
    };
    for (const auto& c : cases)
        EXPECT_EQ(tokens(c.input).back(), "error at line :" + std::to_string(c.line) +
                                              " col :" + std::to_string(c.col) + " msg:" + c.msg)
            << c.input;
}

// Skips the first value of `input`; returns the text of the token the reader
// is left on, "<end>" at the end, or the error text.
std::string after_skip(const std::string& input) {
    try {
        ajson::reader rd(input.c_str());
        rd.next();
        ajson::skip(rd);
        return rd.current().kind == token::end ? "<end>" : text_of(rd.current());
    } catch (const ajson::exception& e) {
        return e.what();
    }
}

TEST(Skip, PassesOverOneValueOrRaisesAtAMalformedContainer) {
    const char* bad = "invalid json document!";
    const struct {
        const char* input;
        std::string after;
    } cases[] = {
        {"[[1,[2]],{\"a\":{\"b\":[]}}] 7", "7"},
        {"[1]", "<end>"},
        {"[1 2] 7", "7"},
        {"[1,,2,] 7", "7"}, // commas are optional; doubled and trailing ones are empty elements
        {"{\"a\":,\"b\":1 \"c\":2} 7", "7"}, // ',' in value position is an empty value
        {"{1:2, -3.5:x} 7", "7"},            // any scalar is a key
        {"[\"]\" 7", "7"},
        {": 7", ":"}, // punctuation is judged by its first character; ':' is left for the caller
        {"[1,2", codec_error(4, bad)},
        {"[1:2]", codec_error(3, bad)},
        {"[}", codec_error(2, bad)},
        {"{\"a\" 1}", codec_error(6, bad)},
        {"{[]:1}", codec_error(2, bad)},
        {"[{\"a\":1]", codec_error(8, bad)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(after_skip(c.input), c.after) << c.input;
}

TEST(Skip, DeepNestingNeitherExhaustsTheStackNorLosesABracketKind) {
    EXPECT_EQ(after_skip(std::string(1000000, '[')),
              codec_error(1000000, "invalid json document!"));
    // Alternating arrays and objects past 1024 levels: a wrong bit on the way
    // back out would make a closing bracket fail.
    std::string open, close;
    for (int i = 0; i < 3000; ++i) {
        open += i % 3 == 0 ? "{\"k\":" : "[0,";
        close.insert(0, i % 3 == 0 ? "}" : "]");
    }
    EXPECT_EQ(after_skip(open + "1" + close + " 7"), "7");
    std::string wrong = open + "1" + close;
    wrong.back() = ']'; // the outermost level is an object
    EXPECT_EQ(after_skip(wrong + " 7"),
              codec_error(static_cast<int>(wrong.size()), "invalid json document!"));
}

} // namespace
