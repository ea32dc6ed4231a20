// What the device holds now: GET "/movra/v1/layers/list-detail" through the
// communicator, with the communicator's token, as a requester would.
//
//   lcdhost::LayerList layers;
//   std::string error;
//   if (!lcdhost::readDeviceLayers(layers, &error)) { ... error says why ... }
#pragma once

#include <string>
#include <vector>

#include "protocol/layerimagequality.h"

namespace lcdhost {

using LayerList = std::vector<LCD::ProtoModel::Layer::s_LayerImageQualityBody>;

// Replaces `layers` with the device's layers, in the device's order. False,
// with `layers` untouched and the reason in `error`, when the request fails,
// the device refuses it (its code and message are given) or the reply is not
// a list of layer records.
bool readDeviceLayers(LayerList& layers, std::string* error);

} // namespace lcdhost
