// Dropping a client connection from inside a request handler, before any
// byte of the response is written, so the client sees a transport error.
#pragma once

namespace LCD {
namespace Sim {

// Finds this process's socket connected from remotePort to localPort and
// shuts it down in both directions. The handler's own connection stays open
// as a descriptor until the server closes it, so the match cannot hit a
// reused descriptor. Returns false when no such socket was found.
bool abortConnection(int localPort, int remotePort);

} // namespace Sim
} // namespace LCD
