#include "platform/communicator/device_state.h"

#include <cstdio>

#include "platform/communicator/connection_pool.h"

namespace lcdcomm::detail {

namespace {

Settings normalised(Settings s) {
    if (s.url.empty())
        s.url = kDefaultUrl;
    if (s.timeoutMs <= 0) {
        std::fprintf(stderr, "lcdcommunicator: time-out %ld ms is not positive; using %ld\n",
                     s.timeoutMs, kDefaultTimeoutMs);
        s.timeoutMs = kDefaultTimeoutMs;
    }
    return s;
}

} // namespace

DeviceState& DeviceState::instance() {
    // Never destroyed: requests may still run on other threads at exit.
    static DeviceState* state = new DeviceState();
    return *state;
}

void DeviceState::loadLocked() {
    if (m_loaded)
        return;
    m_settings = normalised(Settings::fromEnvironment());
    m_token = m_settings.token;
    m_tokenConfigured = !m_token.empty();
    m_loaded = true;
}

Snapshot DeviceState::snapshot() {
    std::lock_guard<std::mutex> lock(m_mutex);
    loadLocked();
    return Snapshot{m_settings, m_token, m_generation, m_loginAttempts};
}

void DeviceState::configure(const Settings& settings) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_settings = normalised(settings);
        m_token = m_settings.token;
        m_tokenConfigured = !m_token.empty();
        m_loaded = true;
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
