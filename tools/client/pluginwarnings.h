// The plug-in's warnings (Qt's warning channel), caught so that those of a
// set request are shown on its answer line rather than scattered on stderr:
//
//   lcdclient::pluginwarnings::install(quiet);
//   session.set(layers);
//   for (const std::string& w : lcdclient::pluginwarnings::takeSetWarnings())
//       ... w: "[layer]  decode json failed :  error at line :0 col :0 msg:..."
//       ... inWords(w): "the device's reply could not be read"
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lcdclient::pluginwarnings {

// Installs the Qt message handler. The plug-in's messages that come from no
// set request go to `other` (on the thread that logs them), or without it
// to stderr as "lcdhost: plug-in: TEXT", unless `quiet`. Messages that are
// not the plug-in's (Qt's own, in a program with a user interface) go to
// the handler installed before.
void install(bool quiet, std::function<void(const std::string&)> other = {});

// The set handler's warnings since the last call, as the plug-in logged them.
std::vector<std::string> takeSetWarnings();

// A warning of the plug-in in a person's words, printable: the codec's
// text is for -v.
std::string inWords(const std::string& warning);

} // namespace lcdclient::pluginwarnings
