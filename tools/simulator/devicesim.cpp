#include "tools/simulator/devicesim.h"

#include <arpa/inet.h>
#include <httplib.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>
#include <mutex>
#include <random>
#include <set>
#include <thread>

#include "protocol/constants.h"
#include "tools/simulator/connectionabort.h"
#include "tools/simulator/eventhub.h"
#include "tools/simulator/faultplan.h"
#include "tools/simulator/layerrecords.h"
#include "tools/simulator/loopback.h"
#include "tools/simulator/picture.h"
#include "tools/simulator/requestlog.h"

namespace LCD {
namespace Sim {

namespace {

namespace C = LCD::Proto::Constants;
constexpr int kCodeBadLogin = 10001;
constexpr int kCodeUnauthorized = 10002;
constexpr int kCodeMalformed = 20001;
constexpr int kCodeUnknownLayer = 20002;
constexpr unsigned kLayerCommandCode = 528653;
constexpr std::size_t kMaxUserDataLength = 65535;

void reply(httplib::Response& res, int status, const Json& body) {
    res.status = status;
    res.set_content(body.dump(), "application/json");
}

Json status(int code, const std::string& message) {
    return Json{{"code", code}, {"message", message}};
}

std::string randomHex(std::size_t digits) {
    static std::mutex m;
    static std::mt19937_64 gen{std::random_device{}()};
    static const char* hex = "0123456789abcdef";
    std::lock_guard<std::mutex> lock(m);
    std::string out;
    for (std::size_t i = 0; i < digits; ++i)
        out += hex[gen() & 15];
    return out;
}

// One server-sent event; a text with line breaks becomes several data lines,
// which a client joins back with line feeds.
std::string sseEvent(const std::string& data) {
    std::string out = "event: autoreport\n";
    std::size_t from = 0;
    for (;;) {
        const std::size_t nl = data.find('\n', from);
        out +=
            "data: " + data.substr(from, nl == std::string::npos ? std::string::npos : nl - from) +
            "\n";
        if (nl == std::string::npos)
            break;
        from = nl + 1;
    }
    return out + "\n";
}

// Whether another socket holds `host`:`port`: of the reasons a loopback
// port cannot be had, the one a user can act on.
bool portInUse(const std::string& host, int port) {
    const bool v6 = host.find(':') != std::string::npos;
    const int probe = ::socket(v6 ? AF_INET6 : AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (probe < 0)
        return false;
    int yes = 1;
    ::setsockopt(probe, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    sockaddr_storage address{};
    socklen_t length = 0;
    if (v6) {
        auto* a = reinterpret_cast<sockaddr_in6*>(&address);
        a->sin6_family = AF_INET6;
        a->sin6_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET6, host.c_str(), &a->sin6_addr);
        length = sizeof *a;
    } else {
        auto* a = reinterpret_cast<sockaddr_in*>(&address);
        a->sin_family = AF_INET;
        a->sin_port = htons(static_cast<uint16_t>(port));
        inet_pton(AF_INET, host.c_str(), &a->sin_addr);
        length = sizeof *a;
    }
    const bool inUse =
        ::bind(probe, reinterpret_cast<sockaddr*>(&address), length) != 0 && errno == EADDRINUSE;
    ::close(probe);
    return inUse;
}

} // namespace

struct DeviceSim::State {
    explicit State(Options o) : options(std::move(o)), log(options.logSize) {}

    Options options;
    httplib::Server server;
    std::thread serving;
    std::atomic<bool> stopping{false};
    std::atomic<bool> served{false}; // the listen loop has returned
    int port = -1;
    std::string error;

    std::mutex mutex; // tokens, layers, counters
    std::set<std::string> tokens;
    std::map<int, Json> layers; // only layers that were set
    unsigned long sets = 0;

    std::mutex reportMutex; // seq numbering and publishing in one order
    unsigned long seq = 0;
    unsigned long reports = 0;

    EventHub hub;
    FaultPlan faults;
    RequestLog log;

    void routes();
    void record(const httplib::Request& req);
    bool authorized(const httplib::Request& req);
    Json currentLayers();
    std::size_t publish(const std::string& wire);
    std::size_t publishReport(unsigned long errorCode, const std::string& body);
    bool playFault(const Fault& f, httplib::Response& res);
    void sleepFor(int ms);

