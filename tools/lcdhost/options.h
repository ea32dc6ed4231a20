// lcdhost's command line: the connection options every tool takes, how to
// print, and one command with its own options.
//
//   lcdhost::Options options;
//   if (const int status = lcdhost::parseOptions(argc, argv, options); status >= 0)
//       return status;   // --help or --version printed (0), or a usage error (2)
//
// Everything that can be checked before a device is reached is checked here,
// the layer file of `set --file` included.
#pragma once

#include <string>
#include <vector>

#include "tools/client/connection.h"
#include "tools/lcdhost/output.h"

namespace lcdhost {

enum class Command { demo, set, get, watch };

struct Options {
    lcdclient::ConnectionOptions connection;
    Output output;
    Command command = Command::demo;
    bool commandNamed = false; // false: the demo, which runs by default

    // set and the demo
    lcdclient::LayerList layers; // from the member options or the file
    std::string file;
    bool strict = false;
    int waitMs = 3000;

    std::vector<int> getIds; // get
    int seconds = 0;         // watch; 0: until interrupted
};

int parseOptions(int argc, char** argv, Options& options);

} // namespace lcdhost
