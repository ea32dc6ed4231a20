// lcdhost: the stand-in host application. Loads the layer image-quality
// plug-in, connects it to a device (by default a device simulator it starts
// itself) and sends it set requests or shows what the device reports.
#include <atomic>
#include <csignal>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <limits.h>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "platform/communicator/lcdcomm.h"
#include "platform/framework/lcdhost/embeddeddevice.h"
#include "platform/framework/lcdhost/installpaths.h"
#include "platform/framework/lcdhost/layerfields.h"
#include "platform/framework/lcdhost/session.h"
#include "protocol/protomodel.h"

#include <chrono>

namespace {

constexpr const char* kUsage = R"(usage: lcdhost [OPTIONS] [demo]
       lcdhost [OPTIONS] set --layer N [--MEMBER VALUE]... [--layer N ...]
       lcdhost [OPTIONS] set --file FILE
       lcdhost [OPTIONS] watch [--seconds N]

Loads the layer image-quality plug-in into a host, connects it to a device
and talks to the device through it.

Commands:
  demo       sets three layers, shows each answer and each change the device
             reports, then a set the device refuses (the default command)
  set        sends one set request; each --layer starts a record with the
             device defaults, the member options after it change that record.
             --file FILE sends the JSON array of layer records in FILE instead.
             Prints whether the device accepted it and the change it reports.
  watch      prints every layer change the device reports, for N seconds
             (0, the default: until interrupted)

Options:
  --device URL       the device, http://HOST:PORT; without it a device
                     simulator is started on a free loopback port
  --token T          use token T instead of logging in
  --user U           login user (default admin with the simulator)
  --password P       login password (default admin with the simulator)
  --timeout-ms N     time-out of one device request (default 5000)
  --wait-ms N        how long set waits for the reported change (default 3000)
  --plugin PATH      the plug-in (default ../lib/liblayerimagequalitymodel.so.1
                     beside this program)
  --simulator PATH   the simulator (default lcd-device-sim beside this program)
  -h, --help         show this text

Members of a layer record for set (decimal integers):
  )";

constexpr const char* kUsageEnd = R"(

Without --device, the environment's LCD_DEVICE_URL, LCD_DEVICE_TOKEN,
LCD_DEVICE_USER, LCD_DEVICE_PASSWORD and LCD_DEVICE_TIMEOUT_MS are ignored
for the simulator it starts; with --device they fill in what is not given.

Exit status: 0 when every set was accepted, 1 when a set was refused or not
answered or the device could not be reached, 2 for a usage error.
)";

std::atomic<bool> g_interrupted{false};

void onSignal(int) {
    g_interrupted = true;
}

struct UsageError {
    std::string text;
};

struct Options {
    std::string device;
    std::string token, user, password;
    bool haveToken = false, haveUser = false, havePassword = false;
    long timeoutMs = 0;
    int waitMs = 3000;
    std::string plugin = lcdhost::defaultPluginPath();
    std::string simulator = lcdhost::defaultSimulatorPath();
    std::string command = "demo";
    std::vector<std::string> rest; // the command's own arguments
};

int intValue(const std::string& flag, const std::string& text, int min) {
    int value = 0;
    if (!lcdhost::parseInt(text, value) || value < min)
        throw UsageError{flag + ": \"" + text + "\" is not a number of at least " +
                         std::to_string(min)};
    return value;
}

Options parseOptions(int argc, char** argv) {
    Options o;
    int i = 1;
    auto next = [&](const std::string& flag) -> std::string {
        if (i + 1 >= argc)
            throw UsageError{flag + " needs a value"};
        return argv[++i];
    };
    for (; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "-h" || a == "--help") {
            o.command = "help";
            return o;
        } else if (a == "--device") {
            o.device = next(a);
        } else if (a == "--token") {
            o.token = next(a);
            o.haveToken = true;
        } else if (a == "--user") {
            o.user = next(a);
            o.haveUser = true;
        } else if (a == "--password") {
            o.password = next(a);
            o.havePassword = true;
        } else if (a == "--timeout-ms") {
            o.timeoutMs = intValue(a, next(a), 1);
        } else if (a == "--wait-ms") {
            o.waitMs = intValue(a, next(a), 0);
        } else if (a == "--plugin") {
            o.plugin = next(a);
        } else if (a == "--simulator") {
            o.simulator = next(a);
        } else if (a == "demo" || a == "set" || a == "watch") {
            o.command = a;
            o.rest.assign(argv + i + 1, argv + argc);
            return o;
        } else {
            throw UsageError{"unknown option or command \"" + a + "\""};
        }
    }
    return o;
}

