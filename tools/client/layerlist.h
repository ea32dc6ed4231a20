// The layer records the tools send, read and show, under their short names.
#pragma once

#include "protocol/layerimagequality.h"
#include "tools/common/layersettings.h"

namespace lcdclient {

using lcdtools::LayerRecord;
using LCD::ProtoModel::Layer::LayerList;

} // namespace lcdclient
