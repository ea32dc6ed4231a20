// The device simulator run as a child process, for when no device is given:
//
//   lcdclient::SimulatorProcess device;
//   std::string error;
//   if (!device.start(simulatorPath, {}, 30000, &error)) { ... }
//   device.url();      // "http://127.0.0.1:PORT", read from its first line
//   device.stop();     // SIGTERM, then SIGKILL after a grace; also done by the destructor
//
// The simulator is started with --port 0 and prints
// "lcd-device-sim listening on http://HOST:PORT" once it serves. It never
// outlives us: the kernel sends it SIGKILL when the thread that started it
// ends, so start it from the main thread. When the environment sets
// LCD_EXEC_WRAPPER (e.g. an emulator), its words are put in front of the
// command.
#pragma once

#include <functional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace lcdclient {

class SimulatorProcess {
public:
    SimulatorProcess() = default;
    ~SimulatorProcess() { stop(); }
    SimulatorProcess(const SimulatorProcess&) = delete;
    SimulatorProcess& operator=(const SimulatorProcess&) = delete;

    // Starts `program` with `arguments` after --port 0 and waits up to
    // `timeoutMs` for its listening line, or until `cancelled` says so
    // (asked every few milliseconds).
    bool start(const std::string& program, const std::vector<std::string>& arguments, int timeoutMs,
               std::string* error, const std::function<bool()>& cancelled = {});
    // Asks the simulator to end and waits `graceMs` for it before killing it.
    void stop(int graceMs = 2000);

    const std::string& url() const { return m_url; }
    bool running() const { return m_pid > 0; }

private:
    pid_t m_pid = -1;
    int m_stdout = -1;
    std::string m_url;
};

} // namespace lcdclient
