// The communicator's exchanges with the device as lcdhost uses them: the
// last one on each path, to say why a request was refused or failed, and
// with -v each one on stderr as it happens (secrets shown as ***):
//
//   > PUT /movra/v1/layers/image-quality (Content-Type: application/json, Authorization: ***) [...]
//   < 200 in 1.2 ms: {"code":0,"message":"success"}
#pragma once

#include <string>

#include "platform/communicator/lcdcomm.h"

namespace lcdclient::exchangelog {

// Observes the communicator from now on; `verbose` prints each exchange.
void install(bool verbose);

// Forgets the exchanges seen so far, e.g. before the next request.
void forget();

// The last exchange on `path`; its method is empty when there was none.
lcdcomm::Exchange last(const std::string& path);

// Why the last exchange on `path` did not deliver a reply, or what the
// device said in a refusing one: "connection refused (...)", "code 20002
// \"unknown layer 99\"". Empty when there is nothing to say.
std::string why(const std::string& path);

} // namespace lcdclient::exchangelog
