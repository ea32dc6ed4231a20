#include "tools/simulator/faultplan.h"

#include <nlohmann/json.hpp>

#include <limits>
#include <map>

namespace LCD {
namespace Sim {
namespace {

bool readInt(const nlohmann::json& j, const char* key, long long min, long long max, long long& out,
             std::string& why) {
    const auto it = j.find(key);
    if (it == j.end() || !it->is_number_integer()) {
        why = std::string("\"") + key + "\" must be an integer";
        return false;
    }
    const long long v = it->get<long long>();
    if (v < min || v > max) {
        why = std::string("\"") + key + "\" is out of range";
        return false;
    }
    out = v;
    return true;
}

} // namespace

bool FaultPlan::set(const std::string& body, std::string& why) {
    static const std::map<std::string, FaultMode> modes = {
        {"none", FaultMode::None},        {"delay", FaultMode::Delay},
        {"close", FaultMode::Close},      {"close-mid", FaultMode::CloseMid},
        {"non-json", FaultMode::NonJson}, {"empty", FaultMode::Empty},
        {"code", FaultMode::Code},        {"http500", FaultMode::Http500},
        {"huge", FaultMode::Huge}};
    const auto j = nlohmann::json::parse(body, nullptr, false);
    if (!j.is_object() || !j.contains("mode") || !j["mode"].is_string()) {
        why = "expected {\"mode\": \"...\"}";
        return false;
    }
    const auto m = modes.find(j["mode"].get<std::string>());
    if (m == modes.end()) {
        why = "unknown mode " + j["mode"].get<std::string>();
        return false;
    }
    Fault f;
    f.mode = m->second;
    long long v = 0;
    if (f.mode == FaultMode::Delay) {
        if (!readInt(j, "ms", 0, 600000, v, why))
            return false;
        f.ms = static_cast<int>(v);
    } else if (f.mode == FaultMode::Code) {
        if (!readInt(j, "code", std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), v,
                     why))
            return false;
        f.code = static_cast<int>(v);
    } else if (f.mode == FaultMode::Huge) {
        if (!readInt(j, "bytes", kHugeMinimumBytes, 1LL << 30, v, why))
            return false;
        f.bytes = static_cast<std::size_t>(v);
    }
    long remaining = -1;
    if (j.contains("count")) {
        if (!readInt(j, "count", 1, std::numeric_limits<long>::max(), v, why))
            return false;
        remaining = static_cast<long>(v);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_fault = f;
    m_remaining = f.mode == FaultMode::None ? -1 : remaining;
    return true;
}

Fault FaultPlan::next() {
    std::lock_guard<std::mutex> lock(m_mutex);
    const Fault f = m_fault;
    if (m_remaining > 0 && --m_remaining == 0)
        m_fault = Fault{};
    return f;
}

std::string hugeReply(std::size_t bytes) {
    std::string out = "{\"code\":0,\"message\":\"";
    out.append(bytes - kHugeMinimumBytes, 'x');
    out += "\"}";
    return out;
}

} // namespace Sim
} // namespace LCD
