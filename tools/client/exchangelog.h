// The communicator's exchanges with the device as the tools use them: what
// came of the last one on each path, to judge a set and to say why a
// request was refused or failed, and with -v each one on stderr as it
// happens (secrets shown as ***, the device's text printable and cut):
//
//   > PUT /movra/v1/layers/image-quality (Content-Type: application/json, Authorization: ***) [...]
//   < 200 in 1.2 ms: {"code":0,"message":"success"}
//
// Of a reply only its code and, when it refused, what it said are kept.
#pragma once

#include <string>

#include "platform/communicator/lcdcomm.h"
#include "tools/client/replycode.h"

namespace lcdclient::exchangelog {

// What came of one exchange.
struct Seen {
    bool any = false;  // there was one
    int status = 0;    // its HTTP status, or minus the transport error code
    std::string error; // why no reply came
    ReplyCode code;    // the reply's code, read strictly
    std::string said;  // the device's code and message, quoted, when its answer was no acceptance

    bool answered() const { return status > 0; }
    bool statusOk() const { return status >= 200 && status <= 299; }
};

// Observes the communicator from now on; `verbose` prints each exchange.
void install(bool verbose);

// An exchange the communicator did not make (the auto-report stream's),
// taken as the communicator's are once install() was called.
void take(const lcdcomm::Exchange& exchange);

// Forgets the exchanges seen so far, e.g. before the next request.
void forget();

// The last exchange on `path`.
Seen last(const std::string& path);

// Why the last exchange on `path` did not deliver a reply, or what the
// device said in a refusing one: "connection refused (...)", "HTTP status
// 401, code 10002 \"unauthorized\"", "code 20002 \"unknown layer 99\"".
// Empty when there is nothing to say.
std::string why(const std::string& path);

// An exchange printed as -v prints it, e.g. the panel's picture GET.
void print(const lcdcomm::Exchange& exchange);

} // namespace lcdclient::exchangelog
