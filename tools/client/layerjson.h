// Layer records as JSON text, the form of the set request body and of the
// device's list: read strictly from a file a person wrote, and written
// back for scripts.
//
//   lcdclient::LayerList layers;
//   std::string error;
//   if (!lcdclient::readLayerFile("layers.json", layers, error))
//       ... error: "layers.json:3:17: [0].imageQuality.hue: 99999999999 is not a 32-bit integer"
//   lcdclient::writeLayersJson(std::cout, layers);   // record by record
#pragma once

#include <ostream>
#include <string>

#include "tools/client/devicelayers.h"

namespace lcdclient {

// The name standard input goes by in messages.
constexpr const char* kStdinName = "<stdin>";

// The largest layer file read: some 45,000 records written out in full.
// It may hold at most kMostLayers records.
constexpr std::size_t kLayerFileMaxBytes = std::size_t(16) << 20;

// Reads `text` as an array of layer records: objects whose members are the
// record's members, each leaf an integer within 32 bits, no member unknown
// or given twice, nothing after the array. Members not given keep the
// record's defaults, no NUL byte anywhere. On a fault returns false, leaves
// `layers` as it was and puts "NAME:LINE:COLUMN: PATH: what" into `error`
// (PATH and its colon left out at the top level, bytes of the text
// quoted printable); lines and columns count from 1, in bytes.
bool readLayers(const std::string& text, const std::string& name, LayerList& layers,
                std::string& error);

// readLayers on the file at `path`, or on standard input for "-", read
// up to kLayerFileMaxBytes; a longer input is a fault.
bool readLayerFile(const std::string& path, LayerList& layers, std::string& error);

// The records as compact JSON that readLayers reads back, members in the
// body's order, written a record at a time: a long list is never held as a
// tree.
void writeLayersJson(std::ostream& out, const LayerList& layers);

} // namespace lcdclient
