// The last requests the simulated device received on its device paths, in
// order, so tests can check exactly what a client sent, secrets masked.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace LCD {
namespace Sim {

struct LoggedRequest {
    std::string method;
    std::string path;
    std::vector<std::pair<std::string, std::string>> headers; // as received
    std::string body;
};

class RequestLog {
public:
    // Keeps the last `capacity` requests; older ones are dropped.
    explicit RequestLog(std::size_t capacity) : m_capacity(capacity) {}

    // Logs `r` with its secrets shown as "***": a non-empty Authorization
    // header and the password of a login body (all of a login body that
    // is not a JSON object).
    void add(LoggedRequest r);
    void clear();
    // The log as a JSON array of {"method","path","headers":{...},"body"}.
    std::string toJson() const;

private:
    mutable std::mutex m_mutex;
    std::size_t m_capacity;
    std::deque<LoggedRequest> m_entries;
};

} // namespace Sim
} // namespace LCD
