#include "tools/simulator/eventframing.h"

#include <cstdio>

namespace LCD {
namespace Sim {

std::string sseEvent(std::string_view data) {
    std::string out = "event: autoreport\n";
    out.reserve(out.size() + data.size() + 8);
    std::size_t from = 0;
    for (;;) {
        const std::size_t nl = data.find('\n', from);
        out += "data: ";
        out += data.substr(from, nl == std::string_view::npos ? std::string_view::npos : nl - from);
        out += '\n';
        if (nl == std::string_view::npos)
            break;
        from = nl + 1;
    }
    out += '\n';
    return out;
}

std::string chunk(std::string_view bytes) {
    char size[24];
    const int n = std::snprintf(size, sizeof size, "%zx\r\n", bytes.size());
    std::string out;
    out.reserve(static_cast<std::size_t>(n) + bytes.size() + 2);
    out.append(size, static_cast<std::size_t>(n)).append(bytes).append("\r\n");
    return out;
}

} // namespace Sim
} // namespace LCD
