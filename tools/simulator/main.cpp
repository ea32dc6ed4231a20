// lcd-device-sim: serves the simulated device on a loopback port until
// SIGINT or SIGTERM.
#include <CLI/CLI.hpp>
#include <pthread.h>

#include <malloc.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <string>

#include "tools/common/commandline.h"
#include "tools/common/standardoutput.h"
#include "tools/simulator/devicesim.h"
#include "tools/simulator/faultplan.h"
#include "tools/simulator/limits.h"
#include "tools/simulator/listenaddress.h"
#include "tools/simulator/picture.h"

namespace {

constexpr const char* kEndpoints = R"(
Control endpoints, on the same port, for tests (one line each):
  POST   /sim/fault        the fault of the next sets, e.g. {"mode":"delay","ms":300,"count":2}
  POST   /sim/autoreport   pushes an auto-report: {"errorCode":E}, {"body":"..."} or {"raw":"..."}
  POST   /sim/stream/drop  ends every open event stream
  GET    /sim/requests     the last requests on the device's paths, credentials as ***
  DELETE /sim/requests     empties that log
  GET    /sim/stats        sets, reports and event-stream subscribers so far
  GET    /sim/layers/N/picture.png  layer N's test image as the device would show it
A POST without a body is the plain form: no fault, a report of the layers as
they are, every stream ended. Fault modes: none, delay (ms), close, close-mid,
non-json, empty, code (code), http500, huge (bytes); "count" limits a fault to
that many sets; any other member is refused.
)";

// The limits, from where they are kept.
std::string limitsHelp() {
    using namespace LCD::Sim;
    char text[800];
    std::snprintf(text, sizeof text,
                  "\nLimits: what a client sends is refused as it arrives, with the device's JSON\n"
                  "error and this status:\n"
                  "  413  a request body over %zu bytes\n"
                  "  431  a request line and headers over %zu bytes, a header line over %zu\n"
                  "  503  one more event stream while %zu are open\n"
                  "The device's endpoints, GET /events included, need the token (Authorization).\n"
                  "A method an endpoint does not take is 405, with Allow.\n"
                  "GET /sim/requests answers at most %zu bytes, each body cut to its first %zu.\n",
                  kMaxBodyBytes, kMaxHeadBytes, kMaxHeaderLineBytes, kMaxStreams, kLogBytes,
                  kLogBodyBytes);
    return text;
}

constexpr const char* kPictureHeading = R"(
What a layer's picture shows: the simulator's own test image (colour bars, a
grey ramp, a skin-tone patch, a colour gradient) with the layer's settings
applied as follows; every setting at its neutral value gives the image as it is.
)";

constexpr const char* kExit = R"(
Once listening it prints one line: lcd-device-sim listening on http://HOST:PORT
Exit status: 0 when stopped by SIGINT or SIGTERM, 1 when it cannot serve (e.g.
"port N is in use"), 2 for a usage error.
)";

} // namespace

int main(int argc, char** argv) {
    LCD::Sim::Options options;
    CLI::App app{"Serves the display processor's REST interface on a loopback address.",
                 "lcd-device-sim"};
    app.allow_extras();
    app.set_version_flag("--version", std::string("lcd-device-sim ") + LCD_VERSION);
    app.add_option(
           "--host", options.host,
           "where to listen, loopback only: 127.0.0.0/8, ::1, localhost (default 127.0.0.1)")
        ->type_name("ADDR");
    app.add_option("--port", options.port,
                   "port to listen on, 0 to 65535, 0 for a free one (default 8900)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 65535));
    app.add_option("--user", options.user, "login user name (default admin)")->type_name("U");
    app.add_option("--password", options.password, "login password (default admin)")
        ->type_name("P");
    app.add_option("--token", options.token, "accept token T without a login")->type_name("T");
    app.add_option("--layers", options.layers, "layers 1..N exist, N up to 100000 (default 8)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 100000));
    app.add_option("--log-size", options.logSize,
                   "requests kept for GET /sim/requests, up to 1000000 (default 1000)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 1000000));
    app.add_option("--fault", options.fault, "play this fault from the start, as POST /sim/fault")
        ->type_name("JSON")
        ->check(CLI::Validator(
            [](std::string& text) {
                std::string why;
                LCD::Sim::FaultPlan plan;
                return plan.set(text, why) ? std::string() : why;
            },
            "", ""));
    app.add_flag("-v,--verbose", options.verbose,
                 "log each exchange and each ended event stream on stderr");
    app.footer(std::string(kEndpoints) + limitsHelp() + kPictureHeading + LCD::Sim::kPictureRules +
               kExit);
    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    if (parsed >= 0)
        return parsed;
    if (const std::string why = LCD::Sim::notLoopback(options.host); !why.empty())
        return lcdtools::commandline::usageError(app,
                                                 "refusing --host " + options.host + ": " + why);
    // Large buffers (request bodies, long answers) are mapped on their own
    // and go back to the system when freed, whatever their size.
    mallopt(M_MMAP_THRESHOLD, 256 << 10);

    // Signals are taken synchronously by this thread; the server threads
    // inherit the blocked mask.
    sigset_t stopSignals;
    sigemptyset(&stopSignals);
    sigaddset(&stopSignals, SIGINT);
    sigaddset(&stopSignals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &stopSignals, nullptr);

    LCD::Sim::DeviceSim sim(options);
    if (sim.start() < 0) {
        std::cerr << "lcd-device-sim: " << sim.error() << "\n";
        return 1;
    }
    // Whoever started the simulator waits for this line: a line that did
    // not reach it is a failed start.
    std::cout << "lcd-device-sim listening on " << sim.url() << "\n";
    if (!lcdtools::standardoutput::finish("lcd-device-sim")) {
        sim.stop();
        return 1;
    }

    int received = 0;
    sigwait(&stopSignals, &received);
    sim.stop();
    return 0;
}
