// Test helpers: a layer record as its 25 ints in member order.
#pragma once

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/support/test_support.h"

namespace testing_layers {

using Layer = LCD::ProtoModel::Layer::s_LayerImageQualityBody;
using List = std::vector<Layer>;
using Ints = std::array<int, 25>;

inline Ints ints_of(const Layer& l) {
    Ints out;
    std::memcpy(out.data(), &l, sizeof l); // the layout is pinned in the header
    return out;
}

inline Layer layer_of(const Ints& v) {
    Layer l;
    std::memcpy(static_cast<void*>(&l), v.data(), sizeof l);
    return l;
}

// Byte for byte: the 25 ints of a record have no padding between them.
inline bool same_records(const List& a, const List& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Layer)) == 0);
}

inline const Ints kDefaults = {0,  0,  0,   0,  50, 220, 50,  50, 50, 50, 50, 50, 50,
                               50, 50, 100, 50, 50, 50,  100, 0,  0,  50, 50, 50};

using testsupport::codec_error;

} // namespace testing_layers
