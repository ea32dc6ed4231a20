#include <gtest/gtest.h>

#include "tests/support/codec.h"
#include "tests/support/test_support.h"

namespace rec {

struct Channel {
    int R = 1;
    int G = 2;
    int B = 3;
};
struct Mixed {
    std::string name = "n";
    std::uint16_t small = 7;
    Channel channel;
    std::vector<int> list;
    int last = 9;
};

} // namespace rec

AJSON(rec::Channel, R, G, B)
AJSON(rec::Mixed, name, small, channel, list, last)

namespace {

using namespace testsupport;

// The three members read from `input` over the defaults 1, 2, 3, then the error text if any.
std::string channel_of(const std::string& input) {
    rec::Channel ch;
    const std::string e = read_into(input, ch);
    return std::to_string(ch.R) + "," + std::to_string(ch.G) + "," + std::to_string(ch.B) +
           (e.empty() ? "" : " " + e);
}

TEST(Record, KeysMatchExactlyInAnyOrderUnknownOnesAreSkippedAndFaultsKeepWhatWasRead) {
    const struct {
        const char* input;
        std::string want;
    } cases[] = {
        {"{\"B\":30,\"G\":20,\"R\":10}", "10,20,30"},
        {"{R:10}", "10,2,3"},              // a bare-word key
        {"{\"r\":10,\"G \":20}", "1,2,3"}, // case and blanks count
        {"{\"\\u0052\":10}", "1,2,3"},     // escapes in keys are not decoded
        {"{\"R\":10,\"R\":11}", "11,2,3"}, // the later value stays
        {"{\"x\":{\"R\":10,\"y\":[1,{}]},\"G\":20}", "1,20,3"},
        {"{\"x\":,\"G\":20}", "1,20,3"}, // a skipped key may have no value
        {"[", "1,2,3 " + codec_error(1, "read object must start with {!")},
        {"{\"R\":1,}", "1,2,3 " + codec_error(8, "object key must be string")},
        {"{1:2}", "1,2,3 " + codec_error(2, "object key must be string")},
        {"{\"R\" 1}", "1,2,3 " + codec_error(6, "invalid json document!")},
        {"{\"R\":1", "1,2,3 " + codec_error(6, "invalid json document!")},
        {"{\"R\":10,\"G\":20 \"B\":30}", "10,20,3 " + codec_error(18, "invalid json document!")},
        {"{\"R\":}", "1,2,3 " + codec_error(6, "not a valid signed integral like number.")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(channel_of(c.input), c.want) << c.input;
}

TEST(Record, NestedRecordsVectorsAndStringsAreReadByTheirOwnRulesAndWrittenInListOrder) {
    rec::Mixed m;
    std::string after;
    EXPECT_EQ(
        read_into(
            "{\"list\":[4,5],\"channel\":{},\"name\":\"a\\tb\",\"small\":70000,\"last\":-1} 8", m,
            &after),
        "");
    EXPECT_EQ(after, "8");
    EXPECT_EQ(json_of(m), // an empty nested object keeps its values
              "{\"name\":\"a\\tb\",\"small\":4464,\"channel\":{\"R\":1,\"G\":2,\"B\":3},\"list\":["
              "4,5],\"last\":-1}");
}

// Compact text is read in place (keys in list order, numbers converted
// from the text) and escapes are stepped over in runs only when the reader
// has no limit; a limit no text reaches takes the scanning path for every
// key and character. Both must agree on every prefix of these texts:
// values, error texts with their positions, and the token left current.
TEST(Record, KeysFoundInPlaceReadExactlyLikeScannedKeys) {
    const char* const texts[] = {
        "{\"name\":\"a\\\"b\\\\c\",\"small\":5,\"channel\":{\"R\":4,\"G\":5,\"B\":6},\"list\":[1,2]"
        ",\"last\":8} 7",
        "{ \"name\" :\"x\\\ny\", \"small\"\n:5,\"channel\":{\"R\":4,\"B\":6,\"G\":5},\"last\":8}",
        "{\"nam\":1,\"names\":2,\"name\":\"a\rb\",\"small\":\n5/*c*/"
        ",\"channel\":{\"R\"\r\n:4},\"last\":-8}",
        "{\"name\":\"\\\r\"}",
        "{\"name\":\"\r\\\"\",\"small\":\"5\",\"channel\":{\"R\":4.5,\"G\":1e2},\"last\":1}",
        "{\"small\":70000,\"channel\":{\"R\":99999999,\"G\":-0,\"B\":1234567890123},\"last\":-9}",
        "{\"small\":-1}",
    };
    for (const std::string text : texts) {
        for (std::size_t n = 0; n <= text.size(); ++n) {
            const std::string prefix = text.substr(0, n);
            SCOPED_TRACE(prefix);
            rec::Mixed fast;
            rec::Mixed scanned;
            std::string after_fast;
            std::string after_scanned;
            EXPECT_EQ(read_into(prefix, fast, &after_fast),
                      read_into(prefix, scanned, &after_scanned, ajson::reader::scanning_only));
            EXPECT_EQ(after_fast, after_scanned);
            EXPECT_EQ(json_of(fast), json_of(scanned)); // every member, as ASCII text
        }
    }
}

} // namespace
