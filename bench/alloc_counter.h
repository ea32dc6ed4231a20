// Counts calls into the C library's allocator (malloc, calloc, realloc; the
// global operator new ends in malloc) in a benchmark binary, so that a
// benchmark can report allocations per operation beside its time.
//
//   const std::size_t before = bench::allocations();
//   ... work ...
//   bench::allocations() - before    // allocations in between
//
// The replacements live in alloc_counter.cpp, which every benchmark binary
// links as an object file. Benchmarks that count run on one thread, so the
// count is a plain integer.
#pragma once

#include <cstddef>

namespace bench {

std::size_t allocations() noexcept;

} // namespace bench
