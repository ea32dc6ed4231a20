// Layer image-quality records as the simulated device keeps them: a strict
// check of a set body and the default record of a layer never set.
#pragma once

#include <nlohmann/json.hpp>

#include <string>

namespace LCD {
namespace Sim {

using Json = nlohmann::ordered_json;

// Checks that `body` is an array of layer records holding exactly the
// members of a layer record, every leaf a 32-bit integer. On failure returns
// false and puts what is wrong into `what` (without the "malformed body: "
// prefix). On success `out` holds the parsed array.
bool parseLayerList(const std::string& body, Json& out, std::string& what);

// The record of layer `layerId` with every member at its initial value.
Json defaultLayerRecord(int layerId);

} // namespace Sim
} // namespace LCD
