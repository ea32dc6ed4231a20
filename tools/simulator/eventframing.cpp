#include "tools/simulator/eventframing.h"

#include <algorithm>
#include <cstdio>

namespace LCD {
namespace Sim {
namespace {

std::string chunkHead(std::size_t size) {
    char head[24];
    const int n = std::snprintf(head, sizeof head, "%zx\r\n", size);
    return std::string(head, static_cast<std::size_t>(n));
}

} // namespace

std::string eventChunk(std::string_view data) {
    constexpr std::string_view kind = "event: autoreport\n", line = "data: ";
    const auto breaks = static_cast<std::size_t>(std::count(data.begin(), data.end(), '\n'));
    // Each line break becomes the end of a data line and the start of the next.
    const std::size_t size = kind.size() + line.size() + data.size() + breaks * line.size() + 2;
    std::string out = chunkHead(size);
    out.reserve(out.size() + size + 2);
    out.append(kind).append(line);
    for (const char c : data) {
        out += c;
        if (c == '\n')
            out.append(line);
    }
    return out.append("\n\n\r\n");
}

std::string chunk(std::string_view bytes) {
    return chunkHead(bytes.size()).append(bytes).append("\r\n");
}

} // namespace Sim
} // namespace LCD
