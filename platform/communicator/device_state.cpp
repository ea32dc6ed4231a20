#include "platform/communicator/device_state.h"

#include <cstdio>

#include "platform/communicator/connection_pool.h"

namespace lcdcomm::detail {

namespace {

// The path of a url that deviceUrl accepted: what follows its host and port.
std::string pathOf(const std::string& url) {
    const std::size_t slash = url.find('/', url.find("://") + 3);
    return slash == std::string::npos ? "" : url.substr(slash);
}

} // namespace

DeviceState& DeviceState::instance() {
    // Never destroyed: requests may still run on other threads at exit.
    static DeviceState* state = new DeviceState();
    return *state;
}

void DeviceState::adoptLocked(const Settings& settings) {
    m_settings = settings;
    if (m_settings.url.empty())
        m_settings.url = kDefaultUrl;
    std::string why;
    const std::string url = deviceUrl(m_settings.url, &why);
    m_urlProblem = url.empty() ? why : "";
    m_settings.url = url.empty() ? m_settings.url : url;
    m_basePath = url.empty() ? "" : pathOf(url);
    if (m_settings.timeoutMs <= 0) {
        std::fprintf(stderr, "lcdcommunicator: time-out %ld ms is not positive; using %ld\n",
                     m_settings.timeoutMs, kDefaultTimeoutMs);
        m_settings.timeoutMs = kDefaultTimeoutMs;
    }
    m_token = m_settings.token;
    m_tokenConfigured = !m_token.empty();
    m_loaded = true;
}

void DeviceState::loadLocked() {
    if (!m_loaded)
        adoptLocked(Settings::fromEnvironment());
}

Snapshot DeviceState::snapshot() {
    std::lock_guard<std::mutex> lock(m_mutex);
    loadLocked();
    return Snapshot{m_settings, m_basePath, m_urlProblem, m_token, m_generation, m_loginAttempts};
}

void DeviceState::configure(const Settings& settings) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        adoptLocked(settings);
        ++m_generation;
    }
    ConnectionPool::instance().drop();
}

void DeviceState::recordLogin(std::uint64_t generation, const std::string* token) {
    std::lock_guard<std::mutex> lock(m_mutex);
    ++m_loginAttempts;
    if (generation != m_generation)
        return;
    if (token) {
        m_token = *token;
        m_tokenConfigured = false;
    } else if (!m_tokenConfigured) {
        m_token.clear();
    }
}

void DeviceState::rejectToken(const std::string& used) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_tokenConfigured && !m_token.empty() && m_token == used)
        m_token.clear();
}

} // namespace lcdcomm::detail
