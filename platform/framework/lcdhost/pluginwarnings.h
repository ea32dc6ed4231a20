// The plug-in's warnings (Qt's warning channel), caught so that those of a
// set request are shown on its answer line rather than scattered on stderr:
//
//   lcdhost::pluginwarnings::install(quiet);
//   session.set(layers);
//   for (const std::string& w : lcdhost::pluginwarnings::takeSetWarnings())
//       ... "the device's reply could not be read: error at line :0 col :0 msg:..."
#pragma once

#include <string>
#include <vector>

namespace lcdhost::pluginwarnings {

// Installs the Qt message handler. Messages that come from no set request
// go to stderr as "lcdhost: plug-in: TEXT", unless `quiet`.
void install(bool quiet);

// The set handler's warnings since the last call, worded for an answer line.
std::vector<std::string> takeSetWarnings();

} // namespace lcdhost::pluginwarnings
