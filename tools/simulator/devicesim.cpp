#include "tools/simulator/devicesim.h"

#include <chrono>
#include <csignal>
#include <cstdio>
#include <thread>

#include "tools/simulator/device.h"
#include "tools/simulator/httpserver.h"
#include "tools/simulator/listenaddress.h"

namespace LCD {
namespace Sim {

struct DeviceSim::State {
    explicit State(const Options& o)
        : device(o, o.verbose ? [](const std::string& account) {
              std::fprintf(stderr, "lcd-device-sim: event stream to %s\n", account.c_str());
          } : EventHub::EndCallback()),
          server(
              [this](const httplib::Request& req, const std::string& body, httplib::Response& res) {
                  // Every request on the device's paths is logged, known or not.
                  if (req.path.rfind("/movra/", 0) == 0)
                      device.log.add(req, body);
                  routes.dispatch(req, body, res);
              },
              o.verbose) {
        addDeviceEndpoints(routes, device);
        addControlEndpoints(routes, device);
    }

    Device device;
    Routes routes;
    HttpServer server;
    std::thread serving;
    std::atomic<bool> served{false}; // the listen loop has returned
    int port = -1;
    std::string error;
};

DeviceSim::DeviceSim(Options options) : m_state(std::make_unique<State>(options)) {}

DeviceSim::~DeviceSim() {
    stop();
}

int DeviceSim::start() {
    State& st = *m_state;
    const Options& o = st.device.options;
    if (const std::string why = notLoopback(o.host); !why.empty()) {
        st.error = "refusing to serve on " + o.host + ": " + why;
        return -1;
    }
    if (o.layers < 0) {
        st.error = "the number of layers must not be negative";
        return -1;
    }
    // A client that goes away mid-reply must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (!o.token.empty())
        st.device.tokens.accept(o.token);
    std::string why;
    if (!o.fault.empty() && !st.device.faults.set(o.fault, why)) {
        st.error = "fault: " + why;
        return -1;
    }
    st.port = st.server.bindTo(o.host, o.port);
    if (st.port <= 0) {
        st.port = -1;
        st.error = o.port != 0 && portInUse(o.host, o.port)
                       ? "port " + std::to_string(o.port) + " is in use"
                       : "cannot listen on " + o.host + " port " + std::to_string(o.port);
        return -1;
    }
    st.serving = std::thread([&st] {
        st.server.serve();
        st.served = true;
    });
    return st.port;
}

void DeviceSim::stop() {
    State& st = *m_state;
    if (!st.serving.joinable())
        return;
    st.device.stopping = true;
    st.device.hub.stop();
    // A stop that comes before the listen loop has begun is not seen by it,
    // so repeat it until the loop has returned.
    while (!st.served) {
        st.server.stopServing();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    st.serving.join();
}

int DeviceSim::port() const {
    return m_state->port;
}

std::string DeviceSim::url() const {
    return urlOf(m_state->device.options.host, m_state->port);
}

const std::string& DeviceSim::error() const {
    return m_state->error;
}

} // namespace Sim
} // namespace LCD
