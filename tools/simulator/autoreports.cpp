#include "tools/simulator/autoreports.h"

#include <algorithm>

#include "tools/simulator/eventframing.h"
#include "tools/simulator/layerrecords.h"

namespace LCD {
namespace Sim {
namespace {

constexpr unsigned kLayerCommandCode = 528653;
constexpr std::size_t kMaxUserDataLength = 65535;

} // namespace

std::size_t AutoReports::publish(unsigned long errorCode, std::string body) {
    std::lock_guard<std::mutex> lock(m_mutex);
    Json envelope = Json::object();
    envelope["source"] = "lcd-device-sim";
    envelope["seq"] = ++m_seq;
    envelope["sn"] = "SIM-0001";
    envelope["tl"] = Json{{"CommandCode", kLayerCommandCode},
                          {"ErrorCode", errorCode},
                          {"UserDataLength", std::min(body.size(), kMaxUserDataLength)}};
    envelope["body"] = std::move(body);
    ++m_count;
    return m_hub.publish(eventChunk(envelope.dump(-1, ' ', false, Json::error_handler_t::replace)));
}

std::size_t AutoReports::publishRaw(const std::string& text) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_count;
    return m_hub.publish(eventChunk(text));
}

unsigned long AutoReports::count() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_count;
}

} // namespace Sim
} // namespace LCD
