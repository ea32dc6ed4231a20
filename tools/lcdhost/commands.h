// lcdhost's commands against one device, each ending in lcdhost's exit
// status:
//
//   lcdhost::Commands commands(options);
//   if (!commands.connect())     // the device started or named, logged in, the plug-in loaded
//       return 1;                // (the cause is on stderr)
//   return commands.run();       // the command the options name
//
// A signal that arrives while a step may block for its whole time-out ends
// the process at once with status 130 (see abandon()).
#pragma once

#include <functional>

#include "tools/client/connection.h"
#include "tools/client/setanswer.h"
#include "tools/lcdhost/inbox.h"
#include "tools/lcdhost/options.h"

namespace lcdhost {

class Commands {
public:
    explicit Commands(const Options& options) : m_options(options), m_out(options.output) {}

    bool connect();
    int run();

private:
    int demo();
    int set();
    int get();
    int watch();

    // Sends one set request and prints what it sends, the answer and the
    // change it causes. True when the answer was as expected: accepted (no
    // warning either, with --strict) or, with `refusalExpected`, refused.
    bool setAndShow(const lcdclient::LayerList& layers, bool refusalExpected = false);
    // Runs `work` on a thread of its own until it ends, or abandons the run
    // when a signal comes first.
    void unlessInterrupted(const std::function<void()>& work);
    // Ends a run that a signal interrupted while a worker may still block in
    // the communicator: the simulator is stopped and nothing is unwound,
    // since destructors would join that worker.
    [[noreturn]] void abandon();

    const Options& m_options;
    const Output& m_out;
    Inbox m_inbox; // before the connection, whose threads fill it
    lcdclient::Connection m_connection;
};

} // namespace lcdhost
