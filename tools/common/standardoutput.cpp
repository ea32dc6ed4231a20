#include "tools/common/standardoutput.h"

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
    std::cerr << program << ": cannot write standard output: " << std::strerror(g_failure.load())
              << "\n";
    return false;
}

} // namespace lcdtools::standardoutput
