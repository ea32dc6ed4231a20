// What several test areas share: the codec's error text and a bounded wait.
#pragma once

#include <chrono>
#include <string>
#include <thread>

namespace testsupport {

// The codec's error text for a fault on the first line at column `col`.
inline std::string codec_error(int col, const char* msg) {
    return "error at line :0 col :" + std::to_string(col) + " msg:" + msg;
}

// Waits up to `timeoutMs` for a condition that another thread or process
// brings about; true when it came.
template <typename F>
bool eventually(F condition, int timeoutMs = 5000) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (!condition()) {
        if (std::chrono::steady_clock::now() >= until)
            return condition();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

} // namespace testsupport