lcdhost::LayerList layersFromArguments(const std::vector<std::string>& args) {
    lcdhost::LayerList layers;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a == "-h" || a == "--help")
            throw UsageError{""};
        if (a.size() < 3 || a.compare(0, 2, "--") != 0)
            throw UsageError{"set: \"" + a + "\" is not an option"};
        if (i + 1 >= args.size())
            throw UsageError{"set: " + a + " needs a value"};
        const std::string name = a.substr(2);
        const std::string& value = args[++i];
        if (name == "file")
            throw UsageError{"set: --file cannot be mixed with --layer"};
        if (name == "layer") {
            layers.emplace_back();
            layers.back().layerId = intValue(a, value, INT_MIN);
            continue;
        }
        if (layers.empty())
            throw UsageError{"set: " + a + " comes before any --layer"};
        std::string error;
        if (!lcdhost::setField(layers.back(), name, value, &error))
            throw UsageError{"set: " + error};
    }
    if (layers.empty())
        throw UsageError{"set: give --layer N or --file FILE"};
    return layers;
}

// The set body of a file, read with the plug-in's own codec.
bool layersFromFile(const std::string& path, lcdhost::LayerList& layers) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        std::cerr << "lcdhost: cannot read " << path << "\n";
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string err;
    if (!LCD::ProtoModel::decode(text.str(), layers, err)) {
        std::cerr << "lcdhost: " << path << " is not a list of layer records: " << err << "\n";
        return false;
    }
    return true;
}

std::string describe(const lcdhost::LayerList& layers) {
    if (layers.empty())
        return "no layers";
    std::string text;
    for (const auto& layer : layers)
        text += (text.empty() ? "" : "; ") + lcdhost::summary(layer);
    return text;
}

// Changes reported by the device, printed by the main thread so that they
// follow the answer of the set that caused them.
class ChangeLog {
public:
    void add(const lcdhost::LayerList& layers) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_pending.push_back(describe(layers));
    }
    void print() {
        std::vector<std::string> lines;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            lines.swap(m_pending);
        }
        for (const auto& line : lines)
            std::cout << "  changed: " << line << "\n";
        std::cout.flush();
    }

private:
    std::mutex m_mutex;
    std::vector<std::string> m_pending;
};

ChangeLog g_changes;

// Sends one set request and reports the answer and the change it causes.
bool setAndShow(lcdhost::Session& session, const lcdhost::LayerList& layers, int waitMs,
                bool expectAccepted = true) {
    std::cout << "set " << describe(layers) << "\n";
    const std::uint64_t before = session.changes();
    const pqxhost::Answer answer = session.set(layers);
    bool accepted = false;
    if (answer.status == pqxhost::Answer::Status::answered && answer.payload.size() == 1) {
        accepted = answer.payload[0] != 0;
        std::cout << "  answer: " << (accepted ? "accepted" : "refused by the device") << "\n";
    } else {
        std::cout << "  answer: none (" << pqxhost::toString(answer.status)
                  << (answer.error.empty() ? "" : ": " + answer.error)
                  << "; the plug-in's warning above says why)\n";
    }
    std::cout.flush();
    if (accepted && waitMs > 0 && !session.waitForChanges(before + 1, waitMs))
        std::cout << "  no change reported within " << waitMs << " ms\n";
    g_changes.print();
    return accepted == expectAccepted;
}

int runDemo(lcdhost::Session& session, int waitMs) {
    bool ok = true;
    lcdhost::LayerList one(1);
    one[0].layerId = 1;
    one[0].imageQuality.hue = -10;
    ok &= setAndShow(session, one, waitMs);

    lcdhost::LayerList two(2);
    two[0].layerId = 2;
    two[0].imageQuality.saturation = 70;
    two[0].imageQuality.gamma = 200;
    two[1].layerId = 3;
    two[1].imageQuality.contrast = {60, 55, 45};
    ok &= setAndShow(session, two, waitMs);

    std::cout << "a layer the device does not have:\n";
    lcdhost::LayerList unknown(1);
    unknown[0].layerId = 99;
    ok &= setAndShow(session, unknown, waitMs, false);
    std::cout << (ok ? "demo: every answer as expected\n"
                     : "demo: an answer was not as expected\n");
    return ok ? 0 : 1;
}

