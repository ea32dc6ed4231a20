// Arbitrary bytes through the event-stream parser, whole and in chunks
// whose sizes the input's first byte seeds: the same events and the same
// fault whatever the chunking, and no event's data past its cap.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/communicator/device_limits.h"
#include "platform/framework/eventstreamparser.h"

namespace {

// Each event as name, NUL, data; the fault last. Seed 0: in one piece.
std::vector<std::string> parse(const std::string& text, unsigned seed) {
    const bool whole = seed == 0;
    std::vector<std::string> seen;
    pqxhost::EventStreamParser parser([&](const std::string& event, const std::string& data) {
        if (data.size() > lcdcomm::limits::kEventBytes)
            std::abort();
        seen.push_back(event + '\0' + data);
    });
    for (std::size_t at = 0, n = 0; at < text.size(); at += n) {
        seed = seed * 1103515245u + 12345u;
        n = whole ? text.size() : std::min<std::size_t>(1 + (seed >> 16) % 64, text.size() - at);
        parser.feed(text.data() + at, n);
    }
    seen.push_back(parser.fault());
    return seen;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    if (parse(text, 0) != parse(text, data[0] + 1u))
        std::abort();
    return 0;
}
