// Layer image-quality records as the simulated device keeps them: a strict
// check of a set body and the default record of a layer never set.
#pragma once

#include <nlohmann/json.hpp>

#include <map>
#include <optional>
#include <string>

namespace LCD {
namespace Sim {

using Json = nlohmann::ordered_json;

// A set body that passed the check.
struct LayerList {
    std::string text;                      // the list again, compact: what its report carries
    std::map<int, std::string> records;    // each layer's last record in it, compact
    std::optional<long long> unknownLayer; // the first layer id not within 1..layers
};

// Checks that `body` is an array of layer records holding exactly the
// members of a layer record, every leaf a 32-bit integer. On failure returns
// false and puts what is wrong into `what` (without the "malformed body: "
// prefix): the first fault of JSON syntax, else the first fault of a record.
// Each record is checked and set aside as it is read, so a large body never
// stands in memory as a whole tree.
bool parseLayerList(const std::string& body, int layers, LayerList& out, std::string& what);

// The record of layer `layerId` with every member at its initial value.
Json defaultLayerRecord(int layerId);

} // namespace Sim
} // namespace LCD
