// The simulator serves on the loopback interface only.
#pragma once

#include <string>

namespace LCD {
namespace Sim {

// True for a literal IPv4 address in 127.0.0.0/8 and for "::1".
bool isLoopbackAddress(const std::string& host);

} // namespace Sim
} // namespace LCD
