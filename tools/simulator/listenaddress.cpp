#include "tools/simulator/listenaddress.h"

#include <netdb.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

namespace LCD {
namespace Sim {
namespace {

using AddressList = std::unique_ptr<addrinfo, decltype(&freeaddrinfo)>;

AddressList resolve(const std::string& host, int port) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    const std::string service = std::to_string(port);
    if (host.empty() || getaddrinfo(host.c_str(), service.c_str(), &hints, &found) != 0)
        found = nullptr;
    return AddressList(found, &freeaddrinfo);
}

bool isLoopback(const addrinfo& a) {
    if (a.ai_family == AF_INET) {
        const auto* v4 = reinterpret_cast<const sockaddr_in*>(a.ai_addr);
        return (ntohl(v4->sin_addr.s_addr) >> 24) == 127;
    }
    if (a.ai_family == AF_INET6)
        return IN6_IS_ADDR_LOOPBACK(&reinterpret_cast<const sockaddr_in6*>(a.ai_addr)->sin6_addr);
    return false;
}

} // namespace

std::string notLoopback(const std::string& host) {
    const AddressList list = resolve(host, 0);
    if (!list)
        return "no address has that name";
    for (const addrinfo* a = list.get(); a; a = a->ai_next)
        if (!isLoopback(*a))
            return "only loopback addresses (127.0.0.0/8, ::1) are allowed";
    return "";
}

bool portInUse(const std::string& host, int port) {
    const AddressList list = resolve(host, port);
    for (const addrinfo* a = list.get(); a; a = a->ai_next) {
        const int probe = ::socket(a->ai_family, SOCK_STREAM | SOCK_CLOEXEC, 0);
        if (probe < 0)
            continue;
        int yes = 1;
        ::setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
        const bool inUse = ::bind(probe, a->ai_addr, a->ai_addrlen) != 0 && errno == EADDRINUSE;
        ::close(probe);
        if (inUse)
            return true;
    }
    return false;
}

std::string urlOf(const std::string& host, int port) {
    const bool v6 = host.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + host + "]" : host) + ":" + std::to_string(port);
}

} // namespace Sim
} // namespace LCD
