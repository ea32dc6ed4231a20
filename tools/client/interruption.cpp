#include "tools/client/interruption.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <csignal>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>

namespace lcdclient::interruption {

namespace {

// How often a waiting thread looks at the flag: a signal handler may not
// wake a condition variable, and this keeps the answer to Ctrl-C well
// under a fifth of a second.
constexpr auto kSlice = std::chrono::milliseconds(10);

// An atomic rather than a volatile sig_atomic_t: the signal may land on any
// thread, so the flag is shared between threads as well as with a handler.
std::atomic<bool> g_requested{false};
static_assert(std::atomic<bool>::is_always_lock_free, "the signal handler must not lock");

void onSignal(int) {
    g_requested.store(true);
}

} // namespace

void install() {
    struct sigaction action {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

bool requested() {
    return g_requested.load();
}

bool run(const std::function<void()>& work) {
    // Shared with the thread, which may outlive this call.
    struct Done {
        std::mutex mutex;
        std::condition_variable changed;
        bool done = false;
        std::exception_ptr thrown;
    };
    auto state = std::make_shared<Done>();
    std::thread worker([state, work] {
        std::exception_ptr thrown;
        try {
            work();
        } catch (...) {
            thrown = std::current_exception();
        }
        std::lock_guard<std::mutex> lock(state->mutex);
        state->thrown = thrown;
        state->done = true;
        state->changed.notify_all();
    });
    std::unique_lock<std::mutex> lock(state->mutex);
    while (!state->changed.wait_for(lock, kSlice, [&] { return state->done; })) {
        if (requested()) {
            lock.unlock();
            worker.detach();
            return false;
        }
    }
    lock.unlock();
    worker.join();
    if (state->thrown)
        std::rethrow_exception(state->thrown);
    return true;
}

bool sleep(int ms) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!requested()) {
        const auto now = std::chrono::steady_clock::now();
        if (now >= until)
            return false;
        std::this_thread::sleep_for(
            std::min<std::chrono::steady_clock::duration>(kSlice, until - now));
    }
    return true;
}

} // namespace lcdclient::interruption
