// A fixed set of threads that run submitted tasks in submission order of
// start (tasks may run at the same time on different threads), and the
// account of every delivery under way, its own threads' and those that
// callers run on their own thread.
//
//   WorkerPool pool(4);
//   pool.submit([] { ... });   // false once stop() has begun
//   pool.runHere([] { ... });  // on this thread, counted; false once stopped
//   pool.waitIdle();           // until nothing is queued or running
//   pool.stop();               // refuses new tasks, finishes queued and
//                              // running ones, joins
#pragma once

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
    template <class Task>
    bool runHere(Task&& task);
    void waitIdle();
    void stop();
    std::size_t size() const { return m_threads.size(); }

private:
    bool enter();
    void leave();
    void run();

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::condition_variable m_idle;
    std::deque<std::function<void()>> m_queue;
    std::size_t m_running = 0;
    bool m_stopping = false;
    std::vector<std::thread> m_threads;
};

template <class Task>
bool WorkerPool::runHere(Task&& task) {
    if (!enter())
        return false;
    struct Leave {
        WorkerPool* pool;
        ~Leave() { pool->leave(); }
    } const left{this};
    task();
    return true;
}

} // namespace pqxhost
