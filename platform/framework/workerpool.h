// A fixed set of threads that run submitted tasks in submission order of
// start (tasks may run at the same time on different threads).
//
//   WorkerPool pool(4);
//   pool.submit([] { ... });   // false once stop() has begun
//   pool.waitIdle();           // until nothing is queued or running
//   pool.stop();               // refuses new tasks, finishes queued ones, joins
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace pqxhost {

class WorkerPool {
public:
    explicit WorkerPool(std::size_t threads);
    ~WorkerPool();
    WorkerPool(const WorkerPool&) = delete;
    WorkerPool& operator=(const WorkerPool&) = delete;

    bool submit(std::function<void()> task);
    void waitIdle();
    void stop();
    std::size_t size() const { return m_threads.size(); }

private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_queue;
    std::size_t m_running = 0;
    std::atomic<std::size_t> m_queued{0}; // m_queue.size(), read without the lock
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

} // namespace pqxhost
