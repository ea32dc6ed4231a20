// What the machine allows for the layer list's bytes: memcpy of the encoded
// text (the floor for writing it) and a plain loop that looks at every byte
// once through a class table, as a tokenizer must (the floor for reading it).
#include <cstddef>
#include <cstring>
#include <map>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/layer_samples.h"
#include "bench/measure.h"

namespace {

const std::string& text_for(long n) {
    static std::map<long, std::string> cache;
    auto it = cache.find(n);
    if (it == cache.end())
        it = cache.emplace(n, bench::layer_text(bench::sample_layers(static_cast<std::size_t>(n))))
                 .first;
    return it->second;
}

struct structural_table {
    unsigned char of[256] = {};
    constexpr structural_table() {
        for (const char c : {'{', '}', '[', ']', ':', ',', '"'})
            of[static_cast<unsigned char>(c)] = 1;
    }
};
constexpr structural_table kStructural;

void memcpy_limit(benchmark::State& state) {
    const std::string& text = text_for(state.range(0));
    const std::unique_ptr<char[]> dst(new char[text.size()]);
    const std::size_t before = bench::allocations();
    for (auto _ : state) {
        std::memcpy(dst.get(), text.data(), text.size());
        benchmark::DoNotOptimize(dst.get());
        benchmark::ClobberMemory();
    }
    bench::report(state, text.size(), before);
}

void byte_loop_limit(benchmark::State& state) {
    const std::string& text = text_for(state.range(0));
    const std::size_t before = bench::allocations();
    for (auto _ : state) {
        const auto* p = reinterpret_cast<const unsigned char*>(text.data());
        std::size_t structural = 0;
        for (std::size_t i = 0; i < text.size(); ++i)
            structural += kStructural.of[p[i]];
        benchmark::DoNotOptimize(structural);
    }
    bench::report(state, text.size(), before);
}

} // namespace

BENCHMARK(memcpy_limit)
    ->Name("limit/memcpy")
    ->Arg(1)
    ->Arg(2)
    ->Arg(3)
    ->Arg(64)
    ->Arg(1000)
    ->Arg(10000)
    ->Arg(30000);
BENCHMARK(byte_loop_limit)->Name("limit/byte_loop")->Arg(1)->Arg(3)->Arg(64)->Arg(10000);

BENCHMARK_MAIN();
