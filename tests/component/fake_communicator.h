// A stand-in for the communicator library: the test scripts the next reply
// and the token, and reads back every call the model made, in order.
#pragma once

#include <string>
#include <vector>

namespace fake_comm {

struct Script {
    bool deliver = true; // false: sendRequest returns null
    std::string reply;   // the response body
    std::string token;   // what HttpLogin::getToken returns
};

Script& script();
// "createRequest PUT /path", "setHead Name: value", "setBody <bytes>",
// "sendRequest status=N".
std::vector<std::string>& calls();
void reset();

} // namespace fake_comm
