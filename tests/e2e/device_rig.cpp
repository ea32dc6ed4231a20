#include "tests/e2e/device_rig.h"

#include <gtest/gtest.h>
#include <httplib.h>

#include <cstring>
#include <mutex>

#include "host/lcdcommunicator.h"
#include "platform/communicator/lcdcomm.h"
#include "platform/framework/autoreportstream.h"
#include "platform/framework/pluginloader.h"
#include "simulator/devicesim.h"

namespace e2e {

Layer layer(int id, int seed) {
    Layer r;
    r.layerId = id;
    // Every member gets its own value, so a swapped or dropped member shows.
    int v = seed * 100;
    auto& q = r.imageQuality;
    for (int* m : {&q.imageQualityMode, &q.eyeCare, &q.hue, &q.saturation, &q.gamma,
                   &q.contrast.R, &q.contrast.G, &q.contrast.B, &q.brightness.R,
                   &q.brightness.G, &q.brightness.B, &q.shadow.R, &q.shadow.G, &q.shadow.B,
                   &q.shadow.W, &q.highLight.R, &q.highLight.G, &q.highLight.B, &q.highLight.W,
                   &q.colorTemperature.mode, &q.colorTemperature.quickAdjust.value,
                   &q.colorTemperature.advanceAdjust.R, &q.colorTemperature.advanceAdjust.G,
                   &q.colorTemperature.advanceAdjust.B})
    {
        ++v;
        *m = v % 2 ? -v : v;
    }
    return r;
}

nlohmann::json toDeviceJson(const Layer& r) {
    const auto& q = r.imageQuality;
    const auto rgb = [](const LCD::ProtoModel::s_RGB& c) {
        return nlohmann::json{{"R", c.R}, {"G", c.G}, {"B", c.B}};
    };
    const auto rgbw = [](const LCD::ProtoModel::s_RGBW& c) {
        return nlohmann::json{{"R", c.R}, {"G", c.G}, {"B", c.B}, {"W", c.W}};
    };
    return {{"layerId", r.layerId},
            {"imageQuality",
             {{"imageQualityMode", q.imageQualityMode},
              {"eyeCare", q.eyeCare},
              {"hue", q.hue},
              {"saturation", q.saturation},
              {"gamma", q.gamma},
              {"contrast", rgb(q.contrast)},
              {"brightness", rgb(q.brightness)},
              {"shadow", rgbw(q.shadow)},
              {"highLight", rgbw(q.highLight)},
              {"colorTemperature",
               {{"mode", q.colorTemperature.mode},
                {"quickAdjust", {{"value", q.colorTemperature.quickAdjust.value}}},
                {"advanceAdjust", rgb(q.colorTemperature.advanceAdjust)}}}}}};
}

bool sameRecords(const LayerList& a, const LayerList& b) {
    // The records are 25 ints without padding (pinned by the protocol header).
    return a.size() == b.size() &&
           (a.empty() || std::memcmp(a.data(), b.data(), a.size() * sizeof(Layer)) == 0);
}

int answerByte(const pqxhost::Answer& answer) {
    if (answer.status != pqxhost::Answer::Status::answered || answer.payload.size() != 1) return -1;
    return answer.payload[0];
}

bool accepted(const pqxhost::Answer& answer) { return answerByte(answer) == 1; }

struct DeviceRig::Listener {
    mutable std::mutex mutex;
    std::vector<LayerList> lists;
    std::size_t badPayloads = 0;
};

DeviceRig::DeviceRig(RigOptions options) : m_options(options) {
    LCD::Sim::Options sim;
    sim.port = 0;
    m_sim = std::make_unique<LCD::Sim::DeviceSim>(sim);
    m_port = m_sim->start();
    if (m_port <= 0) ADD_FAILURE() << "simulator: " << m_sim->error();
    useLogin();

    m_host = std::make_unique<pqxhost::Host>(m_options.workers);
    m_listener = std::make_shared<Listener>();
    // The listener runs on the thread that posts, while the plug-in's list
    // is alive; it keeps its own copy.
    m_host->global().registerNotificationHandler(
        kLayerChanged, [l = m_listener](const pqx::IMessage* m) -> const pqx::IMessage* {
            std::lock_guard<std::mutex> lock(l->mutex);
            if (m->getDataSize() != sizeof(LayerList) || m->getData() == nullptr)
                ++l->badPayloads;
            else
                l->lists.push_back(*static_cast<const LayerList*>(m->getData()));
            return nullptr;
        });

    std::string error;
    m_plugin = pqxhost::Plugin::load(LCD_PLUGIN_PATH, *m_host, &error);
    if (!m_plugin) ADD_FAILURE() << error;

    m_stream = std::make_unique<pqxhost::AutoReportStream>(
        url(), [h = m_host.get()](const std::string& text) { h->deliverText(kAutoReport, text); });
    if (m_options.stream) {
        m_stream->start();
        EXPECT_TRUE(waitForSubscriber()) << "the auto-report stream did not subscribe";
    }
}

DeviceRig::~DeviceRig() {
    m_stream->stop();
    m_host->stopDelivery();
    if (m_plugin) m_plugin->destroyComponents();
    m_host->global().clear();
    m_plugin.reset();
    stopDevice();
    std::lock_guard<std::mutex> lock(m_listener->mutex);
    EXPECT_EQ(m_listener->badPayloads, 0u) << "notifications with a payload that is not a list";
}

std::string DeviceRig::url() const { return "http://127.0.0.1:" + std::to_string(m_port); }

void DeviceRig::useLogin() {
    lcdcomm::Settings s;
    s.url = url();
    s.user = "admin";
    s.password = "admin";
    s.timeoutMs = m_options.timeoutMs;
    lcdcomm::configure(s);
}

void DeviceRig::useToken(const std::string& token) {
    lcdcomm::Settings s;
    s.url = url();
    s.token = token;
    s.timeoutMs = m_options.timeoutMs;
    lcdcomm::configure(s);
}

pqxhost::Answer DeviceRig::set(const LayerList& layers) {
    return m_host->sendRequest(kSetRequest, &layers, sizeof layers);
}

namespace {

nlohmann::json parsed(const httplib::Result& r, const std::string& what) {
    if (!r) {
        ADD_FAILURE() << what << ": " << httplib::to_string(r.error());
        return nullptr;
    }
    return nlohmann::json::parse(r->body, nullptr, false);
}

} // namespace

nlohmann::json DeviceRig::simGet(const std::string& path) {
    httplib::Client c("127.0.0.1", m_port);
    return parsed(c.Get(path), "GET " + path);
}

nlohmann::json DeviceRig::simPost(const std::string& path, const std::string& body) {
    httplib::Client c("127.0.0.1", m_port);
    return parsed(c.Post(path, body, "application/json"), "POST " + path);
}

nlohmann::json DeviceRig::storedLayers() {
    httplib::Client c("127.0.0.1", m_port);
    const httplib::Headers auth{{"Authorization", HttpLogin::getInstance()->getToken()}};
    const auto reply = parsed(c.Get("/movra/v1/layers/list-detail", auth), "list-detail");
    return reply.is_object() && reply.contains("data") ? reply["data"] : nlohmann::json();
}

void DeviceRig::stopDevice() {
    // The device's server would wait out its keep-alive time-out on every
    // idle pooled connection; configuring anew closes them first.
    useLogin();
    m_sim->stop();
}

void DeviceRig::restartDevice() {
    LCD::Sim::Options sim;
    sim.port = m_port;
    m_sim.reset();
    m_reportsBefore = m_stream->reports();
    m_sim = std::make_unique<LCD::Sim::DeviceSim>(sim);
    if (m_sim->start() != m_port) ADD_FAILURE() << "simulator restart: " << m_sim->error();
    useLogin();  // the new device knows none of the old tokens
    if (m_options.stream) {
        EXPECT_TRUE(waitForSubscriber()) << "the stream did not come back";
    }
}

bool DeviceRig::waitForSubscriber(int timeoutMs) {
    return eventually([this] { return stats().value("subscribers", 0) == 1; }, timeoutMs);
}

bool DeviceRig::waitForReportsDrained(int timeoutMs) {
    const bool arrived = eventually(
        [this] {
            return stats().value("reports", 0ull) + m_reportsBefore == m_stream->reports();
        }, timeoutMs);
    m_host->waitIdle();
    return arrived;
}

bool DeviceRig::waitForNotifications(std::size_t count, int timeoutMs) {
    return eventually([this, count] { return notificationCount() >= count; }, timeoutMs);
}

std::vector<LayerList> DeviceRig::notifications() const {
    std::lock_guard<std::mutex> lock(m_listener->mutex);
    return m_listener->lists;
}

std::size_t DeviceRig::notificationCount() const {
    std::lock_guard<std::mutex> lock(m_listener->mutex);
    return m_listener->lists.size();
}

void DeviceRig::clearNotifications() {
    std::lock_guard<std::mutex> lock(m_listener->mutex);
    m_listener->lists.clear();
}

} // namespace e2e

namespace e2e {

void expectStillServing(DeviceRig& rig, int seed) {
    const std::size_t before = rig.notificationCount();
    const LayerList list{layer(1 + seed % 8, seed)};
    const auto answer = rig.set(list);
    ASSERT_TRUE(accepted(answer)) << "answer: " << toString(answer.status);
    ASSERT_TRUE(rig.waitForNotifications(before + 1));
    ASSERT_TRUE(rig.waitForReportsDrained());
    const auto all = rig.notifications();
    ASSERT_EQ(all.size(), before + 1);
    EXPECT_TRUE(sameRecords(all.back(), list));
}

} // namespace e2e
