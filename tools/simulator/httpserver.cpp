#include "tools/simulator/httpserver.h"

#include <malloc.h>
#include <sys/socket.h>

#include <cstdio>

#include "tools/simulator/limits.h"
#include "tools/simulator/replies.h"
#include "tools/simulator/requestbody.h"

namespace LCD {
namespace Sim {
namespace {

// After an exchange this large the freed memory is handed back at once:
// each worker thread's allocator keeps its own, which would otherwise stay.
constexpr std::size_t kTrimAfterBytes = 1u << 20;

const std::string kNoBody;
// Requests served on one connection before the server closes it.
constexpr std::size_t kKeepAliveRequests = 1000;

// The connection ends after this answer, which says so.
void endAfter(httplib::Response& res) {
    res.set_header("Connection", "close");
    Connection::current()->closeAfterReply();
}

// The reason of an answer the server itself refuses a request with.
std::string reasonOf(int status) {
    switch (status) {
    case 400: return "the request could not be read";
    case 413: return "request body larger than " + std::to_string(kMaxBodyBytes) + " bytes";
    case 414:
        return "request line longer than " + std::to_string(CPPHTTPLIB_REQUEST_URI_MAX_LENGTH) +
               " bytes";
    case 415: return "the body's encoding is not supported";
    case 431:
        return "request head larger than " + std::to_string(kMaxHeadBytes) +
               " bytes, or a header line larger than " + std::to_string(kMaxHeaderLineBytes);
    default: return "request refused";
    }
}

// A refusal written by us, for a request the server could not take up.
void refuseRaw(Connection& c, int code, const char* reason) {
    const std::string body = status(code, reasonOf(code)).dump();
    c.writeRaw("HTTP/1.1 " + std::to_string(code) + " " + reason +
               "\r\nContent-Type: application/json\r\nContent-Length: " +
               std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n");
    c.writeRaw(body);
    c.noteAnswer("(unreadable request)", code);
    c.closeAfterReply();
}

} // namespace

HttpServer::HttpServer(Dispatch dispatch, bool verbose)
    : m_dispatch(std::move(dispatch)), m_verbose(verbose),
      m_idle([this](std::unique_ptr<Connection> c) {
          // The pool outlives the idle connections: stopServing() ends them first.
          Connection* next = c.release();
          m_workers.load()->enqueue(
              [this, next] { serveConnection(std::unique_ptr<Connection>(next)); });
      }) {
    new_task_queue = [this] {
        auto* pool = new httplib::ThreadPool(kRequestWorkers);
        m_workers = pool;
        return pool;
    };
    const auto plain = [this](const httplib::Request& q, httplib::Response& r) {
        m_dispatch(q, kNoBody, r);
    };
    const auto body = [this](const httplib::Request& q, httplib::Response& r,
                             const httplib::ContentReader& reader) { withBody(q, r, reader); };
    Get(".*", plain);
    Options(".*", plain);
    Post(".*", body);
    Put(".*", body);
    Patch(".*", body);
    Delete(".*", body);
    // Methods the server reads but no route takes: the routes refuse them.
    set_pre_routing_handler([this](const httplib::Request& q, httplib::Response& r) {
        static const std::string routed[] = {"GET", "HEAD",  "OPTIONS", "POST",
                                             "PUT", "PATCH", "DELETE"};
        for (const std::string& m : routed)
            if (q.method == m)
                return HandlerResponse::Unhandled;
        m_dispatch(q, kNoBody, r);
        endAfter(r);
        return HandlerResponse::Handled;
    });
    // A body announced too large is refused before the client sends it.
    set_expect_100_continue_handler([](const httplib::Request& q, httplib::Response& r) {
        std::string why;
        if (!bodyTooLarge(q, why))
            return 100;
        refuse(r, 413, why);
        endAfter(r);
        return 413;
    });
    // The server's own refusals (a request it cannot read) get the
    // device's JSON body, and end the connection: what follows is not to
    // be trusted. Every refusal is sized here, whichever way it was made.
    set_error_handler(HandlerWithResponse([](const httplib::Request&, httplib::Response& r) {
        if (r.body.empty() && !r.content_provider_) {
            if (Connection::current()->headTooLarge())
                r.status = 431;
            refuse(r, r.status, reasonOf(r.status));
            endAfter(r);
        }
        return HandlerResponse::Handled;
    }));
    // An answer that ends its connection does not also offer to keep it.
    set_post_routing_handler([](const httplib::Request&, httplib::Response& r) {
        if (r.get_header_value("Connection") == "close")
            r.headers.erase("Keep-Alive");
    });
    set_exception_handler([](const httplib::Request&, httplib::Response& r, std::exception_ptr e) {
        std::string what = "unknown";
        try {
            std::rethrow_exception(e);
        } catch (const std::exception& x) {
            what = x.what();
        } catch (...) {
        }
        refuse(r, 500, "internal error: " + what);
    });
    set_logger([](const httplib::Request& q, const httplib::Response& r) {
        Connection::current()->noteAnswer(
            q.method.empty() ? "(unreadable request)" : q.method + " " + q.path, r.status);
    });
    set_keep_alive_timeout(kKeepAlive.count());
    set_keep_alive_max_count(kKeepAliveRequests);
    // Headers and body go out in separate writes; without this the body
    // waits for the client's delayed acknowledgement, some 40 ms a reply.
    set_tcp_nodelay(true);
    // SO_REUSEADDR alone: with SO_REUSEPORT, as the server library would
    // set, a second simulator could listen on the same port and take half
    // of the requests.
    set_socket_options([](socket_t sock) {
        int yes = 1;
        ::setsockopt(sock, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
    });
}

HttpServer::~HttpServer() {
    stopServing();
}

int HttpServer::bindTo(const std::string& host, int port) {
    const int bound = port == 0 ? bind_to_any_port(host) : bind_to_port(host, port) ? port : -1;
    if (bound <= 0)
        return -1;
    // The library listens with a backlog of 5: clients that connect at once,
    // e.g. many event streams, would wait for a SYN to be sent again.
    ::listen(svr_sock_, SOMAXCONN);
    return bound;
}

void HttpServer::serve() {
    listen_after_bind();
}

void HttpServer::stopServing() {
    m_stopping = true;
    m_idle.stop();
    stop();
}

bool HttpServer::process_and_close_socket(socket_t sock) {
    serveConnection(std::make_unique<Connection>(sock, m_stopping));
    return true;
}

// Serves the requests of `c` while they come; a connection with nothing to
// read, a new one too, waits with the idle ones instead of holding a worker.
void HttpServer::serveConnection(std::unique_ptr<Connection> c) {
    {
        Connection::Serving serving(*c);
        while (c->inputWithin(std::chrono::milliseconds(1))) {
            c->beginRequest();
            bool clientCloses = false;
            const bool last = m_stopping || c->exchanges() >= kKeepAliveRequests;
            const bool answered = process_request(*c, last, clientCloses, nullptr);
            if (c->headTooLarge() && c->bytesWritten() == 0)
                refuseRaw(*c, 431, "Request Header Fields Too Large");
            if (!c->request().empty())
                account(*c);
            if (c->bodyBytesIn() + c->bytesOut() > kTrimAfterBytes)
                malloc_trim(0);
            if (c->finishHandover())
                return;
            if (c->closeAfterReplyAsked()) {
                c->closeGracefully();
                return;
            }
            if (!answered || clientCloses || last)
                return;
        }
    }
    m_idle.park(std::move(c));
}

void HttpServer::withBody(const httplib::Request& req, httplib::Response& res,
                          const httplib::ContentReader& reader) {
    std::string body, why;
    if (const int refusal = readBody(req, reader, body, why)) {
        refuse(res, refusal, why);
        endAfter(res);
        return;
    }
    m_dispatch(req, body, res);
}

void HttpServer::account(const Connection& c) const {
    if (!m_verbose)
        return;
    if (c.handingOver())
        std::fprintf(stderr, "lcd-device-sim: %s %d (%zu bytes in; an event stream from now on)\n",
                     c.request().c_str(), c.status(), c.bodyBytesIn());
    else
        std::fprintf(stderr, "lcd-device-sim: %s %d (%zu bytes in, %zu out)\n", c.request().c_str(),
                     c.status(), c.bodyBytesIn(), c.bytesOut());
}

} // namespace Sim
} // namespace LCD
