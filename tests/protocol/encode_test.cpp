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

// A stream that never admits to free room, so every byte of a record goes
// through the checked appends instead of the one-room-check store.
class checked_only : public ajson::ajson_string_stream<> {
public:
    using ajson_string_stream::ajson_string_stream;
    std::size_t free_space() const noexcept { return 0; }
};

List mixed(std::size_t n) {
    List list;
    for (std::size_t i = 0; i < n; ++i) {
        testing_layers::Ints v;
        for (std::size_t k = 0; k < v.size(); ++k) {
            const int picks[] = {0, -1, 7, -2147483647 - 1, 2147483647, 99, -100, 123456, 10};
            v[k] = picks[(i * 7 + k) % 9];
        }
        list.push_back(layer_of(v));
    }
    return list;
}

TEST(Encode, StoredRecordsAreTheBytesOfTheCheckedAppendsAndGrowTheBufferTheSame) {
    for (std::size_t n = 1; n <= 9; ++n) {
        SCOPED_TRACE(n);
        const List list = mixed(n);
        checked_only slow(1024);
        ajson::lite_write<checked_only> w(slow);
        ajson::json_impl<List>::write(w, list);
        EXPECT_EQ(encoded(list), std::string(slow.data(), slow.size()));

        ajson::ajson_string_stream<> fast(1024);
        ajson::lite_write<ajson::ajson_string_stream<>> fw(fast);
        ajson::json_impl<List>::write(fw, list);
        // Growth only when an append does not fit, to the next multiple of 1024.
        const std::size_t rounded = (fast.size() + 1023) & ~std::size_t(1023);
        EXPECT_EQ(fast.capacity(), rounded < 1024 ? 1024 : rounded);
        EXPECT_EQ(slow.capacity(), fast.capacity());
    }
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
