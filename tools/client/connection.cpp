#include "tools/client/connection.h"

#include <CLI/CLI.hpp>

#include <cstdlib>

#include "platform/communicator/device_limits.h"
#include "tools/client/deviceurl.h"
#include "tools/common/commandline.h"

namespace lcdclient {

namespace {

constexpr int kSimulatorStartMs = 30000; // generous: it may run under an emulator

// The communicator's caps in its own words, one to a line.
std::string deviceLimits() {
    std::string caps = lcdcomm::limits::summary();
    for (std::size_t at; (at = caps.find(", ")) != std::string::npos;)
        caps.replace(at, 2, "\n  ");
    return "\nWhat the device sends is held to caps, enforced as the bytes arrive:\n  " + caps +
           "\n";
}

} // namespace

void addConnectionOptions(CLI::App& app, ConnectionOptions& o) {
    app.add_option("--device", o.device,
                   "the device, http://HOST[:PORT]; without it a device simulator is started "
                   "on a free loopback port")
        ->type_name("URL")
        ->check(CLI::Validator(deviceUrlFault, "", ""));
    app.add_option_function<std::string>(
           "--token", [&o](const std::string& v) { o.token = v, o.haveToken = true; },
           "use this token instead of logging in")
        ->type_name("T")
        ->check(lcdtools::commandline::notEmpty());
    app.add_option_function<std::string>(
           "--user", [&o](const std::string& v) { o.user = v, o.haveUser = true; },
           "login user (admin with the simulator)")
        ->type_name("U")
        ->check(lcdtools::commandline::notEmpty());
    app.add_option_function<std::string>(
           "--password", [&o](const std::string& v) { o.password = v, o.havePassword = true; },
           "login password (admin with the simulator)")
        ->type_name("P");
    app.add_flag("-v,--verbose", o.verbose,
                 "print each exchange with the device on stderr, tokens and passwords as ***");
    app.add_option("--timeout-ms", o.timeoutMs, "time-out of each device request (default 5000)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(1, 3600000));
    app.add_option("--plugin", o.plugin, "the plug-in (default: " + o.plugin + ")")
        ->type_name("PATH");
    app.add_option("--simulator", o.simulator,
                   "the device simulator (default: " + o.simulator + ")")
        ->type_name("PATH");
    app.footer(app.get_footer() +
               "\nThe device is --device, else the environment's LCD_DEVICE_URL. For it,\n"
               "LCD_DEVICE_TOKEN, LCD_DEVICE_USER, LCD_DEVICE_PASSWORD and LCD_DEVICE_TIMEOUT_MS\n"
               "stand in for --token, --user, --password and --timeout-ms when those are not\n"
               "given; --user or --password sets LCD_DEVICE_TOKEN aside. With neither, a device\n"
               "simulator is started and the environment is not used.\n" +
               deviceLimits());
}

std::string takeDeviceFromEnvironment(ConnectionOptions& o) {
    const char* url = std::getenv("LCD_DEVICE_URL");
    if (!o.device.empty() || url == nullptr || *url == '\0')
        return "";
    std::string device = url;
    const std::string fault = deviceUrlFault(device);
    if (!fault.empty())
        return "LCD_DEVICE_URL: " + fault;
    o.device = device;
    return "";
}

bool Connection::startDevice(const ConnectionOptions& options, std::string* error,
                             const std::function<bool()>& cancelled) {
    m_options = options;
    if (options.device.empty()) {
        if (!m_device.start(options.simulator, {}, kSimulatorStartMs, error, cancelled))
            return false;
        m_settings = lcdcomm::Settings{};
        m_settings.url = m_device.url();
        m_settings.user = "admin";
        m_settings.password = "admin";
    } else {
        m_settings = lcdcomm::Settings::fromEnvironment();
        m_settings.url = options.device;
    }
    // What the command line says wins: its login over the environment's token.
    if ((options.haveUser || options.havePassword) && !options.haveToken)
        m_settings.token.clear();
    if (options.haveToken)
        m_settings.token = options.token;
    if (options.haveUser)
        m_settings.user = options.user;
    if (options.havePassword)
        m_settings.password = options.password;
    if (options.timeoutMs > 0)
        m_settings.timeoutMs = options.timeoutMs;
    return true;
}

bool Connection::open(bool withSession, Session::ChangeCallback onChange, std::string* error,
                      pqxhost::AutoReportStream::StateCallback onStream) {
    lcdcomm::configure(m_settings);
    m_configured = true;
    // The login first: a device that cannot be reached is named by its
    // cause at once.
    std::string why;
    if (m_settings.token.empty() && !lcdcomm::login(&why)) {
        if (error)
            *error = "login to " + m_settings.url + " failed: " + why;
        return false;
    }
    if (!withSession)
        return true;
    m_session = std::make_unique<Session>(std::move(onChange));
    m_session->onStreamState(std::move(onStream));
    return m_session->open(m_options.plugin, m_settings.url, static_cast<int>(m_settings.timeoutMs),
                           error);
}

void Connection::close() {
    if (m_session)
        m_session->close();
    m_session.reset();
    if (m_configured) {
        // Dropping the pooled connections lets the simulator end at once
        // instead of waiting out their keep-alive.
        lcdcomm::configure(lcdcomm::Settings{});
        m_configured = false;
    }
    m_device.stop();
}

} // namespace lcdclient
