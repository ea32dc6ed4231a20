// The cost of the model's two handlers without any network: the set handler
// over a communicator that answers at once, and the auto-report handler, in
// nanoseconds per message. The host side is a minimal fake that keeps the
// registered handlers and hands back one answer message; the communicator
// is the tests' stand-in, answering every request at once with an
// accepting reply and recording nothing.
#include <cstdint>
#include <functional>
#include <map>
#include <string>

#include <benchmark/benchmark.h>

#include "bench/layer_samples.h"
#include "bench/measure.h"
#include "component/api.h"
#include "component/layerimagequalitymodel.h"
#include "host/pqx.h"
#include "tests/support/fake_communicator.h"

// ---------------------------------------------------------------------------
// The host side: handlers kept by id, one answer message reused.

namespace {

using bench::LayerList;

class fake_message final : public pqx::IMessage {
public:
    fake_message(std::uint32_t id, std::uint32_t size, const void* data)
        : m_id(id), m_size(size), m_data(data) {}
    std::uint32_t getId() const override { return m_id; }
    const char* getSender() const override { return "bench"; }
    std::uint32_t getFlag() const override { return 0; }
    std::uint32_t getReplyId() const override { return m_id + 1; }
    std::uint32_t getDataSize() const override { return m_size; }
    const void* getData() const override { return m_data; }

    std::uint32_t m_id;
    std::uint32_t m_size;
    const void* m_data;
    bool m_flag = false;
};

class fake_handler final : public pqx::IMessageHandler {
public:
    void registerRequestHandler(std::uint32_t id, const pqx::MessageHandler& h) override {
        handlers[id] = h;
    }
    void registerNotificationHandler(std::uint32_t id, const pqx::MessageHandler& h) override {
        handlers[id] = h;
    }
    void reservedSlot3() override {}
    void reservedSlot4() override {}
    std::int32_t postMessage(std::uint32_t, std::uint32_t size, const void* data,
                             std::uint32_t) override {
        posted_records =
            size == sizeof(LayerList) ? static_cast<const LayerList*>(data)->size() : 0;
        return 1;
    }
    void registerClient(const std::string&) override {}

    std::map<std::uint32_t, pqx::MessageHandler> handlers;
    std::size_t posted_records = 0;
};

class fake_center final : public pqx::IMessageCenter {
public:
    pqx::IMessage* createMessage(std::uint32_t id, const char*, std::uint32_t size,
                                 const void* data, std::uint32_t) override {
        answer.m_id = id;
        answer.m_size = size;
        answer.m_flag = size == 1 && *static_cast<const bool*>(data);
        answer.m_data = &answer.m_flag;
        return &answer;
    }
    fake_message answer{0, 0, nullptr};
};

class fake_api final : public pqx::IApi {
public:
    pqx::IMessageHandler* findMessageHandler(const char*, const char*, void*, void*, void*,
                                             std::int32_t) override {
        return &handler;
    }
    void reservedSlot2() override {}
    void reservedSlot3() override {}
    pqx::IMessageCenter* findMessageCenter(const char*) override { return &center; }

    fake_handler handler;
    fake_center center;
};

fake_api g_api;

const pqx::MessageHandler& handler_for(std::uint32_t id) {
    static const bool ready = [] {
        fake_comm::script().reply = "{\"code\":0,\"message\":\"ok\"}";
        fake_comm::script().token = "bench-token";
        fake_comm::script().record = false;
        pqx::api::get().iapi = &g_api;
        static layerimagequality::LayerImageQualityModel model;
        return true;
    }();
    (void)ready;
    return g_api.handler.handlers.at(id);
}

LayerList device_layers(std::size_t n) {
    LayerList list(n);
    for (std::size_t i = 0; i < n; ++i)
        list[i].layerId = static_cast<int>(i + 1);
    return list;
}

void set_handler(benchmark::State& state) {
    const LayerList layers = device_layers(static_cast<std::size_t>(state.range(0)));
    const pqx::MessageHandler& handler = handler_for(layerimagequality::kSetLayerImageQuality);
    const fake_message request(layerimagequality::kSetLayerImageQuality, sizeof(LayerList),
                               &layers);
    const std::size_t before = bench::allocations();
    bool accepted = true;
    for (auto _ : state) {
        const pqx::IMessage* answer = handler(&request);
        accepted = accepted && answer != nullptr && *static_cast<const bool*>(answer->getData());
        benchmark::DoNotOptimize(answer);
    }
    if (!accepted)
        state.SkipWithError("the set handler did not answer with an accepted flag");
    bench::report(state, fake_comm::lastBodyBytes(), before);
}

void auto_report_handler(benchmark::State& state) {
    const std::size_t n = static_cast<std::size_t>(state.range(0));
    const std::string text = bench::auto_report_text(device_layers(n));
    const pqx::MessageHandler& handler =
        handler_for(layerimagequality::kAutoReportLayerImageQuality);
    const fake_message report(layerimagequality::kAutoReportLayerImageQuality,
                              static_cast<std::uint32_t>(text.size() + 1), text.c_str());
    const std::size_t before = bench::allocations();
    g_api.handler.posted_records = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(handler(&report));
    }
    if (g_api.handler.posted_records != n)
        state.SkipWithError("the auto-report handler did not post the records");
    bench::report(state, text.size(), before);
}

} // namespace

BENCHMARK(set_handler)->Name("handler/set")->Arg(1)->Arg(3);
BENCHMARK(auto_report_handler)->Name("handler/auto_report")->Arg(1)->Arg(3);

BENCHMARK_MAIN();
