#include "tools/simulator/connectionabort.h"

#include <dirent.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cstdlib>

namespace LCD {
namespace Sim {
namespace {

int portOf(const sockaddr_storage& a) {
    if (a.ss_family == AF_INET)
        return ntohs(reinterpret_cast<const sockaddr_in&>(a).sin_port);
    if (a.ss_family == AF_INET6)
        return ntohs(reinterpret_cast<const sockaddr_in6&>(a).sin6_port);
    return -1;
}

} // namespace

bool abortConnection(int localPort, int remotePort) {
    DIR* dir = opendir("/proc/self/fd");
    if (!dir)
        return false;
    bool found = false;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] < '0' || e->d_name[0] > '9')
            continue;
        const int fd = std::atoi(e->d_name);
        sockaddr_storage local{}, peer{};
        socklen_t localLen = sizeof local, peerLen = sizeof peer;
        if (getsockname(fd, reinterpret_cast<sockaddr*>(&local), &localLen) != 0)
            continue;
        if (getpeername(fd, reinterpret_cast<sockaddr*>(&peer), &peerLen) != 0)
            continue;
        if (portOf(local) == localPort && portOf(peer) == remotePort) {
            ::shutdown(fd, SHUT_RDWR);
            found = true;
            break;
        }
    }
    closedir(dir);
    return found;
}

} // namespace Sim
} // namespace LCD
