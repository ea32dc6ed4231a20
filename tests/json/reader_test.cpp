#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "json/reader.h"

namespace {

using ajson::token;

std::string text_of(const token& t) { return std::string(t.text.str, t.text.len); }

// The error text a whole scan of `input` ends in, or "" when it reaches the end.
std::string scan_error(const std::string& input) {
    try {
        ajson::reader rd(input.c_str());
        for (rd.next(); rd.current().kind != token::end; rd.next()) {
        }
    } catch (const ajson::exception& e) {
        return e.what();
    }
    return "";
}

std::vector<std::string> token_texts(const std::string& input, std::uint64_t limit = ajson::reader::no_limit) {
    std::vector<std::string> out;
    ajson::reader rd(input.c_str(), limit);
    for (rd.next(); rd.current().kind != token::end; rd.next())
        out.push_back(text_of(rd.current()));
    return out;
}

struct TokenCase {
    const char* input;
    std::uint32_t kind;
    const char* text;
    bool negative;
    std::uint64_t u;  // integer kinds
    double d;         // floating kind
};

TEST(Reader, FirstTokenHasTheKindTextAndValueItsCharactersGive) {
    const TokenCase cases[] = {
        {"\"ab\\\"c\" 1", token::string, "ab\\\"c", false, 0, 0},
        {"\"\" 1", token::string, "", false, 0, 0},
        {"true ", token::string, "true", false, 0, 0},
        {"'ab' ", token::string, "'ab'", false, 0, 0},
        {"'a b' ", token::string, "'a", false, 0, 0},
        {".5 ", token::string, ".5", false, 0, 0},
        {"+5 ", token::string, "+5", false, 0, 0},
        {"\f\v ", token::string, "\f\v", false, 0, 0},
        {"{", token::control, "{", false, 0, 0},
        {"]", token::control, "]", false, 0, 0},
        {"0", token::unsigned_int, "0", false, 0, 0},
        {"007", token::unsigned_int, "007", false, 7, 0},
        {"18446744073709551615", token::unsigned_int, "18446744073709551615", false, 18446744073709551615ull, 0},
        {"18446744073709551616", token::unsigned_int, "18446744073709551616", false, 0, 0},
        {"-5", token::signed_int, "-5", true, 5, 0},
        {"-", token::signed_int, "-", true, 0, 0},
        {"12ab ", token::unsigned_int, "12", false, 12, 0},
        {"0x1F ", token::unsigned_int, "0", false, 0, 0},
        {"0.3", token::floating, "0.3", false, 0, 0.30000000000000004},
        {"1e-2", token::floating, "1e-2", false, 0, 0.010000000000000002},
        {"1.5e3", token::floating, "1.5e3", false, 0, 1500.0},
        {"2E2", token::floating, "2E2", false, 0, 200.0},
        {"1.", token::floating, "1.", false, 0, 1.0},
        {"1e", token::floating, "1e", false, 0, 1.0},
        {"1e+5", token::floating, "1e", false, 0, 1.0},
        {"-.5", token::floating, "-.5", true, 0, 0.5},
        {"-2.25", token::floating, "-2.25", true, 0, 2.25},
        {"1e400", token::floating, "1e400", false, 0, HUGE_VAL},
        {"1e-400", token::floating, "1e-400", false, 0, 0.0},
        {"1e4294967297", token::floating, "1e4294967297", false, 0, 10.0},  // exponent wraps to 1
        {"3e2147483648", token::floating, "3e2147483648", false, 0, 3.0},   // wraps below 0: unscaled
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        ajson::reader rd(c.input);
        rd.next();
        const token& t = rd.current();
        EXPECT_EQ(t.kind, c.kind);
        EXPECT_EQ(text_of(t), c.text);
        EXPECT_EQ(t.negative, c.negative);
        if (c.kind == token::signed_int || c.kind == token::unsigned_int) {
            EXPECT_EQ(t.value.u64, c.u);
        }
        if (c.kind == token::floating) {
            EXPECT_EQ(t.value.d64, c.d);  // exact: the arithmetic is part of the contract
        }
    }
}

TEST(Reader, ApostrophesQuoteNothingAndNumbersNeedNoSeparator) {
    EXPECT_EQ(token_texts("'a b' 12ab 1e+5 0x1F "),
              (std::vector<std::string>{"'a", "b'", "12", "ab", "1e", "+5", "0", "x1F"}));
}

TEST(Reader, EmptyTextIsTheEndTokenAtTheTerminatingNul) {
    const char text[] = "";
    ajson::reader rd(text);
    rd.next();
    EXPECT_EQ(rd.current().kind, token::end);
    EXPECT_EQ(rd.current().text.str, text);
    EXPECT_EQ(rd.current().text.len, 1u);
    rd.next();  // the end is sticky
    EXPECT_EQ(rd.current().kind, token::end);
}

TEST(Reader, CommentsAndWhiteSpaceAlternateFreelyBeforeAToken) {
    EXPECT_EQ(token_texts("// word\n1 /* b */ 2\r\n\t/**/ /* * / **/3"),
              (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(token_texts("1 // runs to the end"), std::vector<std::string>{"1"});
    EXPECT_EQ(token_texts("1 /* never closed *"), std::vector<std::string>{"1"});
}

TEST(Reader, BackslashLetsAnyCharacterThroughIncludingARawLineFeed) {
    EXPECT_EQ(token_texts("\"a\\\nb\" 1"), (std::vector<std::string>{"a\\\nb", "1"}));
}

TEST(Reader, LengthLimitEndsTheInputBeforeItsNul) {
    EXPECT_EQ(token_texts("[1,2]", 3), (std::vector<std::string>{"[", "1", ","}));
    EXPECT_EQ(token_texts("[1,2]", 0), (std::vector<std::string>{"[", "1", ",", "2", "]"}));
    // A string cut by the limit is unterminated.
    try {
        ajson::reader rd("\"abc\"", 3);
        rd.next();
        FAIL() << "no error";
    } catch (const ajson::exception& e) {
        EXPECT_STREQ(e.what(), "error at line :0 col :3 msg:not a valid quote string!");
    }
}

TEST(Reader, ErrorTextNamesLineColumnAndFault) {
    const struct {
        const char* input;
        const char* error;
    } cases[] = {
        {"\"abc", "error at line :0 col :4 msg:not a valid quote string!"},
        {"{\n  \"R\": 1.2.3", "error at line :1 col :11 msg:not a valid number!"},
        {"1..", "error at line :0 col :2 msg:not a valid number!"},
        // The line feed at offset 0 is never stepped onto.
        {"\n\"ab", "error at line :0 col :4 msg:not a valid quote string!"},
        {"\n\n\"ab", "error at line :1 col :4 msg:not a valid quote string!"},
        // CR LF is one line break; CR alone is none and is not counted.
        {"1\r\n/x", "error at line :1 col :2 msg:not a comment!"},
        {"1\n/x", "error at line :1 col :2 msg:not a comment!"},
        {"1\r/x", "error at line :0 col :2 msg:not a comment!"},
        // Numbers and carriage returns in one run keep the count.
        {"-12\r/x", "error at line :0 col :4 msg:not a comment!"},
        {"12\r\r\n3 /x", "error at line :1 col :4 msg:not a comment!"},
        {"\"a\rb", "error at line :0 col :3 msg:not a valid quote string!"},
        {"\"a\nb\"", "error at line :1 col :0 msg:not a valid quote string!"},
        {"\"a\\", "error at line :0 col :3 msg:not a valid quote string!"},
        {"\"", "error at line :0 col :1 msg:not a valid quote string!"},
        {"/", "error at line :0 col :1 msg:not a comment!"},
        {"/x", "error at line :0 col :1 msg:not a comment!"},
        {"{} x", "error at line :0 col :4 msg:not a valid string!"},
        {"x", "error at line :0 col :1 msg:not a valid string!"},
        {"[1, nul", "error at line :0 col :7 msg:not a valid string!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(scan_error(c.input), c.error);
    }
}

TEST(Reader, ExceptionKeepsItsOwnCopyOfTheMessage) {
    std::string msg = "error at line :0 col :0 msg:x";
    ajson::exception e(msg);
    msg.assign("changed");
    EXPECT_STREQ(e.what(), "error at line :0 col :0 msg:x");
    const std::exception& base = e;
    EXPECT_STREQ(base.what(), "error at line :0 col :0 msg:x");
}

} // namespace
