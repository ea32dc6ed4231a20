// How lcdhost (and any program that takes the same options) reaches a
// device: the options and environment that name it, a device simulator
// started when none is named, the communicator set up and logged in, and
// the plug-in loaded into a host with the device's auto-report stream open.
//
//   lcdclient::ConnectionOptions options;
//   lcdclient::addConnectionOptions(app, options);      // --device, --token, ...
//   ... parse ...
//   lcdclient::Connection connection;
//   std::string error;
//   if (!connection.startDevice(options, &error))      // on the main thread
//       ...
//   if (!connection.open(true, onChange, &error))      // blocks up to the time-out
//       ... error says why, e.g. "login to URL failed: connection refused (...)"
//   connection.session().set(layers);
//   connection.close();                                // also done by the destructor
#pragma once

#include <functional>
#include <string>

#include "platform/communicator/lcdcomm.h"
#include "tools/client/installpaths.h"
#include "tools/client/session.h"
#include "tools/client/simulatorprocess.h"

namespace CLI {
class App;
}

namespace lcdclient {

struct ConnectionOptions {
    std::string device; // empty: start a simulator
    std::string token, user, password;
    bool haveToken = false, haveUser = false, havePassword = false;
    long timeoutMs = 0; // 0: the environment's, or the communicator's default
    std::string plugin = defaultPluginPath();
    std::string simulator = defaultSimulatorPath();
    bool verbose = false; // each exchange with the device on stderr
};

// Adds --device, --token, --user, --password, --timeout-ms, --plugin,
// --simulator and -v/--verbose to `app`, with their checks, and says in
// its footer how the LCD_DEVICE_* environment fills in what they leave
// open.
void addConnectionOptions(CLI::App& app, ConnectionOptions& options);

// After parsing: without --device, LCD_DEVICE_URL names the device.
// Returns the usage error when it is no device address, else "".
std::string takeDeviceFromEnvironment(ConnectionOptions& options);

class Connection {
public:
    Connection() = default;
    ~Connection() { close(); }
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // Without a device, starts the simulator and logs in to it as
    // admin/admin (the environment is not used for it); with one, takes
    // the environment's settings and lets the options override them.
    // Call on the main thread: the simulator ends when the thread that
    // started it ends. `cancelled` is asked while the simulator starts.
    bool startDevice(const ConnectionOptions& options, std::string* error,
                     const std::function<bool()>& cancelled = {});

    // Configures the communicator and logs in unless a token is given;
    // with `withSession`, loads the plug-in and opens the auto-report
    // stream too. May block for the time-out of each step.
    bool open(bool withSession, Session::ChangeCallback onChange, std::string* error,
              pqxhost::AutoReportStream::StateCallback onStream = {});

    // The session, the communicator's connections, the simulator: in that
    // order, so that the simulator sees no client when asked to stop.
    void close();
    // Only the simulator, with a short grace: for an interrupted run that
    // ends without unwinding.
    void stopDevice() { m_device.stop(100); }

    const lcdcomm::Settings& settings() const { return m_settings; }
    bool simulated() const { return m_device.running(); }
    Session& session() { return *m_session; }

private:
    ConnectionOptions m_options;
    lcdcomm::Settings m_settings;
    SimulatorProcess m_device;
    std::unique_ptr<Session> m_session;
    bool m_configured = false;
};

} // namespace lcdclient