int runWatch(const std::vector<std::string>& args) {
    int seconds = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--seconds" && i + 1 < args.size())
            seconds = intValue("--seconds", args[++i], 0);
        else
            throw UsageError{"watch: unknown argument \"" + args[i] + "\""};
    }
    std::cout << "watching" << (seconds ? " for " + std::to_string(seconds) + " s" : "")
              << "; Ctrl-C ends\n";
    std::cout.flush();
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (!g_interrupted && (seconds == 0 || std::chrono::steady_clock::now() < end)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        g_changes.print();
    }
    return 0;
}

void printUsage(std::ostream& out) {
    out << kUsage;
    const auto& names = lcdhost::fieldNames();
    std::size_t column = 2;
    for (std::size_t i = 1; i < names.size(); ++i) { // layerId is --layer
        const std::string item = "--" + names[i];
        if (column + item.size() + 1 > 78) { // wrap before the item
            out << "\n  ";
            column = 2;
        }
        if (column > 2) {
            out << ' ';
            ++column;
        }
        out << item;
        column += item.size();
    }
    out << kUsageEnd;
}

} // namespace

int main(int argc, char** argv) {
    Options options;
    lcdhost::LayerList layers;
    bool fromFile = false;
    try {
        options = parseOptions(argc, argv);
        if (options.command == "help") {
            printUsage(std::cout);
            return 0;
        }
        if (options.command == "set") {
            if (options.rest.size() == 2 && options.rest[0] == "--file")
                fromFile = true;
            else
                layers = layersFromArguments(options.rest);
        } else if (options.command == "demo" && !options.rest.empty()) {
            throw UsageError{"demo takes no arguments"};
        }
    } catch (const UsageError& e) {
        if (!e.text.empty())
            std::cerr << "lcdhost: " << e.text << "\n";
        std::cerr << "Try 'lcdhost --help'.\n";
        return 2;
    }
    if (fromFile && !layersFromFile(options.rest[1], layers))
        return 1;

    std::signal(SIGINT, onSignal);
    std::signal(SIGTERM, onSignal);
    std::signal(SIGPIPE, SIG_IGN);

    lcdhost::EmbeddedDevice device;
    lcdcomm::Settings settings;
    std::string error;
    if (options.device.empty()) {
        if (!device.start(options.simulator, {}, 30000, &error)) {
            std::cerr << "lcdhost: " << error << "\n";
            return 1;
        }
        settings.url = device.url();
        settings.user = "admin";
        settings.password = "admin";
        std::cout << "device: " << device.url() << " (a device simulator started by lcdhost)\n";
    } else {
        settings = lcdcomm::Settings::fromEnvironment();
        settings.url = options.device;
        std::cout << "device: " << options.device << "\n";
    }
    if (options.haveToken)
        settings.token = options.token;
    if (options.haveUser)
        settings.user = options.user;
    if (options.havePassword)
        settings.password = options.password;
    if (options.timeoutMs > 0)
        settings.timeoutMs = options.timeoutMs;
    lcdcomm::configure(settings);

    lcdhost::Session session([](const lcdhost::LayerList& changed) { g_changes.add(changed); });
    if (!session.open(options.plugin, settings.url, static_cast<int>(settings.timeoutMs), &error)) {
        std::cerr << "lcdhost: " << error << "\n";
        return 1;
    }
    for (const std::string& line : session.registrations())
        std::cout << line << "\n";
    if (settings.token.empty() && !lcdcomm::login(&error)) {
        std::cerr << "lcdhost: login to " << settings.url << " failed: " << error << "\n";
        return 1;
    }

    int status = 0;
    if (options.command == "demo")
        status = runDemo(session, options.waitMs);
    else if (options.command == "set")
        status = setAndShow(session, layers, options.waitMs) ? 0 : 1;
    else
        status = runWatch(options.rest);
    session.close();
    // Dropping the pooled connections lets the simulator end at once instead
    // of waiting out their keep-alive.
    lcdcomm::configure(lcdcomm::Settings{});
    device.stop();
    return status;
}
