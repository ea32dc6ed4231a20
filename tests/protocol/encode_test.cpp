#include <algorithm>

#include <gtest/gtest.h>

#include "tests/support/codec.h"
#include "tests/support/layer_records.h"

namespace {

using namespace layer_records;

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

// Every piece of every record a checked append. (The streams themselves
// store records whole, and those near the end of the buffer are formed
// aside and appended as one block.)
using Pieces = testsupport::pieces_only<>;

// The list written record by record into an S made of the arguments; after
// each record the capacity must be the rule's: the whole 1024-byte steps
// that hold the text.
template <class S, class... A>
std::string written(const List& list, A... arguments) {
    S s(arguments...);
    ajson::lite_write<S> w(s);
    for (std::size_t i = 0; i < list.size(); ++i) {
        w.put(i == 0 ? '[' : ',');
        ajson::json_impl<Layer>::write(w, list[i]);
        EXPECT_EQ(s.capacity(), std::max<std::size_t>(1024, (s.size() + 1023) / 1024 * 1024)) << i;
    }
    w.put(']');
    return std::string(s.data(), s.size());
}

// Stored whole by the standard stream (its buffer extended where it lies)
// and by one over another allocator (a new buffer per step), and piece by
// piece: the same bytes and the same capacity after every record.
TEST(Encode, EveryWayOfWritingKeepsTheBufferRuleAfterEveryRecordOfALongList) {
    List list;
    for (std::size_t i = 0; i < 1000; ++i) {
        Ints v;
        const int picks[] = {0, -1, 7, -2147483647 - 1, 2147483647, 99, -100, 123456789, 10};
        for (std::size_t k = 0; k < v.size(); ++k)
            v[k] = picks[(i * 7 + k) % 9];
        list.push_back(layer_of(v));
    }
    const std::string text = encoded(list);
    EXPECT_EQ(written<ajson::ajson_string_stream<>>(list, 1024), text);
    EXPECT_EQ(written<Pieces>(list, 1024), text);
    std::vector<std::size_t> blocks, steps;
    EXPECT_EQ(written<Noted>(list, 1024, noting_allocator{&blocks}), text);
    for (std::size_t cap = 1024; steps.empty() || steps.back() < text.size(); cap += 1024)
        steps.push_back(cap);
    EXPECT_EQ(blocks, steps); // a new buffer for every step
}

} // namespace
