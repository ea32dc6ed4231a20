// The device's REST interface as the simulator serves it.
#include "protocol/constants.h"
#include "tools/simulator/connection.h"
#include "tools/simulator/device.h"
#include "tools/simulator/faultreply.h"
#include "tools/simulator/replies.h"

namespace LCD {
namespace Sim {
namespace {

namespace C = LCD::Proto::Constants;

void login(Device& device, const Call& call) {
    const auto body = nlohmann::json::parse(call.body, nullptr, false);
    const auto text = [&body](const char* key) {
        return body.is_object() && body.contains(key) && body[key].is_string()
                   ? body[key].get<std::string>()
                   : std::string("\x01"); // never equal to a configured value
    };
    if (text("username") != device.options.user || text("password") != device.options.password) {
        reply(call.res, 401, status(kCodeBadLogin, "invalid username or password"));
        return;
    }
    Json answer = status(0, "success");
    answer["data"] = Json{{"token", device.tokens.issue()}};
    reply(call.res, 200, answer);
}

void setImageQuality(Device& device, const Call& call) {
    if (playFault(device.faults.next(), call.res, device.stopping))
        return;
    if (!device.tokens.authorized(call.req)) {
        reply(call.res, 401, status(kCodeUnauthorized, "unauthorized"));
        return;
    }
    LayerList list;
    std::string what;
    if (!parseLayerList(call.body, device.layers.layers(), list, what)) {
        reply(call.res, 200, status(kCodeMalformed, "malformed body: " + what));
        return;
    }
    if (list.unknownLayer) {
        reply(call.res, 200,
              status(kCodeUnknownLayer, "unknown layer " + std::to_string(*list.unknownLayer)));
        return;
    }
    device.layers.store(list.records);
    device.reports.publish(0, std::move(list.text));
    reply(call.res, 200, status(0, "success"));
}

void listDetail(Device& device, const Call& call) {
    if (!device.tokens.authorized(call.req)) {
        reply(call.res, 401, status(kCodeUnauthorized, "unauthorized"));
        return;
    }
    replyText(call.res, device.layers.listText(R"({"code":0,"message":"success","data":)", "}"));
}

// Subscribes to the auto-reports: the answer is an event stream, opened
// with a comment at once, which the event hub writes from then on. Like
// every endpoint of the device's, it needs a token the device accepts.
void events(Device& device, const Call& call) {
    if (!device.tokens.authorized(call.req)) {
        reply(call.res, 401, status(kCodeUnauthorized, "unauthorized"));
        return;
    }
    const EventHub::Slot slot = device.hub.reserve();
    if (!slot) {
        refuse(call.res, 503,
               device.stopping ? "the simulator is stopping"
                               : "too many event streams: at most " + std::to_string(kMaxStreams) +
                                     " are open at once");
        return;
    }
    call.res.set_header("Cache-Control", "no-cache");
    EventHub& hub = device.hub;
    Connection::current()->handOverAfterHead(
        call.res, "text/event-stream",
        [&hub, slot](int fd, const std::string& peer) { hub.attach(slot, fd, peer); },
        [&hub, slot] { hub.cancel(slot); });
}

} // namespace

void addDeviceEndpoints(Routes& routes, Device& device) {
    routes.add("POST", C::POSTLOGIN, withDevice(device, login));
    routes.add("PUT", C::PUTLAYERIMAGEQUALITY, withDevice(device, setImageQuality));
    routes.add("GET", C::MOVRAPROTOGETLAYERSLISTDETAIL, withDevice(device, listDetail));
    routes.add("GET", "/events", withDevice(device, events));
}

} // namespace Sim
} // namespace LCD
