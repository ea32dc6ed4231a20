#include <string>
#include <tuple>

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

// Each row: the members of "tl" and the body's string as sent, then the
// header numbers as kept in their own widths (an absent one is 0) and the
// body with its escapes undone; the members after "tl" are read too.
TEST(AutoReport, TheEnvelopeIsReadWithHeaderNumbersInTheirWidthsAndTheBodyUnescaped) {
    const struct {
        const char* tl;
        const char* body;
        unsigned command, error, length;
        const char* unescaped;
    } cases[] = {
        {R"({"CommandCode":4097,"ErrorCode":0,"UserDataLength":21})", R"("[{\"layerId\":3}]")",
         4097, 0, 21, R"([{"layerId":3}])"},
        // A non-zero code still decodes; the caller judges it.
        {R"({"ErrorCode":70000})", R"("[{\n\"layerId\":\u0034}]")", 0, 4464, 0,
         "[{\n\"layerId\":4}]"},
        {R"({"CommandCode":4294967297,"UserDataLength":65537})", R"("b")", 1, 0, 1, "b"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tl);
        LCDAutoReportData data;
        std::string err;
        ASSERT_TRUE(decode(report(c.tl, c.body), data, err)) << err;
        EXPECT_EQ(std::tie(data.source, data.seq, data.sn), std::make_tuple("lcd", 17u, "SN-1"));
        EXPECT_EQ(std::tie(data.tl.CommandCode, data.tl.ErrorCode, data.tl.UserDataLength),
                  std::make_tuple(c.command, c.error, c.length));
        EXPECT_EQ(data.body, c.unescaped);
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
