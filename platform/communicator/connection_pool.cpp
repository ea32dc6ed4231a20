#include "platform/communicator/connection_pool.h"

#include <curl/curl.h>
#include <poll.h>

namespace lcdcomm::detail {

ConnectionPool& ConnectionPool::instance() {
    // Never destroyed, like the handles in it: a request may still be
    // running on another thread while the process exits.
    static ConnectionPool* pool = new ConnectionPool();
    return *pool;
}

ConnectionPool::ConnectionPool() {
    // Runs once, before any handle exists.
    curl_global_init(CURL_GLOBAL_DEFAULT);
}

namespace {

// Readable, closed or failed: anything but quiet.
bool heldBytes(curl_socket_t socket) {
    pollfd idle{socket, POLLIN, 0};
    return socket != CURL_SOCKET_BAD && ::poll(&idle, 1, 0) != 0;
}

} // namespace

CURL* ConnectionPool::acquire(std::uint64_t& generation) {
    for (;;) {
        Idle idle{};
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            generation = m_generation;
            if (m_idle.empty())
                break;
            idle = m_idle.back();
            m_idle.pop_back();
        }
        if (!heldBytes(idle.socket))
            return idle.handle;
        curl_easy_cleanup(idle.handle);
    }
    return curl_easy_init();
}

void ConnectionPool::release(CURL* handle, std::uint64_t generation) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK)
        socket = CURL_SOCKET_BAD;
    // Forget the last request's options (they point into its buffers) but
    // keep the open connections.
    curl_easy_reset(handle);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation == m_generation && m_idle.size() < kMaxIdle) {
            try {
                m_idle.push_back({handle, socket});
                return;
            } catch (...) {
                // No room to keep it: close it below.
            }
        }
    }
    curl_easy_cleanup(handle);
}

void ConnectionPool::drop() {
    std::vector<Idle> closing;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        closing.swap(m_idle);
    }
    for (const Idle& idle : closing)
        curl_easy_cleanup(idle.handle);
}

} // namespace lcdcomm::detail
