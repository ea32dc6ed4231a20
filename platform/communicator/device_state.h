// The process-wide state behind both singletons: the settings in force and
// the token. Requests read a snapshot; `configure` bumps the generation, so
// a login or a connection begun under old settings is not kept.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>

#include "platform/communicator/lcdcomm.h"

namespace lcdcomm::detail {

constexpr const char* kDefaultUrl = "http://127.0.0.1:8900";
constexpr long kDefaultTimeoutMs = 5000;

struct Snapshot {
    Settings settings;      // the url as deviceUrl gives it
    std::string basePath;   // the url's path, before every request's own
    std::string urlProblem; // why the url cannot be used; empty when it can
    std::string token;
    std::uint64_t generation = 0;
    std::uint64_t loginAttempts = 0;
};

class DeviceState {
public:
    static DeviceState& instance();

    Snapshot snapshot();
    void configure(const Settings& settings);

    // Keeps a token from a login begun under `generation`; counts the
    // attempt either way. A token from older settings is dropped.
    void recordLogin(std::uint64_t generation, const std::string* token);
    // Forgets the token when the device refused exactly it and it came
    // from a login (a configured token is the host's to change).
    void rejectToken(const std::string& used);

    // Held for the whole of a login, so that only one runs at a time.
    std::mutex& loginMutex() { return m_loginMutex; }

private:
    DeviceState() = default;
    void loadLocked();
    void adoptLocked(const Settings& settings);

    std::mutex m_mutex;
    std::mutex m_loginMutex;
    bool m_loaded = false;
    Settings m_settings;
    std::string m_basePath;
    std::string m_urlProblem;
    std::string m_token;
    bool m_tokenConfigured = false;
    std::uint64_t m_generation = 0;
    std::uint64_t m_loginAttempts = 0;
};

} // namespace lcdcomm::detail
