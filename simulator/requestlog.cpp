#include "simulator/requestlog.h"

#include <nlohmann/json.hpp>

namespace LCD {
namespace Sim {

void RequestLog::add(LoggedRequest r) {
    std::lock_guard<std::mutex> lock(m_mutex);
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
