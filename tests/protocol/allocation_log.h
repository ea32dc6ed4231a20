// Records the sizes of the global operator new calls made while a
// `recording` is alive, to pin how many buffers an encode takes.
//
//   std::vector<std::size_t> sizes;
//   { allocation_log::recording rec(sizes); encode(out, list); }
//
// The replacement operators live in allocation_log.cpp: defined in the same
// translation unit as the code that news and deletes, GCC at -O2 pairs them
// up wrongly and reports a mismatched new/delete.
#pragma once

#include <cstddef>
#include <vector>

namespace allocation_log {

void start(std::vector<std::size_t>& sizes) noexcept;
void stop() noexcept;

class recording {
public:
    explicit recording(std::vector<std::size_t>& sizes) noexcept { start(sizes); }
    ~recording() { stop(); }
    recording(const recording&) = delete;
    recording& operator=(const recording&) = delete;
};

} // namespace allocation_log
