// Decoding a layer list, ours beside RapidJSON (SAX into the records, and a
// Document copied into them), nlohmann/json and simdjson on-demand; and the
// two-step decode of an auto-report (envelope, then its body).
#include <cstddef>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/layer_samples.h"
#include "bench/measure.h"
#include "bench/peer_nlohmann.h"
#include "bench/peer_rapidjson.h"
#include "bench/peer_simdjson.h"
#include "protocol/autoreport.h"
#include "protocol/protomodel.h"

namespace {

using bench::LayerList;

constexpr long kRecords[] = {1, 3, 64, 10000};

struct inputs {
    std::string list; // padded for simdjson; the others ignore the spare room
    std::string report;
    LayerList expected;
};

const inputs& inputs_for(long n) {
    static std::map<long, inputs> cache;
    auto it = cache.find(n);
    if (it == cache.end()) {
        inputs in;
        in.expected = bench::sample_layers(static_cast<std::size_t>(n));
        in.list = bench::sj::padded(bench::layer_text(in.expected));
        in.report = bench::sj::padded(bench::auto_report_text(in.expected));
        it = cache.emplace(n, std::move(in)).first;
    }
    return it->second;
}

bool ours(const std::string& text, LayerList& out) {
    std::string err;
    return LCD::ProtoModel::decode(text, out, err);
}

bool ours_report(const std::string& text, LayerList& out) {
    LCD::AutoReport::LCDAutoReportData data;
    std::string err;
    return LCD::ProtoModel::decode(text, data, err) && data.tl.ErrorCode == 0 &&
           LCD::ProtoModel::decode(data.body, out, err);
}

simdjson::ondemand::parser& sj_parser() {
    static simdjson::ondemand::parser parser;
    return parser;
}
bool simdjson_list(const std::string& text, LayerList& out) {
    return bench::sj::decode(sj_parser(), text, out);
}
bool simdjson_report(const std::string& text, LayerList& out) {
    return bench::sj::decode_report(sj_parser(), text, out);
}

using decoder = bool (*)(const std::string&, LayerList&);

struct subject {
    const char* name;
    decoder list;
    decoder report; // nullptr: not measured for reports
};

const subject kSubjects[] = {
    {"ours", ours, ours_report},
    {"rapidjson_sax", bench::rj::decode_sax, bench::rj::decode_report},
    {"rapidjson_document", bench::rj::decode_document, nullptr},
    {"nlohmann", bench::nl::decode, bench::nl::decode_report},
    {"simdjson_ondemand", simdjson_list, simdjson_report},
};

void run(benchmark::State& state, decoder f, bool report) {
    const inputs& in = inputs_for(state.range(0));
    const std::string& text = report ? in.report : in.list;
    const std::size_t before = bench::allocations();
    for (auto _ : state) {
        LayerList out;
        const bool ok = f(text, out);
        benchmark::DoNotOptimize(ok);
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
    bench::report(state, text.size(), before);
}

// Allocations that only the list's own growth makes, for reading "allocs".
std::size_t growth_allocations(long n) {
    const std::size_t before = bench::allocations();
    {
        LayerList l;
        for (long i = 0; i < n; ++i)
            l.emplace_back();
        benchmark::DoNotOptimize(l.data());
    }
    return bench::allocations() - before;
}

void check_peers() {
    for (const long n : kRecords) {
        const inputs& in = inputs_for(n);
        for (const subject& s : kSubjects) {
            LayerList out;
            if (!s.list(in.list, out) || !bench::same_records(out, in.expected))
                bench::mismatch(s.name, n);
            if (s.report != nullptr) {
                LayerList rep;
                if (!s.report(in.report, rep) || !bench::same_records(rep, in.expected))
                    bench::mismatch(s.name, n);
            }
        }
    }
}

} // namespace

int main(int argc, char** argv) {
    check_peers();
    for (const subject& s : kSubjects) {
        auto* b =
            benchmark::RegisterBenchmark((std::string("decode/") + s.name).c_str(),
                                         [f = s.list](benchmark::State& st) { run(st, f, false); });
        for (const long n : kRecords)
            b->Arg(n);
    }
    for (const subject& s : kSubjects) {
        if (s.report == nullptr)
            continue;
        auto* b = benchmark::RegisterBenchmark(
            (std::string("decode_report/") + s.name).c_str(),
            [f = s.report](benchmark::State& st) { run(st, f, true); });
        b->Arg(1)->Arg(3);
    }
    for (const long n : kRecords)
        benchmark::AddCustomContext("list_growth_allocs/" + std::to_string(n),
                                    std::to_string(growth_allocations(n)));
    return bench::run(argc, argv);
}
