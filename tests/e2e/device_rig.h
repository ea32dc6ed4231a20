// Everything an end-to-end test runs, for real and in one process: the
// device simulator, the communicator pointed at it, the stand-in host with
// the plug-in loaded, the auto-report stream feeding the host, a listener
// that keeps a copy of every change notification, and every Qt message.
//
//   e2e::DeviceRig rig;                       // logs in with admin/admin
//   EXPECT_TRUE(e2e::accepted(rig.set({e2e::layer(3, 1)})));
//   rig.waitForNotifications(1);
//   rig.simPost("/sim/fault", R"({"mode":"close"})");
#pragma once

#include <nlohmann/json.hpp>

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "tests/support/layer_records.h"
#include "tests/support/qt_messages.h"
#include "tests/support/test_support.h"
#include "tools/client/session.h"

namespace LCD::Sim {
class DeviceSim;
}

namespace e2e {

using Layer = LCD::ProtoModel::Layer::s_LayerImageQualityBody;
using LCD::ProtoModel::Layer::LayerList;

// A layer record whose 25 values all differ and depend on `seed`.
Layer layer(int id, int seed);
using layer_records::same_records;
// The answer's byte, or -1 when there is no one-byte answer.
int answerByte(const pqxhost::Answer& answer);
inline bool accepted(const pqxhost::Answer& answer) {
    return answerByte(answer) == 1;
}

class DeviceRig {
public:
    // `timeoutMs`: of one communicator request; `workers`: host threads.
    explicit DeviceRig(long timeoutMs = 3000, std::size_t workers = 4);
    ~DeviceRig();
    DeviceRig(const DeviceRig&) = delete;
    DeviceRig& operator=(const DeviceRig&) = delete;

    // A set request through the host, blocking until the handler returns.
    pqxhost::Answer set(const LayerList& layers) { return m_session.set(layers); }
    // Control endpoints of the simulator; a transport error fails the test.
    nlohmann::json simGet(const std::string& path);
    nlohmann::json simPost(const std::string& path, const std::string& body);
    // Points the communicator at the device with this token, or with the
    // admin/admin login when it is empty.
    void configure(const std::string& token = "");

    // Bounded waits: for `count` notifications; until every report the
    // device published was handed on and every host delivery ran; until the
    // device has exactly one subscriber on its stream.
    bool waitForNotifications(std::size_t count, int timeoutMs = 5000);
    bool waitForReportsDrained(int timeoutMs = 10000);
    bool waitForSubscriber();
    std::vector<LayerList> notifications() const;
    // "category|message" of every Qt message since the rig started.
    std::vector<std::string> logLines() const;
    pqxhost::AutoReportStream& stream() { return m_session.stream(); }

private:
    struct Listener {
        mutable std::mutex mutex;
        std::vector<LayerList> lists;
    };
    testsupport::QtMessages m_messages; // first in, last out: sees every message
    std::unique_ptr<LCD::Sim::DeviceSim> m_sim;
    int m_port = 0;
    long m_timeoutMs;
    std::shared_ptr<Listener> m_listener;
    lcdclient::Session m_session;
};

// A set of `list` the device accepts: the host answers true and exactly
// one more notification, holding that list, arrives.
void expectServed(DeviceRig& rig, const LayerList& list);
// The same for a list of one layer whose values `seed` chooses.
inline void expectStillServing(DeviceRig& rig, int seed) {
    expectServed(rig, {layer(1 + seed % 8, seed)});
}

using testsupport::eventually;

} // namespace e2e
