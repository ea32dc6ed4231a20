#include "tools/simulator/idleconnections.h"

#include <poll.h>
#include <unistd.h>

#include <chrono>

#include "tools/simulator/limits.h"

namespace LCD {
namespace Sim {

using Clock = std::chrono::steady_clock;

struct IdleConnections::Parked {
    std::unique_ptr<Connection> connection;
    Clock::time_point until;
};

IdleConnections::IdleConnections(Ready ready) : m_ready(std::move(ready)) {
    m_thread = std::thread([this] { run(); });
}

IdleConnections::~IdleConnections() {
    stop();
}

void IdleConnections::park(std::unique_ptr<Connection> c) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return; // closed as it goes
        m_parked.push_back(Parked{std::move(c), Clock::now() + kKeepAlive});
    }
    m_wake.raise();
}

void IdleConnections::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_wake.raise();
    if (m_thread.joinable())
        m_thread.join();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_parked.clear();
}

void IdleConnections::run() {
    std::vector<pollfd> fds;
    for (;;) {
        auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kKeepAlive);
        fds.assign(1, pollfd{m_wake.fd(), POLLIN, 0});
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (m_stopping)
                return;
            const auto now = Clock::now();
            for (std::size_t i = m_parked.size(); i-- > 0;)
                if (m_parked[i].until <= now)
                    m_parked.erase(m_parked.begin() + static_cast<std::ptrdiff_t>(i));
            for (const Parked& p : m_parked) {
                fds.push_back(pollfd{p.connection->socket(), POLLIN, 0});
                timeout = std::min(
                    timeout, std::chrono::duration_cast<std::chrono::milliseconds>(p.until - now) +
                                 std::chrono::milliseconds(1));
            }
        }
        ::poll(fds.data(), fds.size(), static_cast<int>(timeout.count()));
        m_wake.clear();
        std::vector<std::unique_ptr<Connection>> ready;
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            // Connections parked since the poll began sit after the polled ones.
            for (std::size_t k = fds.size(); k-- > 1;) {
                if (!(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                    continue;
                const auto at = m_parked.begin() + static_cast<std::ptrdiff_t>(k - 1);
                ready.push_back(std::move(at->connection));
                m_parked.erase(at);
            }
        }
        // A client that closed is served too: its worker sees the end and closes.
        for (auto& c : ready)
            m_ready(std::move(c));
    }
}

} // namespace Sim
} // namespace LCD
