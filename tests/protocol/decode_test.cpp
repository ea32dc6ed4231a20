#include <new>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/support/codec.h"
#include "tests/support/layer_records.h"
#include "tests/support/test_support.h"

namespace {

using layer_records::Ints;
using layer_records::ints_of;
using layer_records::kDefaults;
using layer_records::layer_of;
using LCD::ProtoModel::decode;
using LCD::ProtoModel::s_nullResponse;
using testsupport::codec_error;
using List = LCD::ProtoModel::Layer::LayerList;

// decode fails exactly when it says why in err, which starts as "prior"
// and is left alone otherwise.
TEST(DecodeReply, RowsOfTheReplyTable) {
    const struct {
        std::string text;
        std::string err;
        int code;
        std::string message;
    } cases[] = {
        {"{\"code\":0,\"message\":\"ok\"}", "prior", 0, "ok"},
        {"{\"code\":-3}", "prior", -3, "m"},
        {"", codec_error(0, "read object must start with {!"), 7, "m"},
        {"{\"code\":1}]", "prior", 1, "m"},
        {"{\"code\":1} x", codec_error(12, "not a valid string!"), 1, "m"},
        {std::string("{\"code\":2}\0garbage", 18), "prior", 2, "m"}, // a NUL ends the text
        {std::string("{\"code\":2,\0\"message\":1}", 23),
         codec_error(10, "object key must be string"), 2, "m"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        s_nullResponse out;
        out.code = 7;
        out.message = "m";
        std::string err = "prior";
        EXPECT_EQ(decode(c.text, out, err), c.err == "prior");
        EXPECT_EQ(err, c.err);
        EXPECT_EQ(std::tie(out.code, out.message), std::tie(c.code, c.message));
    }
}

// What the layer records add to a list's own rules.
TEST(DecodeList, RowsOfTheListTable) {
    const struct {
        const char* text;
        std::string err;
        std::size_t added;
    } cases[] = {
        {"", codec_error(0, "array must start with [."), 0},
        {"[]", "prior", 0},
        {"[{},{}]", "prior", 2},
        {"[1]", codec_error(2, "read object must start with {!"), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        List out(1);
        out[0].layerId = 99;
        std::string err = "prior";
        EXPECT_EQ(decode(c.text, out, err), c.err == "prior");
        EXPECT_EQ(err, c.err);
        ASSERT_EQ(out.size(), 1 + c.added);
        EXPECT_EQ(out[0].layerId, 99); // appended to, never cleared
        for (std::size_t i = 1; i < out.size(); ++i)
            EXPECT_EQ(ints_of(out[i]), kDefaults);
    }
}

TEST(DecodeLayer, EveryMemberLandsInItsPlace) {
    // Distinct values per member, given out of order and nested as written.
    const std::string text =
        "[{\"imageQuality\":{\"colorTemperature\":{\"advanceAdjust\":{\"B\":25,\"G\":24,\"R\":23},"
        "\"quickAdjust\":{\"value\":22},\"mode\":21},\"highLight\":{\"W\":20,\"B\":19,\"G\":18,"
        "\"R\":17},"
        "\"shadow\":{\"R\":13,\"G\":14,\"B\":15,\"W\":16},\"brightness\":{\"R\":10,\"G\":11,\"B\":"
        "12},"
        "\"contrast\":{\"R\":7,\"G\":8,\"B\":9},\"gamma\":6,\"saturation\":5,\"hue\":4,\"eyeCare\":"
        "3,"
        "\"imageQualityMode\":2},\"layerId\":1}]";
    List out;
    std::string err;
    ASSERT_TRUE(decode(text, out, err)) << err;
    ASSERT_EQ(out.size(), 1u);
    layer_records::Ints want;
    for (int i = 0; i < 25; ++i)
        want[static_cast<std::size_t>(i)] = i + 1;
    EXPECT_EQ(ints_of(out[0]), want);
}

using testsupport::decode_scanning;

// Compact text is read in place and anything else by scanning, handing over
// at the first unexpected character; every prefix of these texts must give
// the same result, error text and records both ways.
TEST(DecodeList, ReadingInPlaceAgreesWithScanningOnEveryPrefix) {
    List varied(3);
    for (std::size_t i = 0; i < varied.size(); ++i) {
        Ints v;
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = static_cast<int>((k * 37 + i * 11) % 300) - 150;
        v[i + 3] = i == 0 ? -2147483647 - 1 : i == 1 ? 2147483647 : 12345678;
        varied[i] = layer_of(v);
    }
    const std::string texts[] = {
        testsupport::json_of(varied),
        // Numbers of every length and in forms only scanning reads; blanks,
        // comments and keys out of order or unknown.
        "[{\"layerId\":99999999,\"imageQuality\":{\"imageQualityMode\":123456789012345,"
        "\"eyeCare\":-1234567890123456,\"hue\":18446744073709551617,\"saturation\":-,"
        "\"gamma\":2.5,\"contrast\":{\"R\":1e2,\"G\":007,\"B\":-0},\"brightness\":{\"R\":\"7\","
        "\"G\":true,\"B\":8 },\"shadow\":{\"R\":1,\"W\":2,\"G\":3},\"highLight\":{\"x\":[1],"
        "\"R\":4,\"G\":5,\"B\":6,\"W\":7,\"R\":8},\"colorTemperature\":{\"mode\":1/**/,"
        "\"quickAdjust\":{\"value\":2},\"advanceAdjust\":{}}}},{},{\"layerId\":3}, ]",
        "[ {\"layerId\" : 1,\n\"imageQuality\":{\"hue\":-5,\"gamma\":1}} ,{\"layerId\":2}]",
        "[{\"layerId\":1,\"imageQuality\":5}]",
        "[{\"layerId\":2,}]",
    };
    for (const std::string& text : texts) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            const std::string prefix = text.substr(0, n);
            SCOPED_TRACE(prefix);
            List in_place, scanned;
            std::string err1 = "none", err2 = "none";
            EXPECT_EQ(decode(prefix, in_place, err1), decode_scanning(prefix, scanned, err2));
            EXPECT_EQ(err1, err2);
            EXPECT_EQ(testsupport::json_of(in_place), testsupport::json_of(scanned));
        }
    }
}

struct Throws {
    int kind;
};

} // namespace

template <>
struct ajson::json_impl<Throws> {
    static void read(reader&, Throws& t) {
        if (t.kind == 0)
            throw std::bad_alloc();
        if (t.kind == 1)
            throw std::runtime_error("other standard fault");
        throw 42;
    }
};

namespace {

TEST(Decode, StandardExceptionsBecomeFalseWithTheirTextOthersPassThrough) {
    std::string err;
    Throws t{0};
    EXPECT_FALSE(decode("{}", t, err));
    EXPECT_EQ(err, std::bad_alloc().what());
    t.kind = 1;
    EXPECT_FALSE(decode("{}", t, err));
    EXPECT_EQ(err, "other standard fault");
    t.kind = 2;
    EXPECT_THROW(decode("{}", t, err), int);
}

} // namespace
