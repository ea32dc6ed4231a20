// The client library's rules for what comes from outside: a device's text
// made printable, a device address taken as the tools take it, a reply's
// code read strictly (lcdhost's answers pin the common faults).
#include <gtest/gtest.h>

#include <string>
#include <utility>

#include "tools/client/deviceurl.h"
#include "tools/client/replycode.h"
#include "tools/common/printable.h"

namespace {

using namespace std::string_literals;

TEST(Printable, ControlBytesAndBrokenUtf8AreEscapedAndALongTextIsCutAtACharacter) {
    const std::pair<std::string, std::string> cases[] = {
        {"a\tb\nc\rd", "a\\tb\\nc\\rd"},
        {"\x1b[2J\x7f\0x"s, "\\x1b[2J\\x7f\\x00x"},
        {"h\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80", "h\xc3\xa9 \xe2\x82\xac \xf0\x9f\x98\x80"},
        {"\xc2\x9b"
         "31m",
         "\\u009b31m"},                                       // a C1 control
        {"\xff\xc3(\xe0\x80\x80\xed\xa0\x80\xf4\x90\x80\x80", // bad lead, cut, overlong,
         "\\xff\\xc3(\\xe0\\x80\\x80\\xed\\xa0\\x80\\xf4\\x90\\x80\\x80"}, // surrogate, too high
        {std::string(39, 'x') + "\xc3\xa9", std::string(39, 'x') + "... (41 bytes)"},
    };
    for (const auto& [text, shown] : cases)
        EXPECT_EQ(lcdtools::printable(text, 40), shown) << text;
}

TEST(DeviceUrl, OnlyAnAddressIsTakenAndATrailingSlashIsDropped) {
    const std::string form = "; give http://HOST[:PORT] or https://HOST[:PORT]";
    const std::pair<std::string, std::string> cases[] = {
        {"https://dev.example/", ""},
        {"HTTP://[::1]:80/", ""},
        {"http://h//", "\"http://h//\" has a path (//)" + form},
        {"http://h/a?b#c", "\"http://h/a?b#c\" has a path (/a)" + form},
        {"http://h?b#c", "\"http://h?b#c\" has a query (?b)" + form},
        {"http://h/#c", "\"http://h/#c\" has a fragment (#c)" + form},
        {"http://a:b@h", "\"http://a:b@h\" has a user name in it; give it with --user"},
        {"http://h/\x1b", "\"http://h/\\x1b\" has a path (/\\x1b)" + form},
    };
    for (const auto& [given, fault] : cases) {
        std::string url = given;
        EXPECT_EQ(lcdclient::deviceUrlFault(url), fault) << given;
        const bool slash = fault.empty() && given.back() == '/';
        EXPECT_EQ(url, slash ? given.substr(0, given.size() - 1) : given) << given;
    }
}

TEST(ReplyCode, OnlyTheIntegerZeroAtTheTopOfAStrictJsonObjectIsAcceptance) {
    const std::string deep = "{\"x\":" + std::string(100000, '[') + std::string(100000, ']');
    const std::string notJson = "the device's reply is not JSON",
                      none = "the device's reply holds no code";
    const std::pair<std::string, std::string> cases[] = {
        {R"( {"message":{"code":5},"code":-0} )", ""},
        {deep + ",\"code\":0}", ""},
        {R"({"code":0.5})", "the device's code is 0.5, not 0"},
        {R"({"code":1e999})", "the device's code is 1e999, not 0"},
        {R"({"code":[0]})", "the device's code is [...], not 0"},
        {R"({"code":"\u001b[2J"})", "the device's code is \"\\x1b[2J\", not 0"},
        {R"({"code":0,"code":0})", "the device's reply gives its code more than once"},
        {R"({"data":{"code":0}})", none},
        {R"([{"code":0}])", none},
        {R"({"code":0} x)", notJson},
        {"{\"code\":0}\0x"s, notJson},
        {"{\"code\":0,\"m\":\"\xff\"}", notJson},
    };
    for (const auto& [reply, fault] : cases) {
        const lcdclient::ReplyCode code = lcdclient::readReplyCode(reply);
        EXPECT_EQ(code.fault(), fault) << reply.substr(0, 80);
        EXPECT_EQ(code.kind == lcdclient::ReplyCode::Kind::zero, fault.empty())
            << reply.substr(0, 80);
    }
}

} // namespace
