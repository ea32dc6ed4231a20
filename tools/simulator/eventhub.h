// Fan-out of auto-report events to the subscribers of the event stream.
//
// Each subscriber has its own queue. An event is put on every queue under
// one lock, so every subscriber sees all events in the same order. A queue
// holds at most kQueueLimit events: a subscriber that falls that far behind
// is closed (its stream ends) instead of silently losing events, so its
// client reconnects and knows it may have missed some.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace LCD {
namespace Sim {

class EventHub {
public:
    static constexpr std::size_t kQueueLimit = 4096;

    class Subscriber;

    // Registers a new subscriber; it receives every event published after this.
    std::shared_ptr<Subscriber> subscribe();
    void unsubscribe(const std::shared_ptr<Subscriber>& s);

    // Queues one event (already in its wire form) for every subscriber.
    // Returns the number of subscribers it was queued for.
    std::size_t publish(const std::string& wire);

    // Ends every open stream; their subscribers are removed.
    void closeAll();

    std::size_t subscriberCount() const;

private:
    mutable std::mutex m_mutex;
    std::vector<std::shared_ptr<Subscriber>> m_subscribers;
};

class EventHub::Subscriber {
public:
    enum class Next { Data, Idle, Closed };

    // Waits up to `wait` for queued events. Data: `out` holds them all,
    // concatenated. Idle: nothing came. Closed: the stream is to end.
    Next take(std::chrono::milliseconds wait, std::string& out);

private:
    friend class EventHub;
    bool push(const std::string& wire); // false when the queue overflowed
    void close();

    std::mutex m_mutex;
    std::condition_variable m_ready;
    std::deque<std::string> m_queue;
    bool m_closed = false;
};

} // namespace Sim
} // namespace LCD
