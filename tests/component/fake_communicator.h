// A stand-in for the communicator library: the test scripts the next reply
// and the token, and reads back every request the model made.
#pragma once

#include <string>
#include <vector>

namespace fake_comm {

struct Script {
    std::string reply; // the response body
    std::string token; // what HttpLogin::getToken returns
};

Script& script();
// "createRequest PUT /path", one for each request.
std::vector<std::string>& calls();
void reset();

} // namespace fake_comm
