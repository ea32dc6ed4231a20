#include "platform/framework/workerpool.h"

namespace pqxhost {

namespace {

// Deliveries under way on this thread, so that stop() called from inside
// one does not wait for itself.
thread_local std::size_t t_running = 0;

} // namespace

WorkerPool::WorkerPool(std::size_t threads) {
    if (threads == 0)
        threads = 1;
    m_threads.reserve(threads);
    for (std::size_t i = 0; i < threads; ++i)
        m_threads.emplace_back([this] { run(); });
}

WorkerPool::~WorkerPool() {
    stop();
}

bool WorkerPool::submit(std::function<void()> task) {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping)
            return false;
        m_queue.push_back(std::move(task));
    }
    m_wake.notify_one();
    return true;
}

bool WorkerPool::enter() {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_stopping)
        return false;
    ++m_running;
    ++t_running;
    return true;
}

void WorkerPool::leave() {
    --t_running;
    std::lock_guard<std::mutex> lock(m_mutex);
    --m_running;
    if ((m_queue.empty() && m_running == 0) || m_stopping)
        m_idle.notify_all();
}

void WorkerPool::waitIdle() {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_queue.empty() && m_running == 0; });
}

void WorkerPool::stop() {
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_stopping && m_threads.empty())
            return;
        m_stopping = true;
    }
    m_wake.notify_all();
    // Stopped from one of its own tasks, a worker cannot join itself: it is
    // kept for a later stop(), the destructor's, to join.
    std::vector<std::thread> self;
    for (auto& t : m_threads) {
        if (t.get_id() == std::this_thread::get_id())
            self.push_back(std::move(t));
        else if (t.joinable())
            t.join();
    }
    m_threads = std::move(self);
    // What still runs is on callers' threads (this one's own aside).
    std::unique_lock<std::mutex> lock(m_mutex);
    m_idle.wait(lock, [this] { return m_running == t_running; });
}

void WorkerPool::run() {
    for (;;) {
        std::function<void()> task;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            // Queued work is finished even when stopping: a listener may be
            // waiting for it.
            if (m_queue.empty())
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
            ++m_running;
            ++t_running;
        }
        task();
        leave();
    }
}

} // namespace pqxhost
