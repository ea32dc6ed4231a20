// lcdpanel's command line: the connection options every tool takes, the
// layer shown first and the screenshot to make.
//
//   lcdpanel::Options options;
//   if (const int status = lcdpanel::parseOptions(argc, argv, options); status >= 0)
//       return status;   // --help or --version printed (0), or a usage error (2)
#pragma once

#include <string>

#include "tools/client/connection.h"
#include "tools/lcdpanel/panelwindow.h"

namespace lcdpanel {

struct Options {
    lcdclient::ConnectionOptions connection;
    PanelWindow::Options window;
    std::string screenshot; // empty: none
};

int parseOptions(int argc, char** argv, Options& options);

} // namespace lcdpanel
