#include "tools/lcdpanel/options.h"

#include <CLI/CLI.hpp>

#include <climits>

#include "tools/common/commandline.h"
#include "tools/common/printable.h"
#include "tools/lcdpanel/screenshot.h"

namespace lcdpanel {

int parseOptions(int argc, char** argv, Options& options) {
    CLI::App app{"Shows the image-quality settings of a device's layers, sends a person's changes "
                 "as set requests through the host and the plug-in, and shows the device's "
                 "picture of the layer.",
                 "lcdpanel"};
    app.allow_extras();
    app.set_version_flag("--version", std::string("lcdpanel ") + LCD_VERSION);
    lcdclient::addConnectionOptions(app, options.connection);
    app.add_option("--layer", options.window.layer,
                   "the layer shown first (default: the device's first)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(INT_MIN, INT_MAX));
    app.add_option("--screenshot", options.screenshot,
                   "saves the window to PATH once the layer's picture is shown, and ends; the "
                   "format is the file's suffix (png, jpg, bmp, ...)")
        ->type_name("PATH")
        ->check(lcdtools::commandline::notEmpty())
        ->check(CLI::Validator(
            [](std::string& path) -> std::string {
                const std::string format = Screenshot::format(path);
                return format.empty() || Screenshot::canWrite(format)
                           ? ""
                           : "\"" + lcdtools::printable(path, 100) + "\": no ." +
                                 lcdtools::printable(format, 20) + " images can be written (but " +
                                 Screenshot::formats() + ")";
            },
            "", ""));
    app.footer(app.get_footer() +
               "\nThe sliders' ranges are those the device simulator documents for its picture\n"
               "(lcd-device-sim --help). The picture is the simulator's GET\n"
               "/sim/layers/N/picture.png; a device without it shows none.\n"
               "\nExit status: 0 when the window was closed or SIGINT or SIGTERM ended the panel,\n"
               "1 when there is no display, the device simulator could not be started, the\n"
               "screenshot could not be made or the output not written, 2 for a usage error.\n");
    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    options.window.verbose = options.connection.verbose;
    if (parsed >= 0)
        return parsed;
    const std::string fault = lcdclient::takeDeviceFromEnvironment(options.connection);
    return fault.empty() ? -1 : lcdtools::commandline::usageError(app, fault);
}

} // namespace lcdpanel
