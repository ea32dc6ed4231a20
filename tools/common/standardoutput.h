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

// flush(), and on a failure one line on standard error naming it; a
// reader that left (`lcdhost watch | head -1`) is how a pipeline stops
// reading, not news, so that failure is silent.
bool finish(const std::string& program);

// True once the reader of standard output is known to have left: a write
// failed with EPIPE, or the pipe has no reading end any more (seen without
// writing, so a quiet watch notices it too).
bool readerLeft();

} // namespace lcdtools::standardoutput
