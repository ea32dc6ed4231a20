// Everything the simulated device holds, which its endpoints read and
// change, and the two sets of endpoints: the device's REST interface and
// the control endpoints under /sim/ for tests.
#pragma once

#include <atomic>

#include "tools/simulator/autoreports.h"
#include "tools/simulator/devicesim.h"
#include "tools/simulator/eventhub.h"
#include "tools/simulator/faultplan.h"
#include "tools/simulator/layerstore.h"
#include "tools/simulator/requestlog.h"
#include "tools/simulator/routes.h"
#include "tools/simulator/tokens.h"

namespace LCD {
namespace Sim {

struct Device {
    Device(const Options& o, EventHub::EndCallback onStreamEnd)
        : options(o), layers(o.layers), log(o.logSize), hub(kMaxStreams, std::move(onStreamEnd)) {}

    const Options options;
    Tokens tokens;
    LayerStore layers;
    FaultPlan faults;
    RequestLog log;
    EventHub hub;
    AutoReports reports{hub};
    std::atomic<bool> stopping{false};
};

// A route's handler that is given the device.
inline Routes::Handler withDevice(Device& device, void (*handler)(Device&, const Call&)) {
    return [&device, handler](const Call& call) { handler(device, call); };
}

// Login, the layer image-quality set and list, and the event stream.
void addDeviceEndpoints(Routes& routes, Device& device);
// Faults, pushed reports, dropped streams, the request log, the counts and
// the layers' pictures.
void addControlEndpoints(Routes& routes, Device& device);

} // namespace Sim
} // namespace LCD
