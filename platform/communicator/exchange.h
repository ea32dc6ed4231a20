// One HTTP exchange with the device over a pooled connection.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace lcdcomm::detail {

using Heads = std::vector<std::pair<std::string, std::string>>;

// A reply larger than this is treated as a transport failure (a write
// error): the device never sends anything near it, and a runaway reply must
// not take the host's memory.
constexpr std::size_t kMaxReplyBytes = std::size_t(64) << 20;

struct Outcome {
    bool delivered = false; // a complete HTTP response arrived
    int status = 0;         // its HTTP status, or minus the transport error code
    std::string body;
    std::string error; // when not delivered: the cause, as transportFailure words it
    double ms = 0;     // the whole exchange
};

// Sends `body` exactly as given, every head as given (an empty value as an
// empty header), nothing the caller did not ask for except the Host and
// Content-Length that HTTP needs. Never throws for a transport problem.
Outcome perform(const std::string& method, const std::string& url, const Heads& heads,
                const std::string& body, long timeoutMs);

// The value of the first head called `name` (in any case), or null.
const std::string* findHead(const Heads& heads, const char* name);

// The text of a negative status from `perform` when nothing more is known.
std::string transportError(int status);

} // namespace lcdcomm::detail
