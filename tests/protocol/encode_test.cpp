#include <utility>

#include <gtest/gtest.h>

#include "tests/protocol/layer_list.h"
#include "tests/support/codec.h"

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

// An allocator that notes the size of every buffer the stream obtains.
struct noting_allocator {
    using value_type = char;
    std::vector<std::size_t>* sizes;
    char* allocate(std::size_t n) {
        sizes->push_back(n);
        return std::allocator<char>().allocate(n);
    }
    void deallocate(char* p, std::size_t n) { std::allocator<char>().deallocate(p, n); }
};
using Noted = ajson::ajson_string_stream<noting_allocator>;

// Every piece of every record a checked append. (The stream itself stores
// records whole, and those near the end of its buffer are formed aside and
// appended as one block.)
using Pieces = testsupport::pieces_only<Noted>;

// The bytes a stream of type S holds after the list is written, and the
// sizes of the buffers it obtained on the way.
template <class S>
std::pair<std::string, std::vector<std::size_t>> written(const List& list) {
    std::vector<std::size_t> sizes;
    S s(1024, noting_allocator{&sizes});
    ajson::lite_write<S> w(s);
    ajson::json_impl<List>::write(w, list);
    return {std::string(s.data(), s.size()), sizes};
}

TEST(Encode, RecordsStoredWholeAreTheBytesAndTheBufferStepsOfTheCheckedAppends) {
    List list;
    for (std::size_t i = 0; i < 9; ++i) {
        Ints v;
        const int picks[] = {0, -1, 7, -2147483647 - 1, 2147483647, 99, -100, 123456789, 10};
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = picks[(i * 7 + k) % 9];
        list.push_back(layer_of(v));
        SCOPED_TRACE(list.size());
        const auto pieces = written<Pieces>(list);
        const auto stored = written<Noted>(list);
        EXPECT_EQ(encoded(list), pieces.first);
        EXPECT_EQ(stored.first, pieces.first);
        // 1024 bytes, then one more step each time an append does not fit.
        std::vector<std::size_t> steps;
        for (std::size_t cap = 1024; steps.empty() || steps.back() < pieces.first.size();
             cap += 1024)
            steps.push_back(cap);
        EXPECT_EQ(pieces.second, steps);
        EXPECT_EQ(stored.second, steps);
    }
}

} // namespace
