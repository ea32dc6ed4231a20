#include "simulator/eventhub.h"

#include <algorithm>

namespace LCD {
namespace Sim {

std::shared_ptr<EventHub::Subscriber> EventHub::subscribe() {
    auto s = std::make_shared<Subscriber>();
    std::lock_guard<std::mutex> lock(mutex_);
    subscribers_.push_back(s);
    return s;
}

void EventHub::unsubscribe(const std::shared_ptr<Subscriber>& s) {
    std::lock_guard<std::mutex> lock(mutex_);
    subscribers_.erase(std::remove(subscribers_.begin(), subscribers_.end(), s),
                       subscribers_.end());
}

std::size_t EventHub::publish(const std::string& wire) {
    std::lock_guard<std::mutex> lock(mutex_);
    std::size_t delivered = 0;
    for (auto it = subscribers_.begin(); it != subscribers_.end();) {
        if ((*it)->push(wire)) {
            ++delivered;
            ++it;
        } else {
            (*it)->close();
            it = subscribers_.erase(it);
        }
    }
    return delivered;
}

void EventHub::closeAll() {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto& s : subscribers_)
        s->close();
    subscribers_.clear();
}

std::size_t EventHub::subscriberCount() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return subscribers_.size();
}

EventHub::Subscriber::Next EventHub::Subscriber::take(std::chrono::milliseconds wait,
                                                      std::string& out) {
    std::unique_lock<std::mutex> lock(mutex_);
    ready_.wait_for(lock, wait, [this] { return closed_ || !queue_.empty(); });
    // Events queued before a close are still delivered, then the stream ends.
    if (!queue_.empty()) {
        out.clear();
        for (const auto& e : queue_)
            out += e;
        queue_.clear();
        return Next::Data;
    }
    return closed_ ? Next::Closed : Next::Idle;
}

bool EventHub::Subscriber::push(const std::string& wire) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (closed_)
        return false;
    if (queue_.size() >= kQueueLimit)
        return false;
    queue_.push_back(wire);
    ready_.notify_one();
    return true;
}

void EventHub::Subscriber::close() {
    std::lock_guard<std::mutex> lock(mutex_);
    closed_ = true;
    ready_.notify_all();
}

} // namespace Sim
} // namespace LCD
