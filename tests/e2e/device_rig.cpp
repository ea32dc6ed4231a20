#include "tests/e2e/device_rig.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include "platform/communicator/lcdcomm.h"
#include "tools/simulator/devicesim.h"

namespace e2e {

Layer layer(int id, int seed) {
    layer_records::Ints v;
    v[0] = id;
    for (int k = 1; k < 25; ++k) {
        const int n = seed * 100 + k;
        v[k] = n % 2 ? -n : n;
    }
    return layer_records::layer_of(v);
}

int answerByte(const pqxhost::Answer& answer) {
    if (answer.status != pqxhost::Answer::Status::answered || answer.payload.size() != 1)
        return -1;
    return answer.payload[0];
}

DeviceRig::DeviceRig(long timeoutMs, std::size_t workers)
    : m_timeoutMs(timeoutMs), m_listener(std::make_shared<Listener>()),
      m_session(
          [l = m_listener](const LayerList& list) {
              std::lock_guard<std::mutex> lock(l->mutex);
              l->lists.push_back(list);
          },
          workers) {
    LCD::Sim::Options sim;
    sim.port = 0;
    m_sim = std::make_unique<LCD::Sim::DeviceSim>(sim);
    m_port = m_sim->start();
    if (m_port <= 0)
        ADD_FAILURE() << "simulator: " << m_sim->error();
    configure();
    std::string error;
    if (!m_session.open(LCD_PLUGIN_PATH, "http://127.0.0.1:" + std::to_string(m_port), 10000,
                        &error))
        ADD_FAILURE() << error;
    EXPECT_TRUE(waitForSubscriber()) << "the auto-report stream did not subscribe";
}

DeviceRig::~DeviceRig() {
    m_session.close();
    // The device's server would wait out its keep-alive time-out on every
    // idle pooled connection; configuring anew closes them first.
    configure();
    m_sim->stop();
}

void DeviceRig::configure(const std::string& token) {
    lcdcomm::Settings s;
    s.url = "http://127.0.0.1:" + std::to_string(m_port);
    s.token = token;
    if (token.empty())
        s.user = s.password = "admin";
    s.timeoutMs = m_timeoutMs;
    lcdcomm::configure(s);
}

nlohmann::json DeviceRig::simGet(const std::string& path) {
    const auto r = httplib::Client("127.0.0.1", m_port).Get(path);
    if (!r)
        ADD_FAILURE() << "GET " << path << ": " << httplib::to_string(r.error());
    return r ? nlohmann::json::parse(r->body, nullptr, false) : nlohmann::json();
}

nlohmann::json DeviceRig::simPost(const std::string& path, const std::string& body) {
    const auto r = httplib::Client("127.0.0.1", m_port).Post(path, body, "application/json");
    if (!r)
        ADD_FAILURE() << "POST " << path << ": " << httplib::to_string(r.error());
    return r ? nlohmann::json::parse(r->body, nullptr, false) : nlohmann::json();
}

bool DeviceRig::waitForSubscriber() {
    return eventually([this] { return simGet("/sim/stats").value("subscribers", 0) == 1; }, 10000);
}

bool DeviceRig::waitForReportsDrained(int timeoutMs) {
    const bool arrived = eventually(
        [this] { return simGet("/sim/stats").value("reports", 0ull) == stream().reports(); },
        timeoutMs);
    m_session.host().waitIdle();
    return arrived;
}

bool DeviceRig::waitForNotifications(std::size_t count, int timeoutMs) {
    return eventually([this, count] { return notifications().size() >= count; }, timeoutMs);
}

std::vector<LayerList> DeviceRig::notifications() const {
    std::lock_guard<std::mutex> lock(m_listener->mutex);
    return m_listener->lists;
}

std::vector<std::string> DeviceRig::logLines() const {
    std::vector<std::string> lines;
    for (const testsupport::QtMessage& m : m_messages.list())
        lines.push_back(m.category + '|' + m.text);
    return lines;
}

void expectServed(DeviceRig& rig, const LayerList& list) {
    const std::size_t before = rig.notifications().size();
    const auto answer = rig.set(list);
    ASSERT_TRUE(accepted(answer)) << "answer: " << toString(answer.status);
    ASSERT_TRUE(rig.waitForNotifications(before + 1));
    ASSERT_TRUE(rig.waitForReportsDrained());
    const auto all = rig.notifications();
    ASSERT_EQ(all.size(), before + 1);
    EXPECT_TRUE(same_records(all.back(), list));
}

} // namespace e2e
