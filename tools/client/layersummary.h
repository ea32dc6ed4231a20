// A layer record in a person's words, as lcdhost and lcdpanel show it:
//
//   lcdclient::summary(layer);       // "layer 3: hue -10, contrast.R 60", or "layer 3: defaults"
//   lcdclient::sameRecord(a, b);     // every member equal, the layer id included
//   std::sort(list.begin(), list.end(), lcdclient::recordBefore);  // one order for any list
#pragma once

#include <string>

#include "tools/client/layerlist.h"

namespace lcdclient {

// The layer id and the settings that differ from the record's defaults.
std::string summary(const LayerRecord& layer);

bool sameRecord(const LayerRecord& a, const LayerRecord& b);
// A strict order of records: by layer id, then by each setting.
bool recordBefore(const LayerRecord& a, const LayerRecord& b);

} // namespace lcdclient
