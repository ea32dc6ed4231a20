#include "tools/simulator/connection.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "tools/simulator/limits.h"

namespace LCD {
namespace Sim {
namespace {

thread_local Connection* t_current = nullptr;

// A refused request may still be arriving: read it away for this long so
// that the client reads the refusal instead of a reset connection.
constexpr std::chrono::seconds kLinger{2};

void addressOf(const sockaddr_storage& a, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = "";
    if (a.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

} // namespace

Connection::Connection(int fd, const std::atomic<bool>& stopping)
    : m_fd(fd), m_stopping(stopping) {}

Connection::~Connection() {
    if (m_fd >= 0)
        ::close(m_fd);
}

Connection* Connection::current() {
    return t_current;
}

Connection::Serving::Serving(Connection& c) {
    t_current = &c;
}

Connection::Serving::~Serving() {
    t_current = nullptr;
}

void Connection::abort() {
    ::shutdown(m_fd, SHUT_RDWR);
    m_closeAfterReply = true;
}

void Connection::beginRequest() {
    ++m_exchanges;
    m_headDone = m_headTooLarge = m_lineIsCr = m_closeAfterReply = false;
    m_headIn = m_lineIn = m_lines = m_bodyIn = m_out = m_headOut = 0;
    m_take = nullptr;
    m_cancel = nullptr;
    m_headIsOut = false;
    m_request.clear();
    m_status = 0;
}

bool Connection::inputWithin(std::chrono::milliseconds wait) {
    return m_begin < m_end || waitFor(POLLIN, wait);
}

void Connection::handOverAfterHead(httplib::Response& res, const char* contentType, Take take,
                                   std::function<void()> cancel) {
    m_take = std::move(take);
    m_cancel = std::move(cancel);
    // The server calls the body's provider once the head is out; refusing
    // to give a body ends its part in the exchange, and the socket is free
    // to go.
    res.set_chunked_content_provider(contentType, [this](std::size_t, httplib::DataSink&) {
        m_headIsOut = true;
        return false;
    });
}

bool Connection::finishHandover() {
    if (!m_take)
        return false;
    if (!m_headIsOut) {
        m_cancel();
        return false;
    }
    const std::string from = peer();
    const int fd = m_fd;
    m_fd = -1;
    m_take(fd, from);
    return true;
}

void Connection::closeGracefully() {
    ::shutdown(m_fd, SHUT_WR);
    const auto until = std::chrono::steady_clock::now() + kLinger;
    char sink[16384];
    while (std::chrono::steady_clock::now() < until &&
           waitFor(POLLIN, std::chrono::duration_cast<std::chrono::milliseconds>(
                               until - std::chrono::steady_clock::now())))
        if (::recv(m_fd, sink, sizeof sink, 0) <= 0)
            break;
}

void Connection::writeRaw(const std::string& bytes) {
    write(bytes.data(), bytes.size());
}

std::string Connection::peer() const {
    std::string ip;
    int port = 0;
    get_remote_ip_and_port(ip, port);
    return (ip.find(':') != std::string::npos ? "[" + ip + "]" : ip) + ":" + std::to_string(port);
}

bool Connection::waitFor(short events, std::chrono::milliseconds limit) const {
    const auto until = std::chrono::steady_clock::now() + limit;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            until - std::chrono::steady_clock::now());
        pollfd p{m_fd, events, 0};
        const int ready =
            ::poll(&p, 1, static_cast<int>(std::clamp<long long>(left.count(), 0, 100)));
        if (ready > 0)
            return true;
        if ((ready < 0 && errno != EINTR) || left.count() <= 0 || m_stopping)
            return false;
    }
}

// Follows the request head as it is read: it ends with an empty line, and
// neither it nor one of its header lines may grow past its limit.
void Connection::countHead(const char* data, std::size_t n, std::size_t& bodyPart) {
    for (std::size_t i = 0; i < n; ++i) {
        if (m_headDone) {
            bodyPart = n - i;
            return;
        }
        if (++m_headIn > kMaxHeadBytes) {
            m_headTooLarge = true;
            return;
        }
        if (data[i] == '\n') {
            m_headDone = m_lineIsCr;
            ++m_lines;
            m_lineIn = 0;
            m_lineIsCr = false;
            continue;
        }
        m_lineIsCr = ++m_lineIn == 1 && data[i] == '\r';
        if (m_lines > 0 && m_lineIn > kMaxHeaderLineBytes) {
            m_headTooLarge = true;
            return;
        }
    }
}

bool Connection::is_readable() const {
    return m_begin < m_end ||
           waitFor(POLLIN, std::chrono::duration_cast<std::chrono::milliseconds>(kReadTimeout));
}

bool Connection::is_writable() const {
    return waitFor(POLLOUT, std::chrono::duration_cast<std::chrono::milliseconds>(kWriteTimeout));
}

ssize_t Connection::read(char* ptr, size_t size) {
    if (m_headTooLarge)
        return -1;
    if (m_begin == m_end) {
        if (!is_readable())
            return -1;
        const ssize_t got = ::recv(m_fd, m_buffer, sizeof m_buffer, 0);
        if (got <= 0)
            return got < 0 ? -1 : 0;
        m_begin = 0;
        m_end = static_cast<std::size_t>(got);
    }
    const std::size_t n = std::min(size, m_end - m_begin);
    std::size_t bodyPart = n;
    if (!m_headDone) {
        bodyPart = 0;
        countHead(m_buffer + m_begin, n, bodyPart);
        if (m_headTooLarge)
            return -1;
    }
    m_bodyIn += bodyPart;
    std::memcpy(ptr, m_buffer + m_begin, n);
    m_begin += n;
    return static_cast<ssize_t>(n);
}

ssize_t Connection::write(const char* ptr, size_t size) {
    // The interim answer to "Expect: 100-continue" is no part of the answer.
    const bool interim = m_out == 0 && size >= 12 && std::memcmp(ptr, "HTTP/1.1 100", 12) == 0;
    std::size_t sent = 0;
    while (sent < size) {
        if (!is_writable())
            return -1;
        const ssize_t n = ::send(m_fd, ptr + sent, size - sent, MSG_NOSIGNAL);
        if (n < 0) {
            if (errno == EINTR || errno == EAGAIN)
                continue;
            return -1;
        }
        sent += static_cast<std::size_t>(n);
    }
    if (interim)
        return static_cast<ssize_t>(size);
    if (m_out == 0)
        m_headOut = size;
    m_out += size;
    return static_cast<ssize_t>(size);
}

void Connection::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (::getpeername(m_fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        addressOf(a, ip, port);
}

void Connection::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (::getsockname(m_fd, reinterpret_cast<sockaddr*>(&a), &length) == 0)
        addressOf(a, ip, port);
}

} // namespace Sim
} // namespace LCD
