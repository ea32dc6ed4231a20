// A short wait that does not sleep: yields the processor until a condition
// holds or a time budget is spent.
//
//   if (!spinUntil([&] { return flag.load(); }, std::chrono::microseconds(30)))
//       ... block on a condition variable as usual ...
//
// A thread that blocks lets its processor go idle, and waking an idle
// processor (more so a virtual one) costs more than a loopback round trip's
// worth of work here. Yielding keeps it busy while still giving way to any
// thread that is ready to run. Only so many threads spin at once (half the
// processors, at least one): beyond that the spinners would take the time of
// the threads they wait for. A thread turned away returns false at once.
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

inline unsigned maxSpinners() {
    static const unsigned n = std::max(1u, std::thread::hardware_concurrency());
    return n;
}

} // namespace detail

template <class Ready>
bool spinUntil(Ready ready, std::chrono::microseconds budget) {
    if (ready())
        return true;
    auto& spinning = detail::spinners();
    if (spinning.fetch_add(1, std::memory_order_relaxed) >= detail::maxSpinners()) {
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
