#include "tools/simulator/requestlog.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cctype>

#include "protocol/constants.h"

namespace LCD {
namespace Sim {
namespace {

using Json = nlohmann::ordered_json;
constexpr const char* kMask = "***";

bool namesASecret(std::string name) {
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* word : {"auth", "token", "cookie", "secret", "password", "session", "key"})
        if (name.find(word) != std::string::npos)
            return true;
    return false;
}

// A login body as it may be shown.
std::string maskedLogin(const std::string& body) {
    if (body.size() > kLogBodyBytes)
        return kMask;
    Json login = Json::parse(body, nullptr, false);
    if (!login.is_object())
        return kMask;
    if (login.contains("password"))
        login["password"] = kMask;
    return login.dump(-1, ' ', false, Json::error_handler_t::replace);
}

} // namespace

void RequestLog::add(const httplib::Request& req, const std::string& body) {
    Json headers = Json::object();
    for (const auto& [name, value] : req.headers) {
        // The server adds these itself; they were not sent.
        if (name == "REMOTE_ADDR" || name == "REMOTE_PORT" || name == "LOCAL_ADDR" ||
            name == "LOCAL_PORT")
            continue;
        const std::string shown = namesASecret(name) && !value.empty() ? kMask : value;
        // A repeated header is shown once, its values joined as HTTP allows.
        auto& slot = headers[name];
        slot = slot.is_string() ? slot.get<std::string>() + ", " + shown : shown;
    }
    const bool login = req.path == LCD::Proto::Constants::POSTLOGIN;
    const std::string masked = login ? maskedLogin(body) : std::string();
    const std::string& shown = login ? masked : body;
    Json entry = {{"method", req.method},
                  {"path", req.path},
                  {"headers", headers},
                  {"body", shown.substr(0, kLogBodyBytes)}};
    if (shown.size() > kLogBodyBytes)
        entry["bodyBytes"] = body.size();
    // Bodies that are not UTF-8 cannot be shown as they are; their bad bytes
    // become U+FFFD rather than failing the whole log.
    std::string text = entry.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_capacity == 0 || text.size() + 3 > m_maxBytes)
        return;
    m_bytes += text.size() + (m_entries.empty() ? 0 : 1);
    m_entries.push_back(std::move(text));
    while (m_entries.size() > m_capacity || m_bytes > m_maxBytes) {
        m_bytes -= m_entries.front().size() + (m_entries.size() > 1 ? 1 : 0);
        m_entries.pop_front();
    }
}

void RequestLog::clear() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_entries.clear();
    m_bytes = 2;
}

std::string RequestLog::toJson() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::string out;
    out.reserve(m_bytes);
    out += '[';
    for (const std::string& e : m_entries)
        out.append(out.size() > 1 ? "," : "").append(e);
    out += ']';
    return out;
}

} // namespace Sim
} // namespace LCD
