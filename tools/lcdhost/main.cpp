// lcdhost: the stand-in host application. Loads the layer image-quality
// plug-in, connects it to a device (by default a device simulator it starts
// itself) and sends it set requests, reads its layers or shows what the
// device reports.
#include <CLI/CLI.hpp>
#include <nlohmann/json.hpp>

#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <ctime>
#include <iostream>
#include <mutex>
#include <string>
#include <unistd.h>
#include <vector>

#include "tools/common/commandline.h"
#include "tools/common/layersettings.h"
#include "tools/common/wholenumber.h"
#include "tools/client/connection.h"
#include "tools/client/devicelayers.h"
#include "tools/client/exchangelog.h"
#include "tools/client/interruption.h"
#include "tools/client/layersummary.h"
#include "tools/client/layerjson.h"
#include "tools/client/pluginwarnings.h"
#include "tools/client/setanswer.h"

namespace {

using lcdclient::LayerList;
using Json = nlohmann::ordered_json;
using Clock = std::chrono::system_clock;

struct Output {
    bool quiet = false;
    bool json = false;
    bool verbose = false;
};

Output g_out;
lcdclient::Connection* g_connection = nullptr;

// Ends a run that a signal interrupted while a worker may still block in
// the communicator: the simulator is stopped, and nothing is unwound, since
// destructors would join that worker.
[[noreturn]] void abandon() {
    if (g_connection)
        g_connection->stopDevice();
    std::fflush(stdout);
    static const char kLine[] = "lcdhost: interrupted\n";
    [[maybe_unused]] const ssize_t written = ::write(STDERR_FILENO, kLine, sizeof kLine - 1);
    ::_exit(130);
}

void say(const std::string& line) {
    if (!g_out.quiet && !g_out.json)
        std::cout << line << "\n" << std::flush;
}

void sayJson(const Json& value) {
    if (g_out.json)
        std::cout << value.dump(-1, ' ', false, Json::error_handler_t::replace) << "\n"
                  << std::flush;
}

void error(const std::string& line) {
    std::cerr << "lcdhost: " << line << "\n";
}

std::string describe(const LayerList& layers) {
    if (layers.empty())
        return "no layers";
    std::string text;
    for (const auto& layer : layers)
        text += (text.empty() ? "" : "; ") + lcdclient::summary(layer);
    return text;
}

// "2024-05-01 14:03:07.250" in local time, or "2024-05-01T12:03:07.250Z".
std::string timestamp(Clock::time_point when, bool utc) {
    const std::time_t seconds = Clock::to_time_t(when);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    std::tm parts{};
    if (utc)
        gmtime_r(&seconds, &parts);
    else
        localtime_r(&seconds, &parts);
    char text[40];
    const std::size_t n =
        std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &parts);
    std::snprintf(text + n, sizeof text - n, ".%03d%s", static_cast<int>(ms), utc ? "Z" : "");
    return text;
}

// What the device reported, kept by the threads that hear it until the
// main thread prints it, so that changes follow the answer that caused them.
class Inbox {
public:
    struct Change {
        Clock::time_point when;
        LayerList layers;
    };
    void add(const LayerList& layers) {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_changes.push_back({Clock::now(), layers});
    }
    // The first opening is no news; one after a loss is.
    void stream(bool open, const std::string& why) {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (open && !m_lost)
            return;
        m_lost = !open;
        m_notes.push_back(open ? "" : why);
    }
    std::vector<Change> takeChanges() {
        std::lock_guard<std::mutex> lock(m_mutex);
        std::vector<Change> taken;
        taken.swap(m_changes);
        return taken;
    }
    // The stream's news on stderr; a loss is an error, even with -q.
    void printStreamNotes() {
        std::vector<std::string> notes;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            notes.swap(m_notes);
        }
        for (const std::string& why : notes) {
            if (!why.empty())
                error("stream lost, reconnecting (" + why + ")");
            else if (!g_out.quiet)
                error("stream open again");
        }
    }

private:
    std::mutex m_mutex;
    std::vector<Change> m_changes;
    std::vector<std::string> m_notes;
    bool m_lost = false;
};

Inbox g_inbox;

struct SetOptions {
    LayerList layers;
    std::string file;
    bool strict = false;
    int waitMs = 3000;
};

