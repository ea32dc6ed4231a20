// What several test areas share: the codec's error text, the line of an
// output that holds a text, and a bounded wait.
#pragma once

#include <chrono>
#include <string>
#include <thread>

namespace testsupport {

// The codec's error text for a fault on the first line at column `col`.
inline std::string codec_error(int col, const char* msg) {
    return "error at line :0 col :" + std::to_string(col) + " msg:" + msg;
}

// The line of `text` that holds `part`, without its line break; empty
// when there is none.
inline std::string lineWith(const std::string& text, const std::string& part) {
    const std::size_t at = text.find(part);
    if (at == std::string::npos)
        return "";
    const std::size_t start =
        text.rfind('\n', at) == std::string::npos ? 0 : text.rfind('\n', at) + 1;
    return text.substr(start, text.find('\n', at) - start);
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
