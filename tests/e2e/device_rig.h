// Everything an end-to-end test runs, for real and in one process: the
// device simulator, the communicator pointed at it, the stand-in host with
// the plug-in loaded, the auto-report stream feeding the host, and a
// listener that keeps a copy of every change notification.
//
//   e2e::DeviceRig rig;                       // logs in with admin/admin
//   auto answer = rig.set({e2e::layer(3, 1)});
//   EXPECT_TRUE(e2e::accepted(answer));
//   rig.waitForNotifications(1);
//   rig.fault(R"({"mode":"close","count":1})");
#pragma once

#include <nlohmann/json.hpp>

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/framework/host.h"
#include "protocol/layerimagequality.h"

namespace pqxhost {
class AutoReportStream;
class Plugin;
}
namespace LCD::Sim {
class DeviceSim;
}

namespace e2e {

using Layer = LCD::ProtoModel::Layer::s_LayerImageQualityBody;
using LayerList = std::vector<Layer>;

constexpr std::uint32_t kSetRequest = 0xfc050410;
constexpr std::uint32_t kAutoReport = 0x0008110d;
constexpr std::uint32_t kLayerChanged = 0xfc08040b;

struct RigOptions {
    long timeoutMs = 3000;       // communicator time-out of one request
    std::size_t workers = 4;     // host delivery threads
    bool stream = true;          // subscribe to the device's auto-reports
};

// A layer record whose 25 values all differ and depend on `seed`.
Layer layer(int id, int seed);
// The record as the device names its members, built without our codec.
nlohmann::json toDeviceJson(const Layer& record);
bool sameRecords(const LayerList& a, const LayerList& b);

// True when the host got an answer whose one byte says "accepted".
bool accepted(const pqxhost::Answer& answer);
// The answer's byte, or -1 when there is no one-byte answer.
int answerByte(const pqxhost::Answer& answer);

class DeviceRig {
public:
    explicit DeviceRig(RigOptions options = {});
    ~DeviceRig();  // stream, delivery, components, handlers, unload, device
    DeviceRig(const DeviceRig&) = delete;
    DeviceRig& operator=(const DeviceRig&) = delete;

    // A set request through the host, blocking until the handler returns.
    pqxhost::Answer set(const LayerList& layers);

    // Control endpoints of the simulator; each fails the test on a
    // transport error and returns the parsed reply.
    nlohmann::json simGet(const std::string& path);
    nlohmann::json simPost(const std::string& path, const std::string& body);
    void fault(const std::string& body) { simPost("/sim/fault", body); }
    nlohmann::json stats() { return simGet("/sim/stats"); }
    // Records of layers as the device stores them ("data" of list-detail).
    nlohmann::json storedLayers();

    // Stops the device; `restartDevice` brings it back on the same port
    // and makes the communicator log in again.
    void stopDevice();
    void restartDevice();
    // Points the communicator at the device with these login settings.
    void useToken(const std::string& token);
    void useLogin();

    // Waits (bounded) until at least `count` notifications arrived.
    bool waitForNotifications(std::size_t count, int timeoutMs = 5000);
    // Waits until every report the device published reached the stream and
    // every delivery the host queued has run.
    bool waitForReportsDrained(int timeoutMs = 10000);
    // Waits until the device has exactly one subscriber on its stream.
    bool waitForSubscriber(int timeoutMs = 10000);
    std::vector<LayerList> notifications() const;
    std::size_t notificationCount() const;
    void clearNotifications();

    pqxhost::Host& host() { return *m_host; }
    pqxhost::AutoReportStream& stream() { return *m_stream; }
    std::string url() const;

private:
    struct Listener;

    RigOptions m_options;
    std::unique_ptr<LCD::Sim::DeviceSim> m_sim;
    int m_port = 0;
    std::uint64_t m_reportsBefore = 0;  // stream reports from devices since stopped
    std::unique_ptr<pqxhost::Host> m_host;
    std::unique_ptr<pqxhost::Plugin> m_plugin;
    std::unique_ptr<pqxhost::AutoReportStream> m_stream;
    std::shared_ptr<Listener> m_listener;
};

// Sends one set that the device accepts (a layer and values chosen by
// `seed`) and waits for its auto-report: the host answers true and exactly
// one more notification, holding that list, arrives.
void expectStillServing(DeviceRig& rig, int seed);

// Bounded polling for conditions another thread brings about.
template <typename F>
bool eventually(F condition, int timeoutMs = 5000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < until) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return condition();
}

} // namespace e2e
