// What every benchmark reports besides its time: bytes per second of the
// JSON text, and allocations (calls into the C library's allocator) per operation.
//
//   for (auto _ : state) { ... }
//   bench::report(state, text_bytes, allocations_before);
#pragma once

#include <cstddef>
#include <cstdio>
#include <cstdlib>

#include <benchmark/benchmark.h>

#include "bench/alloc_counter.h"

namespace bench {

inline void report(benchmark::State& state, std::size_t text_bytes,
                   std::size_t allocations_before) {
    const auto iterations = static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                            static_cast<std::int64_t>(text_bytes));
    state.counters["allocs"] =
        benchmark::Counter(static_cast<double>(allocations() - allocations_before) /
                           (iterations > 0 ? iterations : 1));
    state.counters["records"] = static_cast<double>(state.range(0));
}

// A peer that reads or writes something else than ours would make the
// comparison meaningless: stop before measuring anything.
[[noreturn]] inline void mismatch(const char* what, long records) {
    std::fprintf(stderr, "start-up check failed: %s with %ld records differs from ours\n", what,
                 records);
    std::abort();
}

// Runs the benchmarks registered so far, as BENCHMARK_MAIN would.
inline int run(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench
