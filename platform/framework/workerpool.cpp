#include "platform/framework/workerpool.h"

#include <chrono>

#include "platform/framework/spinwait.h"

namespace pqxhost {

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
        m_queued.fetch_add(1, std::memory_order_release);
    }
    m_wake.notify_one();
    return true;
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
    for (auto& t : m_threads) {
        if (t.joinable() && t.get_id() != std::this_thread::get_id())
            t.join();
    }
    m_threads.clear();
}

void WorkerPool::run() {
    for (;;) {
        std::function<void()> task;
        // Requests often come back to back: a worker that has just finished
        // looks for the next one a little before it sleeps.
        spinUntil([this] { return m_queued.load(std::memory_order_acquire) != 0; },
                  std::chrono::microseconds(30));
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_stopping || !m_queue.empty(); });
            // Queued work is finished even when stopping: a requester may be
            // waiting for its answer.
            if (m_queue.empty())
                return;
            task = std::move(m_queue.front());
            m_queue.pop_front();
            m_queued.fetch_sub(1, std::memory_order_relaxed);
            ++m_running;
        }
        {
            const WorkingScope working;
            task();
        }
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            --m_running;
            if (m_queue.empty() && m_running == 0)
                m_idle.notify_all();
        }
    }
}

} // namespace pqxhost
