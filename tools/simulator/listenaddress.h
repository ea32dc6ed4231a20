// Where the simulator may listen: on the loopback interface only, named by
// an address (127.0.0.0/8, ::1) or by a name such as "localhost" that
// resolves to loopback addresses alone.
#pragma once

#include <string>

namespace LCD {
namespace Sim {

// Why the simulator may not listen on `host`, e.g. "only loopback addresses
// (127.0.0.0/8, ::1) are allowed"; empty when every address it stands for
// is a loopback address.
std::string notLoopback(const std::string& host);

// Whether another socket holds `host`:`port`: of the reasons a loopback
// port cannot be had, the one a user can act on.
bool portInUse(const std::string& host, int port);

// "http://HOST:PORT", with IPv6 addresses in brackets.
std::string urlOf(const std::string& host, int port);

} // namespace Sim
} // namespace LCD
