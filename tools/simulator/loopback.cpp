#include "tools/simulator/loopback.h"

#include <arpa/inet.h>
#include <netinet/in.h>

namespace LCD {
namespace Sim {

bool isLoopbackAddress(const std::string& host) {
    in_addr v4{};
    if (inet_pton(AF_INET, host.c_str(), &v4) == 1)
        return (ntohl(v4.s_addr) >> 24) == 127;
    in6_addr v6{};
    if (inet_pton(AF_INET6, host.c_str(), &v6) == 1)
        return IN6_IS_ADDR_LOOPBACK(&v6);
    return false;
}

} // namespace Sim
} // namespace LCD
