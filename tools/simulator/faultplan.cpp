#include "tools/simulator/faultplan.h"

#include <nlohmann/json.hpp>

#include <limits>

namespace LCD {
namespace Sim {
namespace {

struct ModeName {
    const char* name;
    FaultMode mode;
};
constexpr ModeName kModes[] = {{"none", FaultMode::None},        {"delay", FaultMode::Delay},
                               {"close", FaultMode::Close},      {"close-mid", FaultMode::CloseMid},
                               {"non-json", FaultMode::NonJson}, {"empty", FaultMode::Empty},
                               {"code", FaultMode::Code},        {"http500", FaultMode::Http500},
                               {"huge", FaultMode::Huge}};

// The members a fault may have beside "mode": each belongs to one mode, or
// to every mode (count).
struct Member {
    const char* name;
    const char* modeName; // null: every mode but none
    FaultMode mode;
    long long min, max;
    void (*store)(Fault&, long&, long long);
};
constexpr Member kMembers[] = {
    {"ms", "delay", FaultMode::Delay, 0, 600000,
     [](Fault& f, long&, long long v) { f.ms = static_cast<int>(v); }},
    {"code", "code", FaultMode::Code, std::numeric_limits<int>::min(),
     std::numeric_limits<int>::max(),
     [](Fault& f, long&, long long v) { f.code = static_cast<int>(v); }},
    {"bytes", "huge", FaultMode::Huge, static_cast<long long>(kHugeMinimumBytes), 1LL << 30,
     [](Fault& f, long&, long long v) { f.bytes = static_cast<std::size_t>(v); }},
    {"count", nullptr, FaultMode::None, 1, std::numeric_limits<long>::max(),
     [](Fault&, long& count, long long v) { count = static_cast<long>(v); }},
};

std::string quoted(const std::string& name) {
    return "\"" + name + "\"";
}

// True when `v`, a whole number, lies within [min, max] (max >= 0).
bool wholeWithin(const nlohmann::json& v, long long min, long long max, long long& out) {
    if (v.is_number_unsigned()) {
        if (v.get<unsigned long long>() > static_cast<unsigned long long>(max))
            return false;
        out = static_cast<long long>(v.get<unsigned long long>());
    } else {
        out = v.get<long long>();
    }
    return out >= min && out <= max;
}

} // namespace

bool FaultPlan::set(const std::string& body, std::string& why) {
    Fault f;
    long remaining = -1;
    if (!body.empty()) {
        const auto j = nlohmann::json::parse(body, nullptr, false);
        if (!j.is_object()) {
            why = "expected {\"mode\": \"...\"}";
            return false;
        }
        const auto mode = j.find("mode");
        if (mode == j.end() || !mode->is_string()) {
            why = mode == j.end() ? "\"mode\" is missing" : "\"mode\" must be a string";
            return false;
        }
        const std::string name = mode->get<std::string>();
        const ModeName* known = nullptr;
        for (const ModeName& m : kModes)
            known = name == m.name ? &m : known;
        if (!known) {
            why = "unknown mode " + name;
            return false;
        }
        f.mode = known->mode;
        for (const auto& item : j.items()) {
            const Member* member = nullptr;
            for (const Member& m : kMembers)
                member = item.key() == m.name ? &m : member;
            if (item.key() == "mode")
                continue;
            if (!member) {
                why = "unknown member " + quoted(item.key());
                return false;
            }
            if (member->modeName ? member->mode != f.mode : f.mode == FaultMode::None) {
                why = quoted(item.key()) + " does not go with mode " + name;
                return false;
            }
        }
        for (const Member& m : kMembers) {
            if (m.modeName && m.mode != f.mode)
                continue;
            const auto it = j.find(m.name);
            if (it == j.end()) {
                if (!m.modeName)
                    continue; // count is optional
                why = quoted(m.name) + " is missing";
                return false;
            }
            if (!it->is_number_integer()) {
                why = quoted(m.name) + " must be an integer";
                return false;
            }
            long long v = 0;
            if (!wholeWithin(*it, m.min, m.max, v)) {
                why = quoted(m.name) + " must be from " + std::to_string(m.min) + " to " +
                      std::to_string(m.max);
                return false;
            }
            m.store(f, remaining, v);
        }
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

} // namespace Sim
} // namespace LCD
