// A short wait that does not sleep: yields the processor until a condition
// holds or a time budget is spent.
//
//   if (!spinUntil([&] { return flag.load(); }, std::chrono::microseconds(30)))
//       ... block on a condition variable as usual ...
//
// A thread that blocks lets its processor go idle, and waking an idle
// processor (more so a virtual one) costs more than a loopback round trip's
// worth of work here. Yielding keeps it busy while still giving way to any
// thread that is ready to run. That pays only while a processor would
// otherwise be idle, so a thread spins only while the spinners and the
// deliveries at work (WorkingScope; each stands for work under way, its own
// or the device's) leave a processor free, and is turned away at once
// (false) otherwise: with the processors busy, a spinner takes the time of
// the threads it waits for.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <sched.h>
#include <thread>

namespace pqxhost {

namespace detail {

inline std::atomic<unsigned>& spinners() {
    static std::atomic<unsigned> count{0};
    return count;
}

inline std::atomic<unsigned>& working() {
    static std::atomic<unsigned> count{0};
    return count;
}

inline unsigned processors() {
    static const unsigned n = std::max(1u, std::thread::hardware_concurrency());
    return n;
}

} // namespace detail

// Marks a delivery at work on this thread for as long as it lives.
class WorkingScope {
public:
    WorkingScope() noexcept { detail::working().fetch_add(1, std::memory_order_relaxed); }
    ~WorkingScope() { detail::working().fetch_sub(1, std::memory_order_relaxed); }
    WorkingScope(const WorkingScope&) = delete;
    WorkingScope& operator=(const WorkingScope&) = delete;
};

template <class Ready>
bool spinUntil(Ready ready, std::chrono::microseconds budget) {
    if (ready())
        return true;
    auto& spinning = detail::spinners();
    const unsigned before = spinning.fetch_add(1, std::memory_order_relaxed);
    if (before + detail::working().load(std::memory_order_relaxed) >= detail::processors()) {
        spinning.fetch_sub(1, std::memory_order_relaxed);
        return false;
    }
    const auto until = std::chrono::steady_clock::now() + budget;
    bool done = false;
    while (!(done = ready()) && std::chrono::steady_clock::now() < until)
        sched_yield();
    spinning.fetch_sub(1, std::memory_order_relaxed);
    return done;
}

} // namespace pqxhost
