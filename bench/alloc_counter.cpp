#include "bench/alloc_counter.h"

#include <cstddef>

// glibc's own entry points, under the names it exports them by.
extern "C" {
void* __libc_malloc(std::size_t n);
void* __libc_calloc(std::size_t n, std::size_t size);
void* __libc_realloc(void* p, std::size_t n);
}

namespace {
std::size_t g_allocations = 0;
} // namespace

namespace bench {
std::size_t allocations() noexcept {
    return g_allocations;
}
} // namespace bench

// Every allocation of the process comes through these: the C library's own
// calls, operator new (which calls malloc) and the output buffer's realloc.
extern "C" void* malloc(std::size_t n) {
    ++g_allocations;
    return __libc_malloc(n);
}
extern "C" void* calloc(std::size_t n, std::size_t size) {
    ++g_allocations;
    return __libc_calloc(n, size);
}
extern "C" void* realloc(void* p, std::size_t n) {
    ++g_allocations;
    return __libc_realloc(p, n);
}
