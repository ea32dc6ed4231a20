#include "tools/lcdhost/options.h"

#include <CLI/CLI.hpp>

#include <climits>
#include <set>

#include "tools/client/layerjson.h"
#include "tools/common/commandline.h"
#include "tools/common/layersettings.h"
#include "tools/common/wholenumber.h"

namespace lcdhost {

namespace {

// The value of a member option or of set's --layer. CLI11 puts the
// option's name in front of what it throws.
int memberValue(const std::string& value) {
    long long parsed = 0;
    if (!lcdtools::parseWhole(value, INT_MIN, INT_MAX, parsed))
        throw CLI::ValidationError(lcdtools::wholeNumberFault(value, INT_MIN, INT_MAX));
    return static_cast<int>(parsed);
}

// What the member options met while parsing, judged once parsing is over,
// when --file, wherever it stands, is known.
struct MemberOptions {
    std::string first;           // the first of them given, "--layer" included
    std::string fault;           // the first one out of place
    std::set<std::string> given; // the members of the record begun last
};

// --layer N starts a record; each setting's option sets a member of the
// last one begun, once.
void addMemberOptions(CLI::App& set, lcdclient::LayerList& layers, MemberOptions& seen) {
    set.add_option("--layer", "starts a record with the device defaults for layer N")
        ->type_name("N")
        ->trigger_on_parse()
        ->each([&layers, &seen](const std::string& value) {
            const int id = memberValue(value);
            layers.emplace_back();
            layers.back().layerId = id;
            seen.given.clear();
            if (seen.first.empty())
                seen.first = "--layer";
        });
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
        set.add_option(std::string("--") + setting.name)
            ->description("default " + std::to_string(setting.neutral()))
            ->type_name("V")
            ->group("Members of the record begun by the last --layer (32-bit integers)")
            ->trigger_on_parse()
            ->each([&layers, &setting, &seen](const std::string& value) {
                const std::string name = std::string("--") + setting.name;
                const int parsed = memberValue(value);
                if (seen.first.empty())
                    seen.first = name;
                if (!seen.fault.empty())
                    return;
                if (layers.empty())
                    seen.fault = name + " comes before any --layer";
                else if (!seen.given.insert(setting.name).second)
                    seen.fault = name + " is given more than once for layer " +
                                 std::to_string(layers.back().layerId);
                else
                    setting.of(layers.back()) = parsed;
            });
    }
}

} // namespace

int parseOptions(int argc, char** argv, Options& options) {
    CLI::App app{"Loads the layer image-quality plug-in into a host, connects it to a device and "
                 "talks to the device through it.",
                 "lcdhost"};
    app.get_formatter()->column_width(40); // the longest member option and its value
    app.allow_extras();
    app.fallthrough();
    app.require_subcommand(0, 1);
    app.set_version_flag("--version", std::string("lcdhost ") + LCD_VERSION);
    lcdclient::addConnectionOptions(app, options.connection);
    Output& out = options.output;
    app.add_flag("-q,--quiet", out.quiet, "print nothing but errors");
    app.add_flag("--json", out.json,
                 "print results as JSON: one line for set and get, one object per line for watch");
    app.footer(app.get_footer() +
               "\nWithout a command, lcdhost runs the demo against the simulator it starts; a\n"
               "device named is written to only when a command is named.\n"
               "\nA set is accepted when the plug-in answered true, the device's HTTP status was\n"
               "2xx and its reply a JSON object whose code is the integer 0.\n"
               "\nExit status: 0 when every set was accepted, 1 when a set was refused, failed or\n"
               "not answered, the device could not be reached or the output not written, 2 for a\n"
               "usage error, 130 when interrupted (Ctrl-C is the way to end watch, which then\n"
               "exits with 0, or 1 when the device's stream was lost and did not come back).\n");

    app.add_option("--wait-ms", options.waitMs,
                   "how long set and demo wait for each reported change (default 3000)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 3600000));
    auto* demo = app.add_subcommand(
        "demo", "two sets over three layers, each answer and each change the device reports, "
                "then a set the device refuses");

    auto* set = app.add_subcommand(
        "set", "sends one set request and prints the device's answer and the change it reports");
    MemberOptions members;
    addMemberOptions(*set, options.layers, members);
    set->add_option("--file", options.file,
                    "sends the JSON array of layer records in PATH instead, - for standard input "
                    "(named <stdin> in messages); at most " +
                        std::to_string(lcdclient::kLayerFileMaxBytes) + " bytes and " +
                        std::to_string(lcdclient::kMostLayers) + " records")
        ->type_name("PATH")
        ->check(lcdtools::commandline::notEmpty());
    set->add_flag("--strict", options.strict,
                  "an answer that came with a warning of the plug-in counts as a failure");

    auto* get = app.add_subcommand("get", "prints the layers the device holds now");
    get->add_option("--layer", options.getIds, "only layer N, in the order given")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(INT_MIN, INT_MAX));

    auto* watch = app.add_subcommand("watch", "prints every layer change the device reports");
    watch
        ->add_option("--seconds", options.seconds,
                     "for N seconds (0, the default: until interrupted)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(0, 31536000));

    for (CLI::App* sub : {demo, set, get, watch})
        sub->footer("\nThe options of 'lcdhost --help' apply too, before or after the command.\n");

    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    if (parsed >= 0)
        return parsed;
    const CLI::App* command = app.get_subcommands().empty() ? nullptr : app.get_subcommands()[0];
    options.commandNamed = command != nullptr;
    options.command = command == set     ? Command::set
                      : command == get   ? Command::get
                      : command == watch ? Command::watch
                                         : Command::demo;
    out.verbose = options.connection.verbose;
    if (out.quiet && out.json)
        return lcdtools::commandline::usageError(app, "--json and --quiet exclude each other");
    if (const std::string fault = lcdclient::takeDeviceFromEnvironment(options.connection);
        !fault.empty())
        return lcdtools::commandline::usageError(app, fault);
    if (!command && !options.connection.device.empty())
        return lcdtools::commandline::usageError(
            app, "name a command: with --device or LCD_DEVICE_URL nothing is written to the device "
                 "by default");
    if (command == set && set->count("--file") > 0 && !members.first.empty())
        return lcdtools::commandline::usageError(
            app, "--file and " + members.first +
                     " do not mix: the records come from the file or from the command line");
    if (command == set && !members.fault.empty())
        return lcdtools::commandline::usageError(app, members.fault);
    if (command == set) {
        if (set->count("--file") > 0) {
            std::string why;
            if (!lcdclient::readLayerFile(options.file, options.layers, why))
                return lcdtools::commandline::usageError(app, why);
        } else if (options.layers.empty()) {
            return lcdtools::commandline::usageError(app, "set needs --layer N or --file PATH");
        }
    }
    return -1;
}

} // namespace lcdhost
