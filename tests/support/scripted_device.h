// A device that misbehaves on purpose: a server on a free loopback port of
// the test process, in threads of its own, over raw sockets, so that it can
// break HTTP itself (wrong framing, unasked bytes, interim 1xx heads,
// redirects, endless headers or event lines, stalls, resets). What it does
// is a table: for each path, the Answer it gives, row by row.
//
// A test starts it, takes its URL and points the communicator or the
// auto-report stream at it, or runs a program of the tree against it:
//
//   testsupport::ScriptedDevice device({
//       {"/movra/v1/system/auth/login", testsupport::reply(200,
//       R"({"code":0,"data":{"token":"t"}})")},
//       {"/movra/v1/layers/image-quality", testsupport::reply(500, "<html>oops</html>")},
//   });
//   testsupport::Process host(LCDHOST_PATH, {"--device", device.url(), "--user", "u",
//                                            "--password", "p", "set", "--layer", "1"});
//   device.requests();   // every request as it arrived, with its connection's number
//
// An Answer is `bytes` (status line, heads, body, or anything else), then
// `repeat` sent `times` times (kEndless: until the client goes); with
// `pauseMs`, each write of `repeat`, of at most `chunk` bytes, waits that
// long first: a slow device, one byte a second, or a response nobody asked
// for, sent on the idle connection a while after the answer. Then the
// connection is kept for the next request, closed, reset, or held without a
// word until the device goes. A path no row names gets 404.
#pragma once

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <limits>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace testsupport {

constexpr std::size_t kEndless = std::numeric_limits<std::size_t>::max();

struct Answer {
    enum class End { keepAlive, close, reset, hold };
    std::string bytes = {}, repeat = {};
    std::size_t times = 0;
    End end = End::keepAlive;
    int pauseMs = 0;
    std::size_t chunk = 0; // 0: each `repeat` in one write
};

// An HTTP/1.1 response with a Content-Length that tells the truth.
inline Answer reply(int status, const std::string& body, const std::string& heads = "") {
    return {"HTTP/1.1 " + std::to_string(status) + " Scripted\r\nContent-Length: " +
            std::to_string(body.size()) + "\r\n" + heads + "\r\n" + body};
}

// The head of an event stream (no length: it lasts as long as the
// connection), then `events`.
inline std::string eventStream(const std::string& events = ": open\n\n") {
    return "HTTP/1.1 200 OK\r\nContent-Type: text/event-stream\r\n\r\n" + events;
}

class ScriptedDevice {
public:
    struct Request {
        int connection; // the n-th connection accepted, from 1
        std::string head, body;
    };

    explicit ScriptedDevice(std::vector<std::pair<std::string, Answer>> rows) : m_rows(rows) {
        sockaddr_in address{AF_INET, 0, {htonl(INADDR_LOOPBACK)}, {}};
        socklen_t size = sizeof address;
        ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), size);
        ::listen(m_listener, 64);
        ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &size);
        m_url = "http://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
        m_acceptor = std::thread([this] {
            for (int number = 1, fd; (fd = ::accept(m_listener, nullptr, nullptr)) >= 0; ++number)
                locked([&] {
                    m_open.push_back(fd);
                    m_threads.emplace_back([this, fd, number] { serve(fd, number); });
                });
        });
    }
    ~ScriptedDevice() {
        locked([this] {
            m_stopping = true;
            for (int fd : m_open)
                ::shutdown(fd, SHUT_RDWR);
        });
        m_changed.notify_all();
        ::shutdown(m_listener, SHUT_RDWR);
        m_acceptor.join(); // no thread is added after this
        for (std::thread& thread : m_threads)
            thread.join();
        ::close(m_listener);
    }

    const std::string& url() const { return m_url; }
    std::vector<Request> requests() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_requests;
    }
    // Answers sent whole so far.
    int answered() const {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_answered;
    }

private:
    void serve(int fd, int number) {
        std::string pending;
        Request request{number, {}, {}};
        while (!stopping() && read(fd, pending, request)) {
            const std::string path = request.head.substr(request.head.find(' ') + 1);
            Answer answer = reply(404, "");
            for (auto row = m_rows.rbegin(); row != m_rows.rend(); ++row)
                if (path.compare(0, row->first.size(), row->first) == 0)
                    answer = row->second;
            locked([&] { m_requests.push_back(request); });
            bool sent = send(fd, answer.bytes, Answer());
            for (std::size_t i = 0; sent && i < answer.times; ++i)
                sent = send(fd, answer.repeat, answer);
            if (!sent)
                break;
            locked([&] { ++m_answered; });
            if (answer.end == Answer::End::close)
                break;
            if (answer.end == Answer::End::reset) {
                const linger abort{1, 0}; // close with RST
                ::setsockopt(fd, SOL_SOCKET, SO_LINGER, &abort, sizeof abort);
                break;
            }
            if (answer.end == Answer::End::hold)
                pause(std::numeric_limits<int>::max());
        }
        locked([&] { m_open.erase(std::find(m_open.begin(), m_open.end(), fd)); });
        ::close(fd);
    }

    // The next request's head, each line with its CRLF, and body; the
    // clients are libcurl's, which spell Content-Length so.
    static bool read(int fd, std::string& pending, Request& request) {
        char buffer[65536];
        const auto receive = [&] {
            const ssize_t n = ::recv(fd, buffer, sizeof buffer, 0);
            return n > 0 && (pending.append(buffer, static_cast<std::size_t>(n)), true);
        };
        std::size_t end;
        while ((end = pending.find("\r\n\r\n")) == std::string::npos)
            if (!receive())
                return false;
        request.head = pending.substr(0, end + 2);
        const std::size_t length = request.head.find("\r\nContent-Length:");
        const std::size_t size =
            length == std::string::npos ? 0 : std::stoul(request.head.substr(length + 17));
        while (pending.size() < end + 4 + size)
            if (!receive())
                return false;
        request.body = pending.substr(end + 4, size);
        pending.erase(0, end + 4 + size);
        return true;
    }

    bool send(int fd, const std::string& bytes, const Answer& how) {
        for (std::size_t at = 0; at < bytes.size();) {
            if (how.pauseMs && pause(how.pauseMs))
                return false;
            const std::size_t n =
                how.chunk ? std::min(how.chunk, bytes.size() - at) : bytes.size() - at;
            const ssize_t sent = ::send(fd, bytes.data() + at, n, MSG_NOSIGNAL);
            if (sent <= 0)
                return false;
            at += static_cast<std::size_t>(sent);
        }
        return true;
    }
    // Waits `ms`; true when the device is stopping instead.
    bool pause(int ms) {
        std::unique_lock<std::mutex> lock(m_mutex);
        return m_changed.wait_for(lock, std::chrono::milliseconds(ms),
                                  [this] { return m_stopping; });
    }
    bool stopping() { return pause(0); }
    template <typename F>
    void locked(F change) {
        std::lock_guard<std::mutex> lock(m_mutex);
        change();
    }

    const std::vector<std::pair<std::string, Answer>> m_rows;
    const int m_listener = ::socket(AF_INET, SOCK_STREAM, 0);
    std::string m_url;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_stopping = false;
    std::vector<int> m_open;
    std::thread m_acceptor;
    std::vector<std::thread> m_threads;
    std::vector<Request> m_requests;
    int m_answered = 0;
};

} // namespace testsupport
