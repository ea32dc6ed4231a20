// Every request the simulated device received on its device paths, in
// order, so tests can check exactly what a client sent.
#pragma once

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
    void add(LoggedRequest r);
    void clear();
    // The log as a JSON array of {"method","path","headers":{...},"body"}.
    std::string toJson() const;

private:
    mutable std::mutex m_mutex;
    std::vector<LoggedRequest> m_entries;
};

} // namespace Sim
} // namespace LCD
