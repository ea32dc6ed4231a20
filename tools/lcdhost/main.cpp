// lcdhost: the stand-in host application. Loads the layer image-quality
// plug-in, connects it to a device (by default a device simulator it starts
// itself) and sends it set requests, reads its layers or shows what the
// device reports.
#include <csignal>
#include <exception>
#include <iostream>

#include "tools/client/exchangelog.h"
#include "tools/client/interruption.h"
#include "tools/client/pluginwarnings.h"
#include "tools/lcdhost/commands.h"
#include "tools/lcdhost/options.h"

int main(int argc, char** argv) {
    lcdhost::Options options;
    if (const int status = lcdhost::parseOptions(argc, argv, options); status >= 0)
        return status;

    lcdclient::interruption::install();
    std::signal(SIGPIPE, SIG_IGN);
    lcdclient::pluginwarnings::install(options.output.quiet);
    lcdclient::exchangelog::install(options.output.verbose);
    try {
        lcdhost::Commands commands(options);
        if (!commands.connect())
            return 1;
        return commands.run();
    } catch (const std::exception& e) {
        options.output.error(std::string("stopped by an unexpected error: ") + e.what());
        return 1;
    }
}
