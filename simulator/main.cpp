// lcd-device-sim: serves the simulated device on a loopback port until
// SIGINT or SIGTERM.
#include <pthread.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "simulator/devicesim.h"
#include "simulator/loopback.h"

namespace {

const char* kUsage =
    "usage: lcd-device-sim [--host ADDR] [--port N] [--user U] [--password P]\n"
    "                      [--token T] [--layers N]\n"
    "\n"
    "Serves the display processor's REST interface on a loopback address.\n"
    "  --host ADDR     address to listen on, within 127.0.0.0/8 or ::1 (default 127.0.0.1)\n"
    "  --port N        port to listen on, 0 for a free one (default 8900)\n"
    "  --user U        login user name (default admin)\n"
    "  --password P    login password (default admin)\n"
    "  --token T       accept token T without a login\n"
    "  --layers N      layers 1..N exist (default 8)\n"
    "  --help          show this text\n"
    "\n"
    "Once listening it prints one line: lcd-device-sim listening on http://HOST:PORT\n";

bool toInt(const std::string& text, int min, int max, int& out) {
    char* end = nullptr;
    const long v = std::strtol(text.c_str(), &end, 10);
    if (text.empty() || *end != '\0' || v < min || v > max)
        return false;
    out = static_cast<int>(v);
    return true;
}

int usageError(const std::string& message) {
    std::cerr << "lcd-device-sim: " << message << "\n"
              << "try 'lcd-device-sim --help'\n";
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    LCD::Sim::Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage;
            return 0;
        }
        if (i + 1 >= argc)
            return usageError(arg.rfind("--", 0) == 0 ? arg + " needs a value"
                                                      : "unknown argument " + arg);
        const std::string value = argv[++i];
        if (arg == "--host") {
            options.host = value;
        } else if (arg == "--port") {
            if (!toInt(value, 0, 65535, options.port))
                return usageError("--port must be a number from 0 to 65535");
        } else if (arg == "--user") {
            options.user = value;
        } else if (arg == "--password") {
            options.password = value;
        } else if (arg == "--token") {
            options.token = value;
        } else if (arg == "--layers") {
            if (!toInt(value, 0, 100000, options.layers))
                return usageError("--layers must be a number from 0 to 100000");
        } else {
            return usageError("unknown argument " + arg);
        }
    }
    if (!LCD::Sim::isLoopbackAddress(options.host))
        return usageError("refusing --host " + options.host +
                          ": only loopback addresses (127.0.0.0/8, ::1) are allowed");

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
    std::cout << "lcd-device-sim listening on " << sim.url() << std::endl;

    int received = 0;
    sigwait(&stopSignals, &received);
    sim.stop();
    return 0;
}
