// The last requests the simulated device received on its device paths, in
// order, so tests can check exactly what a client sent, secrets masked.
// Bounded twice: at most `capacity` requests, and at most kLogBytes as
// GET /sim/requests answers them; each body keeps its first kLogBodyBytes.
#pragma once

#include <httplib.h>

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>

#include "tools/simulator/limits.h"

namespace LCD {
namespace Sim {

class RequestLog {
public:
    explicit RequestLog(std::size_t capacity, std::size_t maxBytes = kLogBytes)
        : m_capacity(capacity), m_maxBytes(maxBytes) {}

    // Logs `req` with `body` as {"method","path","headers":{...},"body"},
    // the headers as sent. A cut body is followed by "bodyBytes", its whole
    // length. Secrets are shown as "***": the value of a header whose name
    // speaks of one (Authorization, Cookie, X-Auth-Token, ...), the
    // password of a login body, and all of a login body that is not a JSON
    // object or is too long to show.
    void add(const httplib::Request& req, const std::string& body);
    void clear();
    // The log as a JSON array, at most maxBytes long.
    std::string toJson() const;

private:
    mutable std::mutex m_mutex;
    const std::size_t m_capacity, m_maxBytes;
    std::deque<std::string> m_entries; // each as JSON
    std::size_t m_bytes = 2;           // of toJson(): brackets and commas too
};

} // namespace Sim
} // namespace LCD