// Sends one set request; prints the answer and the change it causes.
// Returns the exit status of the set.
int setAndShow(lcdclient::Session& session, const LayerList& layers, const SetOptions& options,
               bool expectAccepted = true) {
    say("set " + describe(layers));
    const std::uint64_t before = session.changes();
    lcdclient::SetAnswer answer;
    if (!lcdclient::interruption::run([&] { answer = lcdclient::sendSet(session, layers); }))
        abandon();

    using Verdict = lcdclient::SetAnswer::Verdict;
    const bool accepted = answer.verdict == Verdict::accepted;
    const bool refused = answer.verdict == Verdict::refused;
    const std::string verdict = accepted ? "accepted" : refused ? "refused" : "none";
    const std::string& reason = answer.reason;
    const bool failed = !accepted || (options.strict && answer.warned);
    const std::string line =
        verdict + (refused ? " by the device" : "") + (reason.empty() ? "" : " (" + reason + ")");
    say("  answer: " + line);
    if (failed && g_out.quiet)
        error("answer: " + line);

    if (accepted && options.waitMs > 0) {
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::milliseconds(options.waitMs);
        while (!session.waitForChanges(before + 1, 10)) {
            if (lcdclient::interruption::requested())
                abandon();
            if (std::chrono::steady_clock::now() >= until) {
                say("  no change reported within " + std::to_string(options.waitMs) + " ms");
                break;
            }
        }
    }
    Json changes = Json::array();
    for (const Inbox::Change& change : g_inbox.takeChanges()) {
        say("  changed: " + describe(change.layers));
        changes.push_back(lcdclient::layersToJson(change.layers));
    }
    sayJson(Json{{"set", lcdclient::layersToJson(layers)},
                 {"answer", verdict},
                 {"reason", reason},
                 {"changes", changes}});
    return accepted == expectAccepted && !(expectAccepted && failed) ? 0 : 1;
}

int runDemo(lcdclient::Session& session, const SetOptions& options) {
    int worst = 0;
    LayerList one(1);
    one[0].layerId = 1;
    one[0].imageQuality.hue = -10;
    worst |= setAndShow(session, one, options);

    LayerList two(2);
    two[0].layerId = 2;
    two[0].imageQuality.saturation = 70;
    two[0].imageQuality.gamma = 200;
    two[1].layerId = 3;
    two[1].imageQuality.contrast = {60, 55, 45};
    worst |= setAndShow(session, two, options);

    say("a layer the device does not have:");
    LayerList unknown(1);
    unknown[0].layerId = 99;
    worst |= setAndShow(session, unknown, options, false);
    say(worst == 0 ? "demo: every answer as expected" : "demo: an answer was not as expected");
    return worst;
}

int runGet(const std::vector<int>& ids) {
    LayerList all;
    std::string why;
    bool ok = false;
    if (!lcdclient::interruption::run([&] { ok = lcdclient::readDeviceLayers(all, &why); }))
        abandon();
    if (!ok) {
        error("cannot read the device's layers: " + why);
        return 1;
    }
    LayerList shown = ids.empty() ? all : LayerList{};
    for (int id : ids) {
        bool found = false;
        for (const auto& layer : all)
            if (layer.layerId == id) {
                shown.push_back(layer);
                found = true;
                break;
            }
        if (!found) {
            error("the device has no layer " + std::to_string(id));
            return 1;
        }
    }
    for (const auto& layer : shown)
        say(lcdclient::summary(layer));
    sayJson(lcdclient::layersToJson(shown));
    return 0;
}

int runWatch(lcdclient::Session& session, int seconds) {
    say(std::string("watching") + (seconds ? " for " + std::to_string(seconds) + " s" : "") +
        "; Ctrl-C ends");
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (seconds == 0 || std::chrono::steady_clock::now() < end) {
        const bool interrupted = lcdclient::interruption::sleep(100);
        g_inbox.printStreamNotes();
        for (const Inbox::Change& change : g_inbox.takeChanges()) {
            say(timestamp(change.when, false) + " changed: " + describe(change.layers));
            sayJson(Json{{"time", timestamp(change.when, true)},
                         {"layers", lcdclient::layersToJson(change.layers)}});
        }
        // A reader that went away (watch | head) ends the watch too.
        if (interrupted || !std::cout)
            break;
    }
    if (!session.streamOpen()) {
        error("the device's auto-report stream was lost and did not come back");
        return 1;
    }
    return 0;
}

// The value of a member option. CLI11 puts the option's name in front of
// what it throws.
int memberValue(const std::string& value) {
    long long parsed = 0;
    if (!lcdtools::parseWhole(value, INT_MIN, INT_MAX, parsed))
        throw CLI::ValidationError("\"" + value + "\" is not a 32-bit integer");
    return static_cast<int>(parsed);
}

