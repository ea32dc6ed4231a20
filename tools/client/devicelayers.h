// What the device holds now: GET "/movra/v1/layers/list-detail" through the
// communicator, with the communicator's token, as a requester would.
//
//   lcdclient::LayerList layers;
//   std::string error;
//   if (!lcdclient::readDeviceLayers(layers, &error)) { ... error says why ... }
#pragma once

#include <string>
#include <vector>

#include "tools/client/layerlist.h"

namespace lcdclient {

// Replaces `layers` with the device's layers, in the device's order. False,
// with `layers` untouched and the reason in `error`, when the request fails,
// the device refuses it (an HTTP status outside 2xx or a code that is not
// exactly 0: its status, code and message are given) or the reply is not a
// list of layer records (`withCodecText`: with the codec's words, as -v
// shows them).
bool readDeviceLayers(LayerList& layers, std::string* error, bool withCodecText = false);

} // namespace lcdclient
