// The whole set path on loopback: a set request through the host framework,
// the plug-in loaded as the host loads it, the communicator library and the
// in-process device simulator; beside it a bare libcurl PUT of the same body
// to the same simulator over one kept-alive handle per thread. From 1 and 4
// client threads; requests per second and the time of one round trip.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

#include <benchmark/benchmark.h>
#include <curl/curl.h>

#include "bench/layer_samples.h"
#include "host/lcdcommunicator.h"
#include "host/messageids.h"
#include "platform/communicator/lcdcomm.h"
#include "platform/framework/host.h"
#include "platform/framework/pluginloader.h"
#include "protocol/protomodel.h"
#include "tools/simulator/devicesim.h"

#ifndef LCD_BENCH_PLUGIN_PATH
#error "LCD_BENCH_PLUGIN_PATH names the plug-in file"
#endif

namespace {

using bench::LayerList;

using LCD::MessageId::kSetLayerImageQuality;
constexpr const char* kToken = "bench-token";
constexpr const char* kPath = "/movra/v1/layers/image-quality";

struct rig {
    std::unique_ptr<LCD::Sim::DeviceSim> sim;
    std::unique_ptr<pqxhost::Host> host;
    std::unique_ptr<pqxhost::Plugin> plugin;
    std::string url;
};

rig* g_rig = nullptr;

[[noreturn]] void fail(const std::string& what) {
    std::fprintf(stderr, "set path bench: %s\n", what.c_str());
    std::exit(1);
}

LayerList request_layers(std::size_t n) {
    LayerList list(n);
    for (std::size_t i = 0; i < n; ++i)
        list[i].layerId = static_cast<int>(i + 1);
    return list;
}

bool accepted(const pqxhost::Answer& a) {
    return a.status == pqxhost::Answer::Status::answered && a.payload.size() == 1 &&
           a.payload[0] == 1;
}

void start_rig() {
    g_rig = new rig;
    LCD::Sim::Options options;
    options.port = 0;
    options.token = kToken;
    g_rig->sim = std::make_unique<LCD::Sim::DeviceSim>(options);
    if (g_rig->sim->start() < 0)
        fail("simulator: " + g_rig->sim->error());
    g_rig->url = g_rig->sim->url();

    lcdcomm::Settings settings;
    settings.url = g_rig->url;
    settings.token = kToken;
    lcdcomm::configure(settings);

    g_rig->host = std::make_unique<pqxhost::Host>(4);
    std::string error;
    g_rig->plugin = pqxhost::Plugin::load(LCD_BENCH_PLUGIN_PATH, *g_rig->host, &error);
    if (!g_rig->plugin)
        fail("plug-in: " + error);

    const LayerList layers = request_layers(3);
    if (!accepted(g_rig->host->sendRequest(kSetLayerImageQuality, &layers, sizeof layers)))
        fail("the device did not accept the start-up request");
}

void stop_rig() {
    g_rig->host->stopDelivery();
    g_rig->plugin->destroyComponents();
    g_rig->host->global().clear();
    g_rig->plugin.reset();
    g_rig->host.reset();
    g_rig->sim->stop();
    delete g_rig;
    g_rig = nullptr;
}

void through_host(benchmark::State& state) {
    const LayerList layers = request_layers(static_cast<std::size_t>(state.range(0)));
    bool ok = true;
    for (auto _ : state)
        ok =
            accepted(g_rig->host->sendRequest(kSetLayerImageQuality, &layers, sizeof layers)) && ok;
    if (!ok)
        state.SkipWithError("a request was not accepted");
    state.SetItemsProcessed(state.iterations());
}

// The plug-in's own steps on the calling thread, without the host's hand-over
// to a worker and back: what the communicator adds to a bare PUT.
void through_communicator(benchmark::State& state) {
    const LayerList layers = request_layers(static_cast<std::size_t>(state.range(0)));
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    bool ok = true;
    for (auto _ : state) {
        std::string body;
        LCD::ProtoModel::encode(body, layers);
        HttpRequest* request = client->createRequest("PUT", kPath);
        request->setHead("Content-Type", "application/json");
        request->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
        request->setBody(body.c_str(), static_cast<int>(body.size()));
        int status = 0;
        HttpRespon* response = client->sendRequest(request, &status);
        LCD::ProtoModel::s_nullResponse r;
        std::string err;
        ok = response && status == 200 &&
             LCD::ProtoModel::decode(std::string(response->getBody(), response->getBodySize()), r,
                                     err) &&
             r.code == 0 && ok;
    }
    if (!ok)
        state.SkipWithError("a request failed");
    state.SetItemsProcessed(state.iterations());
}

std::size_t keep(char* data, std::size_t size, std::size_t n, void* reply) {
    static_cast<std::string*>(reply)->append(data, size * n);
    return size * n;
}

void bare_curl(benchmark::State& state) {
    std::string body;
    LCD::ProtoModel::encode(body, request_layers(static_cast<std::size_t>(state.range(0))));
    const std::string url = g_rig->url + kPath;
    const std::string auth = std::string("Authorization: ") + kToken;

    CURL* h = curl_easy_init();
    curl_slist* heads = curl_slist_append(nullptr, "Content-Type: application/json");
    heads = curl_slist_append(heads, auth.c_str());
    std::string reply;
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, "PUT");
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, heads);
    curl_easy_setopt(h, CURLOPT_POSTFIELDS, body.c_str());
    curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE, static_cast<long>(body.size()));
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, keep);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &reply);
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    bool ok = true;
    for (auto _ : state) {
        reply.clear();
        long status = 0;
        ok = curl_easy_perform(h) == CURLE_OK && ok;
        curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status);
        LCD::ProtoModel::s_nullResponse r;
        std::string err;
        ok = status == 200 && LCD::ProtoModel::decode(reply, r, err) && r.code == 0 && ok;
    }
    if (!ok)
        state.SkipWithError("a request failed");
    curl_slist_free_all(heads);
    curl_easy_cleanup(h);
    state.SetItemsProcessed(state.iterations());
}

} // namespace

BENCHMARK(through_host)
    ->Name("setpath/ours")
    ->Arg(1)
    ->Arg(3)
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime();
BENCHMARK(through_communicator)
    ->Name("setpath/communicator")
    ->Arg(1)
    ->Arg(3)
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime();
BENCHMARK(bare_curl)
    ->Name("setpath/bare_curl")
    ->Arg(1)
    ->Arg(3)
    ->Threads(1)
    ->Threads(4)
    ->UseRealTime();

int main(int argc, char** argv) {
    curl_global_init(CURL_GLOBAL_DEFAULT);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    start_rig();
    benchmark::RunSpecifiedBenchmarks();
    stop_rig();
    benchmark::Shutdown();
    curl_global_cleanup();
    return 0;
}
