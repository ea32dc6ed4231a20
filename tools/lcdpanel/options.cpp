#include "tools/lcdpanel/options.h"

#include <CLI/CLI.hpp>

#include <climits>

#include "tools/common/commandline.h"

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
                   "saves the window as PNG to PATH once the layer's picture is shown, and ends")
        ->type_name("PATH");
    app.footer(app.get_footer() +
               "\nThe sliders' ranges are those the device simulator documents for its picture\n"
               "(lcd-device-sim --help). The picture is the simulator's GET\n"
               "/sim/layers/N/picture.png; a device without it shows none.\n"
               "\nExit status: 0 when the window was closed or SIGINT or SIGTERM ended the panel,\n"
               "1 when there is no display, the device simulator could not be started or the\n"
               "screenshot could not be made, 2 for a usage error.\n");
    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    options.window.verbose = options.connection.verbose;
    return parsed;
}

} // namespace lcdpanel
