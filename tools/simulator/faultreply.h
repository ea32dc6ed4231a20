// How the simulated device answers a set when a fault is played.
#pragma once

#include <httplib.h>

#include <atomic>

#include "tools/simulator/faultplan.h"

namespace LCD {
namespace Sim {

// Plays `fault` for the set now served. Returns true when the fault took
// the place of the answer (or of the connection); false when the set goes
// on as normal, after a delay perhaps. A delay ends early once `stopping`.
bool playFault(const Fault& fault, httplib::Response& res, const std::atomic<bool>& stopping);

} // namespace Sim
} // namespace LCD
