#include "tools/simulator/requestlog.h"

#include <nlohmann/json.hpp>
#include <strings.h>

#include "protocol/constants.h"

namespace LCD {
namespace Sim {

namespace {

constexpr const char* kMask = "***";

void mask(LoggedRequest& r) {
    for (auto& header : r.headers)
        if (strcasecmp(header.first.c_str(), "Authorization") == 0 && !header.second.empty())
            header.second = kMask;
    if (r.path != LCD::Proto::Constants::POSTLOGIN)
        return;
    nlohmann::ordered_json login = nlohmann::ordered_json::parse(r.body, nullptr, false);
    if (!login.is_object()) {
        r.body = kMask;
        return;
    }
    if (login.contains("password"))
        login["password"] = kMask;
    r.body = login.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace

void RequestLog::add(LoggedRequest r) {
    mask(r);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_capacity == 0)
        return;
    if (m_entries.size() >= m_capacity)
        m_entries.pop_front();
    m_entries.push_back(std::move(r));
}

void RequestLog::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
}

std::string RequestLog::toJson() const {
    nlohmann::ordered_json out = nlohmann::ordered_json::array();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const auto& r : m_entries) {
            nlohmann::ordered_json headers = nlohmann::ordered_json::object();
            for (const auto& h : r.headers) {
                // A repeated header is shown once, its values joined as HTTP allows.
                auto& slot = headers[h.first];
                slot = slot.is_string() ? slot.get<std::string>() + ", " + h.second : h.second;
            }
            out.push_back(
                {{"method", r.method}, {"path", r.path}, {"headers", headers}, {"body", r.body}});
        }
    }
    // Bodies that are not UTF-8 cannot be shown as they are; their bad bytes
    // become U+FFFD rather than failing the whole log.
    return out.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace);
}

} // namespace Sim
} // namespace LCD
