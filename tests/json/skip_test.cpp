#include <string>

#include <gtest/gtest.h>

#include "json/skip.h"

namespace {

using ajson::token;

// Skips the first value of `input`; returns the text of the token the reader
// is left on, "<end>" at the end, or the error text.
std::string after_skip(const std::string& input) {
    try {
        ajson::reader rd(input.c_str());
        rd.next();
        ajson::skip(rd);
        if (rd.current().kind == token::end)
            return "<end>";
        return std::string(rd.current().text.str, rd.current().text.len);
    } catch (const ajson::exception& e) {
        return e.what();
    }
}

TEST(Skip, PassesOverOneValueAndLeavesTheReaderOnTheTokenAfterIt) {
    const struct {
        const char* input;
        const char* after;
    } cases[] = {
        {"5 7", "7"},
        {"\"s\" 7", "7"},
        {"true 7", "7"},
        {"[] 7", "7"},
        {"{} 7", "7"},
        {"[[1,[2]],{\"a\":{\"b\":[]}}] 7", "7"},
        {"[1 2] 7", "7"},              // commas are optional
        {"[1,,2,] 7", "7"},            // doubled and trailing commas are empty elements
        {"[,] 7", "7"},
        {"{\"a\":1 \"b\":2} 7", "7"},
        {"{\"a\":,\"b\":1} 7", "7"},   // ',' in value position is an empty value
        {"{\"a\":} 7", "7"},
        {"{1:2, -3.5:x} 7", "7"},      // any scalar is a key
        {"[\"]\" 7", "7"},             // punctuation is judged by the first character of the text
        {"[1]", "<end>"},
        {"", "<end>"},
        {": 7", ":"},                  // other punctuation is left for the caller
        {"} 7", "}"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(after_skip(c.input), c.after);
    }
}

TEST(Skip, MalformedContainersRaiseInsteadOfLooping) {
    const struct {
        const char* input;
        const char* error;
    } cases[] = {
        {"[1,2", "error at line :0 col :4 msg:invalid json document!"},
        {"[1 2", "error at line :0 col :4 msg:invalid json document!"},
        {"[1:2]", "error at line :0 col :3 msg:invalid json document!"},
        {"[}", "error at line :0 col :2 msg:invalid json document!"},
        {"{\"a\" 1}", "error at line :0 col :6 msg:invalid json document!"},
        {"{[]:1}", "error at line :0 col :2 msg:invalid json document!"},
        {"{\"a\":1", "error at line :0 col :6 msg:invalid json document!"},
        {"{\"a\":]}", "error at line :0 col :6 msg:invalid json document!"},
        {"[{\"a\":1]", "error at line :0 col :8 msg:invalid json document!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.input);
        EXPECT_EQ(after_skip(c.input), c.error);
    }
}

TEST(Skip, AMillionOpenBracketsEndInAnErrorWithoutExhaustingTheStack) {
    const std::string deep(1000000, '[');
    EXPECT_EQ(after_skip(deep), "error at line :0 col :1000000 msg:invalid json document!");
}

TEST(Skip, DeepBalancedNestingIsSkippedWhole) {
    const std::string deep = std::string(1000000, '[') + std::string(1000000, ']') + " 7";
    EXPECT_EQ(after_skip(deep), "7");
}

TEST(Skip, MixedNestingDeeperThanTheInlineLevelsKeepsEachBracketKind) {
    // Alternating arrays and objects past 1024 levels: a wrong bit on the way
    // back out would make a closing bracket fail.
    std::string open, close;
    for (int i = 0; i < 3000; ++i) {
        if (i % 3 == 0) {
            open += "{\"k\":";
            close.insert(0, "}");
        } else {
            open += "[0,";
            close.insert(0, "]");
        }
    }
    EXPECT_EQ(after_skip(open + "1" + close + " 7"), "7");
    std::string wrong = open + "1" + close;
    wrong.back() = ']';  // the outermost level is an object
    EXPECT_EQ(after_skip(wrong + " 7"),
              "error at line :0 col :" + std::to_string(wrong.size()) + " msg:invalid json document!");
}

} // namespace
