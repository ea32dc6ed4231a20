// The layer records the tools send, read and show, under their short names.
#pragma once

#include "protocol/layerimagequality.h"
#include "tools/common/layersettings.h"

namespace lcdclient {

using LCD::ProtoModel::Layer::LayerList;
using lcdtools::LayerRecord;

} // namespace lcdclient
