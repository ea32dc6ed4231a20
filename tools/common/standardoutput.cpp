#include "tools/common/standardoutput.h"

#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>

namespace lcdtools::standardoutput {

namespace {

std::atomic<int> g_failure{0}; // the first failure's errno

} // namespace

bool flush() {
    errno = 0;
    std::cout.flush();
    const bool failed = !std::cout || std::fflush(stdout) != 0 || std::ferror(stdout);
    if (failed) {
        int none = 0;
        g_failure.compare_exchange_strong(none, errno != 0 ? errno : EIO);
    }
    return g_failure.load() == 0;
}

bool finish(const std::string& program) {
    if (flush())
        return true;
    if (g_failure.load() == EPIPE)
        return false;
    std::cerr << program << ": cannot write standard output: " << std::strerror(g_failure.load())
              << "\n";
    return false;
}

bool readerLeft() {
    pollfd out{STDOUT_FILENO, 0, 0};
    if (::poll(&out, 1, 0) == 1 && (out.revents & POLLERR) != 0) {
        int none = 0;
        g_failure.compare_exchange_strong(none, EPIPE);
    }
    return g_failure.load() == EPIPE;
}

} // namespace lcdtools::standardoutput
