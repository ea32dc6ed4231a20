// The control endpoints under /sim/, for tests: no token asked.
#include "tools/common/wholenumber.h"
#include "tools/simulator/device.h"
#include "tools/simulator/picture.h"
#include "tools/simulator/replies.h"

namespace LCD {
namespace Sim {
namespace {

const Json kDone = Json{{"code", 0}};

void fault(Device& device, const Call& call) {
    std::string why;
    if (device.faults.set(call.body, why))
        reply(call.res, 200, kDone);
    else
        reply(call.res, 400, status(1, why));
}

// With no body, a report of the layers as they are.
void autoreport(Device& device, const Call& call) {
    const auto j =
        call.body.empty() ? Json{{"errorCode", 0u}} : Json::parse(call.body, nullptr, false);
    std::size_t subscribers = 0;
    if (j.is_object() && j.contains("errorCode") && j["errorCode"].is_number_unsigned()) {
        subscribers = device.reports.publish(j["errorCode"].get<unsigned long>(),
                                             device.layers.listText("", ""));
    } else if (j.is_object() && j.contains("body") && j["body"].is_string()) {
        subscribers = device.reports.publish(0, j["body"].get<std::string>());
    } else if (j.is_object() && j.contains("raw") && j["raw"].is_string()) {
        subscribers = device.reports.publishRaw(j["raw"].get<std::string>());
    } else {
        reply(call.res, 400,
              status(1, "expected {\"errorCode\": E}, {\"body\": \"...\"} or {\"raw\": \"...\"}"));
        return;
    }
    reply(call.res, 200, Json{{"code", 0}, {"subscribers", subscribers}});
}

void dropStreams(Device& device, const Call& call) {
    device.hub.closeAll();
    reply(call.res, 200, kDone);
}

void requests(Device& device, const Call& call) {
    replyText(call.res, device.log.toJson());
}

void clearRequests(Device& device, const Call& call) {
    device.log.clear();
    reply(call.res, 200, kDone);
}

void stats(Device& device, const Call& call) {
    reply(call.res, 200,
          Json{{"sets", device.layers.sets()},
               {"reports", device.reports.count()},
               {"subscribers", device.hub.subscriberCount()}});
}

// What the device shows on a layer.
void picture(Device& device, const Call& call) {
    long long id = 0;
    if (!lcdtools::parseWhole(call.segment, 1, device.layers.layers(), id)) {
        refuse(call.res, 404, "no layer " + std::string(call.segment));
        return;
    }
    call.res.set_header("Cache-Control", "no-store");
    call.res.set_content(pngOf(renderLayer(device.layers.record(static_cast<int>(id)))),
                         "image/png");
}

} // namespace

void addControlEndpoints(Routes& routes, Device& device) {
    routes.add("POST", "/sim/fault", withDevice(device, fault));
    routes.add("POST", "/sim/autoreport", withDevice(device, autoreport));
    routes.add("POST", "/sim/stream/drop", withDevice(device, dropStreams));
    routes.add("GET", "/sim/requests", withDevice(device, requests));
    routes.add("DELETE", "/sim/requests", withDevice(device, clearRequests));
    routes.add("GET", "/sim/stats", withDevice(device, stats));
    routes.add("GET", "/sim/layers/*/picture.png", withDevice(device, picture));
}

} // namespace Sim
} // namespace LCD
