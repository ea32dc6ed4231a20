#include "platform/communicator/connection_pool.h"

#include <curl/curl.h>

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

CURL* ConnectionPool::acquire(std::uint64_t& generation) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        generation = m_generation;
        if (!m_idle.empty()) {
            CURL* handle = m_idle.back();
            m_idle.pop_back();
            return handle;
        }
    }
    return curl_easy_init();
}

void ConnectionPool::release(CURL* handle, std::uint64_t generation) {
    // Forget the last request's options (they point into its buffers) but
    // keep the open connections.
    curl_easy_reset(handle);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (generation == m_generation && m_idle.size() < kMaxIdle) {
            try {
                m_idle.push_back(handle);
                return;
            } catch (...) {
                // No room to keep it: close it below.
            }
        }
    }
    curl_easy_cleanup(handle);
}

void ConnectionPool::drop() {
    std::vector<CURL*> closing;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        ++m_generation;
        closing.swap(m_idle);
    }
    for (CURL* handle : closing)
        curl_easy_cleanup(handle);
}

} // namespace lcdcomm::detail
