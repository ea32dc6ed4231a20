#include <string>

#include <gtest/gtest.h>

#include "protocol/autoreport.h"
#include "protocol/protomodel.h"

namespace {

using LCD::AutoReport::LCDAutoReportData;
using LCD::ProtoModel::decode;

// An envelope around the given members of "tl" and the given "body" value.
std::string report(const std::string& tl, const std::string& body) {
    return "{\"source\":\"lcd\",\"seq\":17,\"sn\":\"SN-1\",\"tl\":" + tl + ",\"body\":" + body +
           "}";
}

TEST(AutoReport, TheEnvelopeIsReadWithItsBodyStringUnescaped) {
    const std::string text = report("{\"CommandCode\":4097,\"ErrorCode\":0,\"UserDataLength\":21}",
                                    "\"[{\\\"layerId\\\":3}]\"");
    LCDAutoReportData data;
    std::string err;
    ASSERT_TRUE(decode(text, data, err)) << err;
    EXPECT_EQ(data.source, "lcd");
    EXPECT_EQ(data.seq, 17u);
    EXPECT_EQ(data.sn, "SN-1");
    EXPECT_EQ(data.tl.CommandCode, 4097u);
    EXPECT_EQ(data.tl.ErrorCode, 0u);
    EXPECT_EQ(data.tl.UserDataLength, 21u);
    EXPECT_EQ(data.body, "[{\"layerId\":3}]");
    // The body string's escapes are undone.
    ASSERT_TRUE(decode(report("{}", "\"[{\\n\\\"layerId\\\":\\u0034}]\""), data, err)) << err;
    EXPECT_EQ(data.body, "[{\n\"layerId\":4}]");
}

TEST(AutoReport, HeaderNumbersAreKeptInTheirOwnWidth) {
    const struct {
        const char* tl;
        unsigned command, error, length;
    } cases[] = {
        {"{\"ErrorCode\":70000}", 0, 4464,
         0}, // a non-zero code still decodes; the caller judges it
        {"{\"CommandCode\":4294967297,\"UserDataLength\":65537}", 1, 0, 1},
        {"{}", 0, 0, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tl);
        LCDAutoReportData data;
        std::string err;
        ASSERT_TRUE(decode(report(c.tl, "\"b\""), data, err)) << err;
        EXPECT_EQ(data.tl.CommandCode, c.command);
        EXPECT_EQ(data.tl.ErrorCode, c.error);
        EXPECT_EQ(data.tl.UserDataLength, c.length);
        EXPECT_EQ(data.body, "b"); // members after "tl" are read
    }
}

// A value of the wrong shape fails at its own place.
TEST(AutoReport, BodyGivenAsAnArrayFailsAtTheArray) {
    LCDAutoReportData data;
    std::string err;
    const std::string text = report("{}", "[1]");
    EXPECT_FALSE(decode(text, data, err));
    EXPECT_EQ(err, "error at line :0 col :" + std::to_string(text.find("[1]") + 1) +
                       " msg:not a valid string.");
    EXPECT_EQ(data.seq, 17u); // read before the fault, kept
}

} // namespace
