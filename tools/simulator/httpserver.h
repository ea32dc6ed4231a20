// The simulated device's HTTP server: the request parsing and answer
// writing of cpp-httplib, with the connections run our way. Request
// workers serve a connection while its requests come; an idle one waits
// with the other idle ones on one thread, and an event stream is handed
// over once its head is out. What a client sends is held to the limits
// (limits.h) as it arrives, and every refusal is the device's JSON answer.
//
//   HttpServer server([&](const httplib::Request& req, const std::string& body,
//                         httplib::Response& res) { routes.dispatch(req, body, res); });
//   const int port = server.bindTo("127.0.0.1", 0);
//   std::thread([&] { server.serve(); });  ...  server.stopServing();
#pragma once

#include <httplib.h>

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "tools/simulator/connection.h"
#include "tools/simulator/idleconnections.h"

namespace LCD {
namespace Sim {

class HttpServer : public httplib::Server {
public:
    // Answers a request whose body, if any, has been read within its limit.
    using Dispatch =
        std::function<void(const httplib::Request&, const std::string& body, httplib::Response&)>;
    // `verbose`: one line per exchange on stderr.
    HttpServer(Dispatch dispatch, bool verbose);
    ~HttpServer() override;

    // Binds `host`:`port` (0: a free port). Returns the port, or -1.
    int bindTo(const std::string& host, int port);
    // Serves until stopServing(); on a thread of its own.
    void serve();
    // Ends idle connections and the serving; serve() returns soon after.
    void stopServing();
    bool stopping() const { return m_stopping; }

private:
    bool process_and_close_socket(socket_t sock) override;
    void serveConnection(std::unique_ptr<Connection> c);
    void withBody(const httplib::Request& req, httplib::Response& res,
                  const httplib::ContentReader& reader);
    void account(const Connection& c) const;

    Dispatch m_dispatch;
    bool m_verbose;
    std::atomic<bool> m_stopping{false};
    std::atomic<httplib::TaskQueue*> m_workers{nullptr};
    IdleConnections m_idle;
};

} // namespace Sim
} // namespace LCD
