// The command-line conventions of our programs (lcdhost, lcdpanel,
// lcd-device-sim) on top of CLI11: a usage error is one line, "NAME: WHAT",
// then "Try 'NAME COMMAND --help'.", and exit status 2.
//
//   CLI::App app{"...", "lcdhost"};
//   ...
//   const int status = lcdtools::commandline::parse(app, argc, argv);
//   if (status >= 0)
//       return status;   // help or version printed (0), or a usage error (2)
#pragma once

#include <string>

namespace CLI {
class App;
class Validator;
} // namespace CLI

namespace lcdtools::commandline {

// A whole decimal number from `min` to `max`, e.g. for --seconds:
// "--seconds: \"abc\" is not a whole number from 0 to 86400" (see
// wholeNumberFault).
CLI::Validator wholeNumber(long min, long max);

// Any text but an empty one: "--token: is empty".
CLI::Validator notEmpty();

// Parses the command line. Returns -1 when the program is to go on;
// otherwise what was asked for (help, version) or the usage error has been
// printed and the exit status is returned (1 when the help could not be
// written). Arguments that no option or command takes are usage errors,
// and so is an option of one value given twice: "--token is given more
// than once".
int parse(CLI::App& app, int argc, char** argv);

// Prints a usage error found after parsing, naming the command given, and
// returns 2.
int usageError(const CLI::App& app, const std::string& what);

} // namespace lcdtools::commandline
