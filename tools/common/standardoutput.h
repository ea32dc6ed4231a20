// Whether what a program wrote to standard output reached it. A script that
// saves `lcdhost get --json` on a full disk must not get an empty file and
// success, so every program flushes and checks before it says it is done:
//
//   std::cout << line << "\n";
//   if (!lcdtools::standardoutput::flush()) ...          // a write failed (the reader left, ...)
//   return lcdtools::standardoutput::finish("lcdhost") ? status : 1;
//
// The first failure's cause is kept: "lcdhost: cannot write standard
// output: No space left on device".
#pragma once

#include <string>

namespace lcdtools::standardoutput {

// Flushes standard output (the C and the C++ streams); false once any
// write to it has failed.
bool flush();

// flush(), and on a failure one line on standard error naming it.
bool finish(const std::string& program);

} // namespace lcdtools::standardoutput
