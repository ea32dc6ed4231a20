// Layer records as the tests, fuzz targets and benchmarks handle them: a
// record as its 25 ints in member order, and lists compared byte for byte.
//
//   layer_records::ints_of(record)[2]          // its hue
//   layer_records::layer_of(ints)              // the record back
//   layer_records::same_records(a, b)          // every int of every record equal
//   layer_records::kDefaults                   // the ints of a default record
#pragma once

#include <array>
#include <cstring>

#include "protocol/layerimagequality.h"

namespace layer_records {

using Layer = LCD::ProtoModel::Layer::s_LayerImageQualityBody;
using List = LCD::ProtoModel::Layer::LayerList;
using Ints = std::array<int, sizeof(Layer) / sizeof(int)>;

// The layout is pinned in the record's header: 25 ints, no padding.
inline Ints ints_of(const Layer& l) {
    Ints out;
    std::memcpy(out.data(), &l, sizeof l);
    return out;
}

inline Layer layer_of(const Ints& v) {
    Layer l;
    std::memcpy(static_cast<void*>(&l), v.data(), sizeof l);
    return l;
}

inline bool same_records(const List& a, const List& b) {
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Layer)) == 0);
}

// Written out, not taken from the record, so that a changed default shows.
inline const Ints kDefaults = {0,  0,  0,   0,  50, 220, 50,  50, 50, 50, 50, 50, 50,
                               50, 50, 100, 50, 50, 50,  100, 0,  0,  50, 50, 50};

} // namespace layer_records
