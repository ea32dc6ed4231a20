// One HTTP exchange with the device over a pooled connection.
#pragma once

#include <cstddef>
#include <string>
#include <utility>
#include <vector>

#include "platform/communicator/device_state.h"

namespace lcdcomm::detail {

using Heads = std::vector<std::pair<std::string, std::string>>;

struct Outcome {
    bool delivered = false; // a complete HTTP response arrived
    int status = 0;         // its HTTP status, or minus the transport error code
    std::string path;       // as it went out, the url's path included
    std::string body;       // the reply; when not delivered, what arrived of it
    std::string error;      // when not delivered: the cause, as transportFailure words it
    double ms = 0;          // the whole exchange
};

// Sends `body` to the device of `now` at `path`, exactly as given, every
// head as given (an empty value as an empty header), nothing the caller did
// not ask for except the Host and Content-Length that HTTP needs: no
// Accept-Encoding, so no reply comes compressed. Follows no redirect. Holds
// the reply to the caps of device_limits.h as it arrives. Never throws for
// a transport problem.
Outcome perform(const std::string& method, const Snapshot& now, const std::string& path,
                const Heads& heads, const std::string& body);

// The value of the first head called `name` (in any case), or null.
const std::string* findHead(const Heads& heads, const char* name);

// The text of a negative status from `perform` when nothing more is known.
std::string transportError(int status);

// For tests and fuzz targets that play the device on a socket of their
// own: called with each transfer's CURL handle once its options are set.
void setTransferHook(void (*hook)(void* curl));

} // namespace lcdcomm::detail