    void login(const httplib::Request& req, httplib::Response& res);
    void setImageQuality(const httplib::Request& req, httplib::Response& res);
    void listDetail(const httplib::Request& req, httplib::Response& res);
    void events(httplib::Response& res);
    void picture(const httplib::Request& req, httplib::Response& res);
};

void DeviceSim::State::record(const httplib::Request& req) {
    LoggedRequest r{req.method, req.path, {}, req.body};
    for (const auto& h : req.headers) {
        // The server adds these itself; they were not sent.
        if (h.first == "REMOTE_ADDR" || h.first == "REMOTE_PORT" || h.first == "LOCAL_ADDR" ||
            h.first == "LOCAL_PORT")
            continue;
        r.headers.emplace_back(h.first, h.second);
    }
    log.add(std::move(r));
}

bool DeviceSim::State::authorized(const httplib::Request& req) {
    if (!req.has_header("Authorization"))
        return false;
    const std::string token = req.get_header_value("Authorization");
    std::lock_guard<std::mutex> lock(mutex);
    return tokens.count(token) != 0;
}

Json DeviceSim::State::currentLayers() {
    Json list = Json::array();
    std::lock_guard<std::mutex> lock(mutex);
    for (int id = 1; id <= options.layers; ++id) {
        const auto it = layers.find(id);
        list.push_back(it != layers.end() ? it->second : defaultLayerRecord(id));
    }
    return list;
}

std::size_t DeviceSim::State::publish(const std::string& wire) {
    ++reports;
    return hub.publish(wire);
}

std::size_t DeviceSim::State::publishReport(unsigned long errorCode, const std::string& body) {
    std::lock_guard<std::mutex> lock(reportMutex);
    Json envelope = Json::object();
    envelope["source"] = "lcd-device-sim";
    envelope["seq"] = ++seq;
    envelope["sn"] = "SIM-0001";
    envelope["tl"] = Json{{"CommandCode", kLayerCommandCode},
                          {"ErrorCode", errorCode},
                          {"UserDataLength", std::min(body.size(), kMaxUserDataLength)}};
    envelope["body"] = body;
    return publish(sseEvent(envelope.dump(-1, ' ', false, Json::error_handler_t::replace)));
}

void DeviceSim::State::sleepFor(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!stopping && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
            std::chrono::milliseconds(20), until - std::chrono::steady_clock::now()));
}

// Plays the fault for this PUT. Returns true when the fault replaced the
// normal answer.
bool DeviceSim::State::playFault(const Fault& f, httplib::Response& res) {
    switch (f.mode) {
    case FaultMode::None: return false;
    case FaultMode::Delay: sleepFor(f.ms); return false;
    case FaultMode::Close:
        // Handled by the caller, which knows the connection.
        return true;
    case FaultMode::CloseMid: {
        const std::string full = status(0, "success").dump();
        res.status = 200;
        res.set_content_provider(full.size(), "application/json",
                                 [full](std::size_t, std::size_t, httplib::DataSink& sink) {
                                     sink.write(full.data(), full.size() / 2);
                                     return false; // aborts the connection
                                 });
        return true;
    }
    case FaultMode::NonJson:
        res.status = 200;
        res.set_content("this is not json", "text/plain");
        return true;
    case FaultMode::Empty:
        res.status = 200;
        res.set_content("", "application/json");
        return true;
    case FaultMode::Code: reply(res, 200, status(f.code, "refused by test")); return true;
    case FaultMode::Http500: reply(res, 500, status(500, "internal error")); return true;
    case FaultMode::Huge:
        res.status = 200;
        res.set_content(hugeReply(f.bytes), "application/json");
        return true;
    }
    return false;
}

void DeviceSim::State::login(const httplib::Request& req, httplib::Response& res) {
    record(req);
    const auto body = nlohmann::json::parse(req.body, nullptr, false);
    const auto text = [&body](const char* key) {
        return body.is_object() && body.contains(key) && body[key].is_string()
                   ? body[key].get<std::string>()
                   : std::string("\x01"); // never equal to a configured value
    };
    if (text("username") != options.user || text("password") != options.password) {
        reply(res, 401, status(kCodeBadLogin, "invalid username or password"));
        return;
    }
    const std::string token = randomHex(32);
    {
        std::lock_guard<std::mutex> lock(mutex);
        tokens.insert(token);
    }
    Json answer = status(0, "success");
    answer["data"] = Json{{"token", token}};
    reply(res, 200, answer);
}

void DeviceSim::State::setImageQuality(const httplib::Request& req, httplib::Response& res) {
    record(req);
    const Fault fault = faults.next();
    if (fault.mode == FaultMode::Close) {
        abortConnection(req.local_port, req.remote_port);
        return;
    }
    if (playFault(fault, res))
        return;
    if (!authorized(req)) {
        reply(res, 401, status(kCodeUnauthorized, "unauthorized"));
        return;
    }
    Json list;
    std::string what;
    if (!parseLayerList(req.body, list, what)) {
        reply(res, 200, status(kCodeMalformed, "malformed body: " + what));
        return;
    }
    for (const auto& record : list) {
        const int id = record["layerId"].get<int>();
        if (id < 1 || id > options.layers) {
            reply(res, 200, status(kCodeUnknownLayer, "unknown layer " + std::to_string(id)));
            return;
        }
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        for (const auto& record : list)
            layers[record["layerId"].get<int>()] = record;
        ++sets;
    }
    publishReport(0, list.dump());
    reply(res, 200, status(0, "success"));
}

void DeviceSim::State::listDetail(const httplib::Request& req, httplib::Response& res) {
    record(req);
    if (!authorized(req)) {
        reply(res, 401, status(kCodeUnauthorized, "unauthorized"));
        return;
    }
    Json answer = status(0, "success");
    answer["data"] = currentLayers();
    reply(res, 200, answer);
}

void DeviceSim::State::events(httplib::Response& res) {
    if (stopping) {
        reply(res, 503, status(503, "stopping"));
        return;
    }
    auto sub = hub.subscribe();
    if (stopping)
        hub.closeAll(); // stop() may have closed the others already
    res.set_header("Cache-Control", "no-cache");
    auto greeted = std::make_shared<bool>(false);
    res.set_chunked_content_provider(
        "text/event-stream",
        [sub, greeted](std::size_t, httplib::DataSink& sink) {
            // A comment at once: a client that waits for the first byte
            // knows the stream is open without waiting for the first ping.
            if (!*greeted) {
                *greeted = true;
                return sink.write(": open\n\n", 8);
            }
            std::string out;
            switch (sub->take(std::chrono::milliseconds(1000), out)) {
            case EventHub::Subscriber::Next::Data: return sink.write(out.data(), out.size());
            case EventHub::Subscriber::Next::Idle:
                // Lets the client notice a stream that went away.
                return sink.write(": ping\n\n", 8);
            case EventHub::Subscriber::Next::Closed: sink.done(); return true;
            }
            return false;
        },
        [this, sub](bool) { hub.unsubscribe(sub); });
}

void DeviceSim::State::picture(const httplib::Request& req, httplib::Response& res) {
    const std::string text = req.matches[1];
    const long id = text.size() < 8 ? std::stol(text) : -1;
    if (id < 1 || id > options.layers) {
        reply(res, 404, status(404, "no layer " + text));
        return;
    }
    Json record;
    {
        std::lock_guard<std::mutex> lock(mutex);
        const auto it = layers.find(static_cast<int>(id));
        record = it != layers.end() ? it->second : defaultLayerRecord(static_cast<int>(id));
    }
    res.set_header("Cache-Control", "no-store");
    res.set_content(pngOf(renderLayer(record)), "image/png");
}

void DeviceSim::State::routes() {
    auto& s = server;
    s.Post(C::POSTLOGIN, [this](const httplib::Request& q, httplib::Response& r) { login(q, r); });
    s.Put(C::PUTLAYERIMAGEQUALITY,
          [this](const httplib::Request& q, httplib::Response& r) { setImageQuality(q, r); });
    s.Get(C::MOVRAPROTOGETLAYERSLISTDETAIL,
          [this](const httplib::Request& q, httplib::Response& r) { listDetail(q, r); });
    s.Get("/events", [this](const httplib::Request&, httplib::Response& r) { events(r); });

    s.Post("/sim/fault", [this](const httplib::Request& q, httplib::Response& r) {
        std::string why;
        if (faults.set(q.body, why))
            reply(r, 200, Json{{"code", 0}});
        else
            reply(r, 400, status(1, why));
    });
    s.Post("/sim/autoreport", [this](const httplib::Request& q, httplib::Response& r) {
        const auto j = Json::parse(q.body, nullptr, false);
        std::size_t subscribers = 0;
        if (j.is_object() && j.contains("errorCode") && j["errorCode"].is_number_unsigned()) {
            subscribers =
                publishReport(j["errorCode"].get<unsigned long>(), currentLayers().dump());
        } else if (j.is_object() && j.contains("body") && j["body"].is_string()) {
            subscribers = publishReport(0, j["body"].get<std::string>());
        } else if (j.is_object() && j.contains("raw") && j["raw"].is_string()) {
            std::lock_guard<std::mutex> lock(reportMutex);
            subscribers = publish(sseEvent(j["raw"].get<std::string>()));
        } else {
            reply(r, 400,
                  status(1,
                         "expected {\"errorCode\": E}, {\"body\": \"...\"} or {\"raw\": \"...\"}"));
            return;
        }
        reply(r, 200, Json{{"code", 0}, {"subscribers", subscribers}});
    });
    s.Post("/sim/stream/drop", [this](const httplib::Request&, httplib::Response& r) {
        hub.closeAll();
        reply(r, 200, Json{{"code", 0}});
    });
    s.Get("/sim/requests", [this](const httplib::Request&, httplib::Response& r) {
        r.set_content(log.toJson(), "application/json");
    });
    s.Delete("/sim/requests", [this](const httplib::Request&, httplib::Response& r) {
        log.clear();
        reply(r, 200, Json{{"code", 0}});
    });
    // What the device shows on a layer; no token asked, like the rest of /sim/.
    s.Get(R"(/sim/layers/(-?\d+)/picture\.png)",
          [this](const httplib::Request& q, httplib::Response& r) { picture(q, r); });
    s.Get("/sim/stats", [this](const httplib::Request&, httplib::Response& r) {
        Json stats = Json::object();
        {
            std::lock_guard<std::mutex> lock(mutex);
            stats["sets"] = sets;
        }
        {
            std::lock_guard<std::mutex> lock(reportMutex);
            stats["reports"] = reports;
        }
        stats["subscribers"] = hub.subscriberCount();
        reply(r, 200, stats);
    });

    // Every other device path is logged too, then refused.
    const auto unknown = [this](const httplib::Request& q, httplib::Response& r) {
        record(q);
        reply(r, 404, status(404, "no such endpoint"));
    };
    s.Get("/movra/.*", unknown);
    s.Post("/movra/.*", unknown);
    s.Put("/movra/.*", unknown);
    s.Delete("/movra/.*", unknown);
    s.Patch("/movra/.*", unknown);
}

DeviceSim::DeviceSim(Options options) : m_state(std::make_unique<State>(std::move(options))) {}

DeviceSim::~DeviceSim() {
    stop();
}

int DeviceSim::start() {
    State& st = *m_state;
    if (!isLoopbackAddress(st.options.host)) {
        st.error = "refusing to serve on " + st.options.host +
                   ": only loopback addresses (127.0.0.0/8, ::1) are allowed";
        return -1;
    }
    if (st.options.layers < 0) {
        st.error = "the number of layers must not be negative";
        return -1;
    }
    // A client that goes away mid-reply must not end the process.
    std::signal(SIGPIPE, SIG_IGN);
    if (!st.options.token.empty())
        st.tokens.insert(st.options.token);
    std::string why;
    if (!st.options.fault.empty() && !st.faults.set(st.options.fault, why)) {
        st.error = "fault: " + why;
        return -1;
    }
    // SO_REUSEADDR alone: with SO_REUSEPORT, as the server library would
    // set, a second simulator could listen on the same port and take half
    // of the requests.
    st.server.set_socket_options([](int sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
    if (st.options.verbose)
        st.server.set_logger([](const httplib::Request& q, const httplib::Response& r) {
            std::fprintf(stderr, "lcd-device-sim: %s %s %d (%zu bytes in, %zu out)\n",
                         q.method.c_str(), q.path.c_str(), r.status, q.body.size(), r.body.size());
        });
    const int threads = std::max(4, st.options.threads);
    st.server.new_task_queue = [threads] { return new httplib::ThreadPool(threads); };
    st.server.set_keep_alive_max_count(1000);
    // Headers and body go out in separate writes; without this the body
    // waits for the client's delayed acknowledgement, some 40 ms a reply.
    st.server.set_tcp_nodelay(true);
    st.routes();
    if (st.options.port == 0) {
        st.port = st.server.bind_to_any_port(st.options.host);
    } else {
        st.port = st.server.bind_to_port(st.options.host, st.options.port) ? st.options.port : -1;
    }
    if (st.port <= 0) {
        st.port = -1;
        st.error = st.options.port != 0 && portInUse(st.options.host, st.options.port)
                       ? "port " + std::to_string(st.options.port) + " is in use"
                       : "cannot listen on " + st.options.host + " port " +
                             std::to_string(st.options.port);
        return -1;
    }
    st.serving = std::thread([&st] {
        st.server.listen_after_bind();
        st.served = true;
    });
    return st.port;
}

void DeviceSim::stop() {
    State& st = *m_state;
    if (!st.serving.joinable())
        return;
    st.stopping = true;
    st.hub.closeAll();
    // A stop that comes before the listen loop has begun is not seen by it,
    // so repeat it until the loop has returned.
    while (!st.served) {
        st.server.stop();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    st.serving.join();
}

int DeviceSim::port() const {
    return m_state->port;
}

std::string DeviceSim::url() const {
    const std::string& h = m_state->options.host;
    const bool v6 = h.find(':') != std::string::npos;
    return "http://" + (v6 ? "[" + h + "]" : h) + ":" + std::to_string(m_state->port);
}

const std::string& DeviceSim::error() const {
    return m_state->error;
}

} // namespace Sim
} // namespace LCD
