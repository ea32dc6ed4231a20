// SIGINT and SIGTERM as a flag that the main thread checks while it waits
// for work that may block for a whole time-out (a login, a set):
//
//   lcdclient::interruption::install();
//   LayerList layers;
//   if (!lcdclient::interruption::run([&] { ok = readDeviceLayers(layers, &error); }))
//       ... a signal came first: the work still runs on its own thread and
//           uses what it captured, so end the process now, without unwinding ...
#pragma once

#include <functional>

namespace lcdclient::interruption {

// Catches SIGINT and SIGTERM from now on.
void install();

// True once SIGINT or SIGTERM has arrived.
bool requested();

// Runs `work` on a thread of its own and waits for it to end; true when it
// did, and what it threw is thrown here. False as soon as a signal
// arrives, leaving the thread to run on.
bool run(const std::function<void()>& work);

// Waits `ms` milliseconds or until a signal arrives; true when one has.
bool sleep(int ms);

} // namespace lcdclient::interruption
