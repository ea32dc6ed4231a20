#include "bench/alloc_counter.h"

#include <cstdlib>
#include <new>

namespace {
std::size_t g_allocations = 0;

void* counted_alloc(std::size_t n) {
    ++g_allocations;
    if (n == 0)
        n = 1;
    if (void* p = std::malloc(n))
        return p;
    throw std::bad_alloc();
}
} // namespace

namespace bench {
std::size_t allocations() noexcept {
    return g_allocations;
}
} // namespace bench

void* operator new(std::size_t n) {
    return counted_alloc(n);
}
void* operator new[](std::size_t n) {
    return counted_alloc(n);
}
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(n == 0 ? 1 : n);
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    ++g_allocations;
    return std::malloc(n == 0 ? 1 : n);
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete(void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}
