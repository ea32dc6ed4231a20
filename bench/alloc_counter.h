// Counts calls of the global operator new in a benchmark binary, so that a
// benchmark can report allocations per operation beside its time.
//
//   const std::size_t before = bench::allocations();
//   ... work ...
//   bench::allocations() - before    // operator new calls in between
//
// The replacement operators live in alloc_counter.cpp, which every benchmark
// binary links as an object file. Benchmarks run on one thread, so the count
// is a plain integer.
#pragma once

#include <cstddef>

namespace bench {

std::size_t allocations() noexcept;

} // namespace bench
