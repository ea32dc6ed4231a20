#include "tests/protocol/allocation_log.h"

#include <cstdlib>
#include <new>

namespace {
bool g_counting = false;
std::vector<std::size_t>* g_sizes = nullptr;
} // namespace

namespace allocation_log {

void start(std::vector<std::size_t>& sizes) noexcept {
    g_sizes = &sizes;
    g_counting = true;
}

void stop() noexcept {
    g_counting = false;
    g_sizes = nullptr;
}

} // namespace allocation_log

void* operator new(std::size_t n) {
    if (g_counting && g_sizes != nullptr) {
        g_counting = false;  // the log's own growth is not counted
        g_sizes->push_back(n);
        g_counting = true;
    }
    if (void* p = std::malloc(n == 0 ? 1 : n))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
