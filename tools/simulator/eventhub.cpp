#include "tools/simulator/eventhub.h"

#include <algorithm>

namespace LCD {
namespace Sim {

std::shared_ptr<EventHub::Subscriber> EventHub::subscribe() {
    auto s = std::make_shared<Subscriber>();
    std::lock_guard<std::mutex> lock(m_mutex);
    m_subscribers.push_back(s);
    return s;
}

void EventHub::unsubscribe(const std::shared_ptr<Subscriber>& s) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_subscribers.erase(std::remove(m_subscribers.begin(), m_subscribers.end(), s),
                        m_subscribers.end());
}

std::size_t EventHub::publish(const std::string& wire) {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::size_t delivered = 0;
    for (auto it = m_subscribers.begin(); it != m_subscribers.end();) {
        if ((*it)->push(wire)) {
            ++delivered;
            ++it;
        } else {
            (*it)->close();
            it = m_subscribers.erase(it);
        }
    }
    return delivered;
}

void EventHub::closeAll() {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (auto& s : m_subscribers)
        s->close();
    m_subscribers.clear();
}

std::size_t EventHub::subscriberCount() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_subscribers.size();
}

EventHub::Subscriber::Next EventHub::Subscriber::take(std::chrono::milliseconds wait,
                                                      std::string& out) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_ready.wait_for(lock, wait, [this] { return m_closed || !m_queue.empty(); });
    // Events queued before a close are still delivered, then the stream ends.
    if (!m_queue.empty()) {
        out.clear();
        for (const auto& e : m_queue)
            out += e;
        m_queue.clear();
        return Next::Data;
    }
    return m_closed ? Next::Closed : Next::Idle;
}

bool EventHub::Subscriber::push(const std::string& wire) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_closed)
        return false;
    if (m_queue.size() >= kQueueLimit)
        return false;
    m_queue.push_back(wire);
    m_ready.notify_one();
    return true;
}

void EventHub::Subscriber::close() {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_closed = true;
    m_ready.notify_all();
}

} // namespace Sim
} // namespace LCD
