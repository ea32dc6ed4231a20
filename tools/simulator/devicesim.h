// An in-process stand-in for the display processor's REST interface: login,
// layer image quality set and list, auto-reports as server-sent events on
// GET /events, and control endpoints under /sim/ for fault injection.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace LCD {
namespace Sim {

struct Options {
    std::string host = "127.0.0.1"; // loopback only: an address or a name of one
    int port = 8900;                // 0 picks a free port
    std::string user = "admin";
    std::string password = "admin";
    std::string token;          // when set, accepted without a login
    int layers = 8;             // layers 1..layers exist
    std::size_t logSize = 1000; // requests kept for GET /sim/requests
    bool verbose = false;       // one line per request on stderr
    std::string fault{};        // played from the start, as POST /sim/fault takes it
};

class DeviceSim {
public:
    explicit DeviceSim(Options options);
    ~DeviceSim(); // stops the server
    DeviceSim(const DeviceSim&) = delete;
    DeviceSim& operator=(const DeviceSim&) = delete;

    // Binds and serves on a background thread. Returns the port, or -1
    // when the host is not loopback only, the port is in use, whoever holds
    // it, or cannot be bound otherwise (see error()).
    int start();
    // Ends open event streams, stops serving and joins the server thread.
    void stop();

    int port() const;
    // "http://HOST:PORT", with IPv6 hosts in brackets.
    std::string url() const;
    const std::string& error() const;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

} // namespace Sim
} // namespace LCD
