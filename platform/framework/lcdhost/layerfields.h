// The members of a layer record by their dotted JSON names, so that a layer
// can be given on the command line:
//
//   LayerRecord layer;                       // the device defaults
//   lcdhost::fieldNames();                   // "layerId", "imageQualityMode", ...
//   lcdhost::fieldAt(layer, 6) = 60;         // fieldNames()[6] is "contrast.R"
//
// Names are those of the set request body without the "imageQuality."
// prefix; values are decimal 32-bit integers, a leading minus allowed.
#pragma once

#include <string>
#include <vector>

#include "protocol/layerimagequality.h"

namespace lcdhost {

using LayerRecord = LCD::ProtoModel::Layer::s_LayerImageQualityBody;

// All 25 names, in member order.
const std::vector<std::string>& fieldNames();

// The member named by fieldNames()[index].
int& fieldAt(LayerRecord& layer, std::size_t index);

// True when every member of `a` equals that of `b`, the layer id included.
bool sameRecord(const LayerRecord& a, const LayerRecord& b);

// "layer 3: hue -10, contrast.R 60": the members that differ from the
// device defaults, or "layer 3: defaults".
std::string summary(const LayerRecord& layer);

// Parses a whole decimal 32-bit integer ("-10", "220"); nothing else.
bool parseInt(const std::string& text, int& value);

} // namespace lcdhost
