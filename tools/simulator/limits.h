// What the simulated device takes from a client, and how long it waits:
// the limits --help and the README state. Each is enforced as the bytes
// arrive, so a client over one costs the device no more than the limit.
#pragma once

#include <chrono>
#include <cstddef>

namespace LCD {
namespace Sim {

// A request body: a set of every layer of the largest device (100000
// layers) fits. Larger is refused with 413, unread.
constexpr std::size_t kMaxBodyBytes = 64u << 20;
// The request line and headers together, and any one header line; larger
// is refused with 431.
constexpr std::size_t kMaxHeadBytes = 16u << 10;
constexpr std::size_t kMaxHeaderLineBytes = 8u << 10;
// Open event streams at once; one more is refused with 503.
constexpr std::size_t kMaxStreams = 256;
// GET /sim/requests answers at most this many bytes; each logged body keeps
// this long a prefix.
constexpr std::size_t kLogBytes = 4u << 20;
constexpr std::size_t kLogBodyBytes = 4u << 10;

// A client that sends nothing for this long in the middle of a request, or
// takes nothing of what it is sent for this long, is dropped; an idle
// kept-alive connection is closed after kKeepAlive.
constexpr std::chrono::seconds kReadTimeout{5};
constexpr std::chrono::seconds kWriteTimeout{5};
constexpr std::chrono::seconds kKeepAlive{5};
// An event stream hears at least this often: a ping when there is no report.
constexpr std::chrono::seconds kPingInterval{1};

// Threads that serve requests. Open event streams and idle connections
// hold none of them.
constexpr int kRequestWorkers = 16;

} // namespace Sim
} // namespace LCD