void addMemberOptions(CLI::App& set, LayerList& layers) {
    set.add_option("--layer", "starts a record with the device defaults for layer N")
        ->type_name("N")
        ->trigger_on_parse()
        ->each([&layers](const std::string& value) {
            const int id = memberValue(value);
            layers.emplace_back();
            layers.back().layerId = id;
        });
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
        set.add_option(std::string("--") + setting.name)
            ->description("default " + std::to_string(setting.neutral()))
            ->type_name("V")
            ->group("Members of the record begun by the last --layer (32-bit integers)")
            ->trigger_on_parse()
            ->each([&layers, &setting](const std::string& value) {
                if (layers.empty())
                    throw CLI::ValidationError("comes before any --layer");
                setting.of(layers.back()) = memberValue(value);
            });
    }
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Loads the layer image-quality plug-in into a host, connects it to a device and "
                 "talks to the device through it.",
                 "lcdhost"};
    app.get_formatter()->column_width(40); // the longest member option and its value
    app.allow_extras();
    app.fallthrough();
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", std::string("lcdhost ") + LCD_VERSION);
    lcdclient::ConnectionOptions connectionOptions;
    lcdclient::addConnectionOptions(app, connectionOptions);
    app.add_flag("-q,--quiet", g_out.quiet, "print nothing but errors");
    app.add_flag("--json", g_out.json,
                 "print results as JSON: one line for set and get, one object per line for watch");
    app.footer(app.get_footer() +
               "\nWithout a command, lcdhost runs the demo against the simulator it starts; with\n"
               "--device it writes to the device only when a command is named.\n"
               "\nExit status: 0 when every set was accepted, 1 when a set was refused or not\n"
               "answered or the device could not be reached, 2 for a usage error, 130 when\n"
               "interrupted (Ctrl-C is the way to end watch, which then exits with 0, or 1 when\n"
               "the device's stream was lost and did not come back).\n");

    SetOptions setOptions;
    app.add_option("--wait-ms", setOptions.waitMs,
                   "how long set and demo wait for each reported change (default 3000)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 3600000));
    auto* demo = app.add_subcommand(
        "demo", "sets three layers, shows each answer and each change the device reports, then a "
                "set the device refuses");

    auto* set = app.add_subcommand(
        "set", "sends one set request and prints the device's answer and the change it reports");
    addMemberOptions(*set, setOptions.layers);
    set->add_option("--file", setOptions.file,
                    "sends the JSON array of layer records in PATH instead, - for standard input "
                    "(named <stdin> in messages)")
        ->type_name("PATH")
        ->excludes("--layer");
    set->add_flag("--strict", setOptions.strict,
                  "an answer that came with a warning of the plug-in counts as a failure");

    std::vector<int> getIds;
    auto* get = app.add_subcommand("get", "prints the layers the device holds now");
    get->add_option("--layer", getIds, "only layer N, in the order given")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(INT_MIN, INT_MAX));

    int seconds = 0;
    auto* watch = app.add_subcommand("watch", "prints every layer change the device reports");
    watch->add_option("--seconds", seconds, "for N seconds (0, the default: until interrupted)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 31536000));

    for (CLI::App* sub : {demo, set, get, watch})
        sub->footer("\nThe options of 'lcdhost --help' apply too, before or after the command.\n");

    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    if (parsed >= 0)
        return parsed;
    CLI::App* command = app.get_subcommands().empty() ? nullptr : app.get_subcommands().front();
    g_out.verbose = connectionOptions.verbose;
    if (g_out.quiet && g_out.json)
        return lcdtools::commandline::usageError(app, "--json and --quiet exclude each other");
    if (!command && !connectionOptions.device.empty())
        return lcdtools::commandline::usageError(
            app, "name a command: with --device nothing is written to the device by default");
    if (command == set) {
        if (!setOptions.file.empty()) {
            std::string why;
            if (!lcdclient::readLayerFile(setOptions.file, setOptions.layers, why))
                return lcdtools::commandline::usageError(app, why);
        } else if (setOptions.layers.empty()) {
            return lcdtools::commandline::usageError(app, "set needs --layer N or --file PATH");
        }
    }

    lcdclient::interruption::install();
    std::signal(SIGPIPE, SIG_IGN);
    lcdclient::pluginwarnings::install(g_out.quiet);
    lcdclient::exchangelog::install(g_out.verbose);

    lcdclient::Connection connection;
    g_connection = &connection;
    try {
        std::string why;
        if (!connection.startDevice(connectionOptions, &why, lcdclient::interruption::requested)) {
            if (lcdclient::interruption::requested())
                abandon();
            error(why);
            return 1;
        }
        // The device and the plug-in's registrations are part of the demo's
        // story; for the other commands, of the verbose account on stderr.
        const auto announce = [&](const std::string& line) {
            if (!command || command == demo)
                say(line);
            else if (g_out.verbose)
                error(line);
        };
        announce("device: " + connection.settings().url +
                 (connection.simulated() ? " (a device simulator started by lcdhost)" : ""));

        const bool withSession = command != get;
        bool opened = false;
        if (!lcdclient::interruption::run([&] {
                opened = connection.open(
                    withSession, [](const LayerList& changed) { g_inbox.add(changed); }, &why,
                    [](bool open, const std::string& cause) { g_inbox.stream(open, cause); });
            }))
            abandon();
        if (!opened) {
            error(why);
            return 1;
        }
        if (withSession)
            for (const std::string& line : connection.session().registrations())
                announce(line);

        int status = 0;
        if (command == set)
            status = setAndShow(connection.session(), setOptions.layers, setOptions);
        else if (command == get)
            status = runGet(getIds);
        else if (command == watch)
            status = runWatch(connection.session(), seconds);
        else
            status = runDemo(connection.session(), setOptions);
        connection.close();
        return status;
    } catch (const std::exception& e) {
        error(std::string("stopped by an unexpected error: ") + e.what());
        return 1;
    }
}
