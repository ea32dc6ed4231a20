#include <cstddef>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/protocol/allocation_log.h"
#include "tests/protocol/layer_list.h"

namespace {

using LCD::ProtoModel::decode;
using LCD::ProtoModel::encode;
using testing_layers::ints_of;
using testing_layers::layer_of;
using List = std::vector<LCD::ProtoModel::Layer::s_LayerImageQualityBody>;

std::string encoded(const List& list) {
    std::string out = "prior content";
    encode(out, list);
    return out;
}

List zeros(std::size_t n) { return List(n, layer_of(testing_layers::Ints{})); }

TEST(Encode, LayerThreeAtItsDefaultsIsThe349ByteBody) {
    List list(1);
    list[0].layerId = 3;
    const std::string body = encoded(list);
    EXPECT_EQ(body,
              "[{\"layerId\":3,\"imageQuality\":{\"imageQualityMode\":0,\"eyeCare\":0,\"hue\":0,\"saturation\":50,"
              "\"gamma\":220,\"contrast\":{\"R\":50,\"G\":50,\"B\":50},\"brightness\":{\"R\":50,\"G\":50,\"B\":50},"
              "\"shadow\":{\"R\":50,\"G\":50,\"B\":50,\"W\":100},\"highLight\":{\"R\":50,\"G\":50,\"B\":50,\"W\":100},"
              "\"colorTemperature\":{\"mode\":0,\"quickAdjust\":{\"value\":0},\"advanceAdjust\":{\"R\":50,\"G\":50,"
              "\"B\":50}}}}]");
    EXPECT_EQ(body.size(), 349u);
    list[0].imageQuality.hue = -10;
    EXPECT_EQ(encoded(list).size(), 351u);
}

TEST(Encode, SizesOfEmptyAndAllZeroLists) {
    EXPECT_EQ(encoded(List{}), "[]");
    EXPECT_EQ(encoded(zeros(1)).size(), 327u);
    const std::string two = encoded(zeros(2));
    EXPECT_EQ(two.size(), 653u);
    EXPECT_EQ(two.substr(0, 2), "[{");
    EXPECT_EQ(two.substr(325, 3), "},{");  // the comma stands only between the elements
    EXPECT_EQ(two.substr(two.size() - 2), "}]");
    EXPECT_EQ(encoded(zeros(5)).size(), 327u + 4 * 326u);
}

TEST(Encode, WrittenRecordsReadBackToTheSame25Values) {
    testing_layers::Ints extreme;
    for (std::size_t i = 0; i < extreme.size(); ++i)
        extreme[i] = i % 2 ? 2147483647 : -2147483647 - 1;
    const List list{List::value_type{}, layer_of(extreme)};
    List back;
    std::string err;
    ASSERT_TRUE(decode(encoded(list), back, err)) << err;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(ints_of(back[0]), testing_layers::kDefaults);
    EXPECT_EQ(ints_of(back[1]), extreme);
}

TEST(Encode, BodyOfThreeRecordsTakesOne1024ByteBufferAndTheResult) {
    const List list = zeros(3);
    std::string out;
    encode(out, list);  // field lists and key fragments are built on first use
    std::vector<std::size_t> sizes;
    out.clear();
    out.shrink_to_fit();
    {
        const allocation_log::recording rec(sizes);
        encode(out, list);
    }
    EXPECT_EQ(out.size(), 979u);
    ASSERT_EQ(sizes.size(), 2u);
    EXPECT_EQ(sizes[0], 1024u);  // the stream, never grown
}

} // namespace
