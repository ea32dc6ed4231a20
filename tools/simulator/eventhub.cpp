#include "tools/simulator/eventhub.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <deque>

#include "tools/simulator/eventframing.h"
#include "tools/simulator/limits.h"

namespace LCD {
namespace Sim {

using Clock = std::chrono::steady_clock;
using Chunk = std::shared_ptr<const std::string>;

namespace {

// What a stream's last bytes may take once the simulator stops.
constexpr std::chrono::seconds kStopGrace{1};

const Chunk& framed(std::string_view comment) {
    static const Chunk open = std::make_shared<const std::string>(chunk(kStreamOpen));
    static const Chunk ping = std::make_shared<const std::string>(chunk(kPing));
    static const Chunk last = std::make_shared<const std::string>(kLastChunk);
    return comment == kStreamOpen ? open : comment == kPing ? ping : last;
}

} // namespace

struct EventHub::Stream {
    int fd = -1; // until attached
    std::string peer;
    std::deque<Chunk> queue;
    std::size_t offset = 0; // of queue.front(), written
    bool ending = false, lastQueued = false, closed = false;
    const char* why = nullptr;
    Clock::time_point lastWrite = Clock::now();
    std::size_t reports = 0, bytesOut = 0;
};

EventHub::EventHub(std::size_t maxStreams, EndCallback onEnd)
    : m_maxStreams(maxStreams), m_onEnd(std::move(onEnd)) {
    m_thread = std::thread([this] { run(); });
}

EventHub::~EventHub() {
    stop();
}

EventHub::Slot EventHub::reserve() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping || m_streams.size() >= m_maxStreams)
        return nullptr;
    auto s = std::make_shared<Stream>();
    s->queue.push_back(framed(kStreamOpen));
    m_streams.push_back(s);
    return s;
}

void EventHub::attach(const Slot& slot, int fd, const std::string& peer) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (!slot->closed) {
            slot->fd = fd;
            slot->peer = peer;
            slot->lastWrite = Clock::now();
            fd = -1;
        }
    }
    if (fd >= 0)
        ::close(fd); // the stream ended before its connection came
    m_wake.raise();
}

void EventHub::cancel(const Slot& slot) {
    std::lock_guard<std::mutex> lock(m_mutex);
    slot->closed = true;
    m_streams.erase(std::remove(m_streams.begin(), m_streams.end(), slot), m_streams.end());
}

std::size_t EventHub::publish(std::string text) {
    const Chunk event = std::make_shared<const std::string>(std::move(text));
    std::size_t queued = 0;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (std::size_t i = m_streams.size(); i-- > 0;) {
            Stream& s = *m_streams[i];
            if (s.ending)
                continue;
            if (s.queue.size() >= kQueueLimit) {
                end(i, "too far behind");
                continue;
            }
            s.queue.push_back(event);
            ++s.reports;
            ++queued;
        }
    }
    m_wake.raise();
    return queued;
}

void EventHub::closeAll() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        for (const Slot& s : m_streams)
            if (!s->ending) {
                s->ending = true;
                s->why = m_stopping ? "the simulator stopped" : "dropped by the device";
            }
    }
    m_wake.raise();
}

void EventHub::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    closeAll();
    if (m_thread.joinable())
        m_thread.join();
}

std::size_t EventHub::subscriberCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<std::size_t>(std::count_if(m_streams.begin(), m_streams.end(),
                                                  [](const Slot& s) { return !s->ending; }));
}

void EventHub::end(std::size_t index, const char* why) {
    const Slot s = m_streams[index];
    m_streams.erase(m_streams.begin() + static_cast<std::ptrdiff_t>(index));
    s->closed = true;
    if (s->fd < 0)
        return;
    ::close(s->fd);
    if (m_onEnd)
        m_onEnd(s->peer + " ended: " + std::to_string(s->reports) + " reports, " +
                std::to_string(s->bytesOut) + " bytes out; " + why);
}

bool EventHub::flush(Stream& s) {
    while (!s.queue.empty()) {
        const std::string& front = *s.queue.front();
        const ssize_t n = ::send(s.fd, front.data() + s.offset, front.size() - s.offset,
                                 MSG_NOSIGNAL | MSG_DONTWAIT);
        if (n < 0)
            return errno == EAGAIN || errno == EINTR;
        s.offset += static_cast<std::size_t>(n);
        s.bytesOut += static_cast<std::size_t>(n);
        s.lastWrite = Clock::now();
        if (s.offset == front.size()) {
            s.queue.pop_front();
            s.offset = 0;
        }
    }
    return true;
}

void EventHub::run() {
    std::vector<pollfd> fds;
    std::vector<Slot> polled;
    Clock::time_point giveUp = Clock::time_point::max();
    for (;;) {
        auto timeout = std::chrono::duration_cast<std::chrono::milliseconds>(kPingInterval);
        fds.assign(1, pollfd{m_wake.fd(), POLLIN, 0});
        polled.clear();
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            const auto now = Clock::now();
            if (m_stopping && giveUp == Clock::time_point::max())
                giveUp = now + kStopGrace;
            if (m_stopping && (m_streams.empty() || now >= giveUp)) {
                while (!m_streams.empty())
                    end(m_streams.size() - 1, "the simulator stopped");
                return;
            }
            for (std::size_t i = m_streams.size(); i-- > 0;) {
                Stream& s = *m_streams[i];
                if (s.fd < 0)
                    continue;
                if (!s.ending && s.queue.empty() && now - s.lastWrite >= kPingInterval)
                    s.queue.push_back(framed(kPing));
                if (s.ending && s.queue.empty() && !s.lastQueued) {
                    s.queue.push_back(framed(kLastChunk));
                    s.lastQueued = true;
                }
                if (!flush(s)) {
                    end(i, "the connection failed");
                    continue;
                }
                if (!s.queue.empty() && now - s.lastWrite > kWriteTimeout) {
                    end(i, "the client stopped reading");
                    continue;
                }
                if (s.lastQueued && s.queue.empty()) {
                    end(i, s.why);
                    continue;
                }
                fds.push_back(
                    pollfd{s.fd, static_cast<short>(POLLIN | (s.queue.empty() ? 0 : POLLOUT)), 0});
                polled.push_back(m_streams[i]);
                if (s.queue.empty())
                    timeout =
                        std::min(timeout, std::chrono::duration_cast<std::chrono::milliseconds>(
                                              s.lastWrite + kPingInterval - now) +
                                              std::chrono::milliseconds(1));
            }
            if (m_stopping)
                timeout = std::min(timeout, std::chrono::milliseconds(50));
        }
        ::poll(fds.data(), fds.size(), static_cast<int>(std::max<long long>(timeout.count(), 0)));
        m_wake.clear();
        std::lock_guard<std::mutex> lock(m_mutex);
        for (std::size_t k = 1; k < fds.size(); ++k) {
            Stream& s = *polled[k - 1];
            if (s.closed || !(fds[k].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            // A client says nothing on its stream: whatever comes is read
            // away, and the end of its input is the end of the stream.
            char scrap[512];
            const ssize_t got = ::recv(s.fd, scrap, sizeof scrap, MSG_DONTWAIT);
            if (got == 0 || (got < 0 && errno != EAGAIN && errno != EINTR)) {
                const auto at = std::find(m_streams.begin(), m_streams.end(), polled[k - 1]);
                end(static_cast<std::size_t>(at - m_streams.begin()), "closed by the client");
            }
        }
    }
}

} // namespace Sim
} // namespace LCD
