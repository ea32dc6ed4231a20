// Easy handles kept between requests. A handle keeps its connections open
// (keep-alive), so checking one out per request reuses a connection to the
// device whenever one is idle, while each request still has a handle to
// itself and threads never share one. A connection on which the device has
// sent anything while it was idle (an unasked response, or its close) is
// not reused: the next reply read from it would not answer the request.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <vector>

#include <curl/curl.h>

namespace lcdcomm::detail {

class ConnectionPool {
public:
    // Idle handles kept at most; more are closed on return.
    static constexpr std::size_t kMaxIdle = 16;

    static ConnectionPool& instance();

    // A handle, reset to defaults, for one request; null when libcurl has
    // no memory. Give it back with `release`.
    CURL* acquire(std::uint64_t& generation);
    void release(CURL* handle, std::uint64_t generation);

    // Closes the idle handles and marks those in use to be closed when
    // they come back: their connections lead to the old device.
    void drop();

private:
    ConnectionPool();

    struct Idle {
        CURL* handle;
        curl_socket_t socket; // of its last connection, CURL_SOCKET_BAD when closed
    };

    std::mutex m_mutex;
    std::vector<Idle> m_idle;
    std::uint64_t m_generation = 0;
};

// Checks a handle out for the length of a scope.
class PooledHandle {
public:
    PooledHandle() : m_handle(ConnectionPool::instance().acquire(m_generation)) {}
    ~PooledHandle() {
        if (m_handle)
            ConnectionPool::instance().release(m_handle, m_generation);
    }
    PooledHandle(const PooledHandle&) = delete;
    PooledHandle& operator=(const PooledHandle&) = delete;

    CURL* get() const { return m_handle; }

private:
    std::uint64_t m_generation = 0;
    CURL* m_handle;
};

} // namespace lcdcomm::detail
