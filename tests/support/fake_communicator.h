// A stand-in for the communicator library, for the component's tests, its
// fuzz target and its handler benchmark: the caller scripts the next reply
// and the token, and reads back every request the model made. Like the real
// library it owns its requests and responses (one of each per thread,
// reused), so that a benchmark counts the model's allocations only.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace fake_comm {

struct Script {
    std::string reply;  // the response body
    std::string token;  // what HttpLogin::getToken returns
    bool record = true; // keep calls(); a benchmark turns it off
};

Script& script();
// "createRequest PUT /path", one for each request.
std::vector<std::string>& calls();
// The size of the body the calling thread sent last.
std::size_t lastBodyBytes();
void reset();

} // namespace fake_comm
