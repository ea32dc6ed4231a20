#include <utility>

#include "tests/protocol/layer_list.h"

namespace {

using namespace testing_layers;

std::string encoded(const List& list) {
    std::string out = "prior content";
    LCD::ProtoModel::encode(out, list);
    return out;
}

TEST(Encode, LayerThreeAtItsDefaultsIsThe349ByteBody) {
    List list(1);
    list[0].layerId = 3;
    EXPECT_EQ(encoded(list), "[{\"layerId\":3,\"imageQuality\":{\"imageQualityMode\":0,\"eyeCare\":"
                             "0,\"hue\":0,\"saturation\":50,"
                             "\"gamma\":220,\"contrast\":{\"R\":50,\"G\":50,\"B\":50},"
                             "\"brightness\":{\"R\":50,\"G\":50,\"B\":50},"
                             "\"shadow\":{\"R\":50,\"G\":50,\"B\":50,\"W\":100},\"highLight\":{"
                             "\"R\":50,\"G\":50,\"B\":50,\"W\":100},"
                             "\"colorTemperature\":{\"mode\":0,\"quickAdjust\":{\"value\":0},"
                             "\"advanceAdjust\":{\"R\":50,\"G\":50,"
                             "\"B\":50}}}}]");
    list[0].imageQuality.hue = -10;
    EXPECT_EQ(encoded(list).size(), 351u);
    EXPECT_EQ(encoded(List{}), "[]");
    const std::string two = encoded(List(2, layer_of(Ints{})));
    EXPECT_EQ(two.size(), 653u);
    EXPECT_EQ(two.substr(325, 3), "},{"); // the comma stands only between the elements
}

TEST(Encode, WrittenRecordsReadBackToTheSame25Values) {
    Ints extreme;
    for (std::size_t i = 0; i < extreme.size(); ++i)
        extreme[i] = i % 2 ? 2147483647 : -2147483647 - 1;
    const List list{Layer{}, layer_of(extreme)};
    List back;
    std::string err;
    ASSERT_TRUE(LCD::ProtoModel::decode(encoded(list), back, err)) << err;
    ASSERT_EQ(back.size(), 2u);
    EXPECT_EQ(ints_of(back[0]), kDefaults);
    EXPECT_EQ(ints_of(back[1]), extreme);
}

// A stream that never admits to free room, so every byte of a record goes
// through the checked appends instead of the one-room-check store.
class checked_only : public ajson::ajson_string_stream<> {
public:
    using ajson_string_stream::ajson_string_stream;
    std::size_t free_space() const noexcept { return 0; }
};

// The bytes a stream of type S holds after the list is written, and its capacity.
template <class S>
std::pair<std::string, std::size_t> written(const List& list) {
    S s(1024);
    ajson::lite_write<S> w(s);
    ajson::json_impl<List>::write(w, list);
    return {std::string(s.data(), s.size()), s.capacity()};
}

TEST(Encode, StoredRecordsAreTheBytesOfTheCheckedAppendsAndGrowTheBufferIn1024ByteSteps) {
    List list;
    for (std::size_t i = 0; i < 9; ++i) {
        Ints v;
        const int picks[] = {0, -1, 7, -2147483647 - 1, 2147483647, 99, -100, 123456, 10};
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = picks[(i * 7 + k) % 9];
        list.push_back(layer_of(v));
        SCOPED_TRACE(list.size());
        const auto slow = written<checked_only>(list);
        const auto fast = written<ajson::ajson_string_stream<>>(list);
        EXPECT_EQ(encoded(list), slow.first);
        EXPECT_EQ(fast.first, slow.first);
        // Growth only when an append does not fit, to the next multiple of 1024.
        const std::size_t rounded = (fast.first.size() + 1023) & ~std::size_t(1023);
        EXPECT_EQ(fast.second, rounded < 1024 ? 1024 : rounded);
        EXPECT_EQ(slow.second, fast.second);
    }
}

} // namespace
