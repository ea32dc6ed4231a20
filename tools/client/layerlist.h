// The layer records the tools send, read and show, under their short names.
#pragma once

#include <cstddef>

#include "protocol/layerimagequality.h"
#include "tools/common/layersettings.h"

namespace lcdclient {

using LCD::ProtoModel::Layer::LayerList;
using lcdtools::LayerRecord;

// The most layers a tool takes in at once, from a file or from the device:
// some 10 MB of records. A text can name far more than it is long ("{},"
// is three bytes for a record of a hundred), so its bytes alone do not
// bound them.
constexpr std::size_t kMostLayers = 100000;

} // namespace lcdclient
