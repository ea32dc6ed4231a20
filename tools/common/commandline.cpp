#include "tools/common/commandline.h"
#include "tools/common/standardoutput.h"
#include "tools/common/wholenumber.h"

#include <CLI/CLI.hpp>

#include <iostream>

namespace lcdtools::commandline {

CLI::Validator wholeNumber(long min, long max) {
    return CLI::Validator(
        [min, max](std::string& text) -> std::string {
            long long value = 0;
            return parseWhole(text, min, max, value) ? "" : wholeNumberFault(text, min, max);
        },
        "", "");
}

CLI::Validator notEmpty() {
    return CLI::Validator([](std::string& v) -> std::string { return v.empty() ? "is empty" : ""; },
                          "", "");
}

int usageError(const CLI::App& app, const std::string& what) {
    std::string command;
    for (const CLI::App* sub : app.get_subcommands())
        command = " " + sub->get_name();
    std::cerr << app.get_name() << ": " << what << "\nTry '" << app.get_name() << command
              << " --help'.\n";
    return 2;
}

int parse(CLI::App& app, int argc, char** argv) {
    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& done) {
        // --help or --version, printed on stdout, which may be a full disk.
        const int status = app.exit(done);
        return standardoutput::finish(app.get_name()) ? status : 1;
    } catch (const CLI::ArgumentMismatch& e) {
        // "--seconds: 1 required INT missing", "--token: At Most 1 required but received 2"
        std::string what = e.what();
        const std::size_t colon = what.find(':');
        if (colon != std::string::npos && what.find(": At Most ") == colon)
            what = what.substr(0, colon) + " is given more than once";
        else if (what.find(" required ") != std::string::npos && colon != std::string::npos)
            what = what.substr(0, colon) + " needs a value";
        return usageError(app, what);
    } catch (const CLI::ParseError& e) {
        return usageError(app, e.what());
    }
    // Arguments that nothing took end up here, subcommands' included.
    const std::vector<std::string> left = app.remaining();
    if (!left.empty()) {
        const std::string& first = left.front();
        if (first.size() > 1 && first[0] == '-')
            return usageError(app, "unknown option " + first.substr(0, first.find('=')));
        // A program with commands wants one first; after it, or in a
        // program without any, a word is an argument too many.
        const bool commandDue = app.get_subcommands().empty() &&
                                !app.get_subcommands([](CLI::App*) { return true; }).empty();
        return usageError(app, (commandDue ? "unknown command \"" : "unexpected argument \"") +
                                   first + "\"");
    }
    return -1;
}

} // namespace lcdtools::commandline
