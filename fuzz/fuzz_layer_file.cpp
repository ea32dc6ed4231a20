// Arbitrary bytes through lcdhost's reader of set --file. Beyond the
// sanitizers it checks that a fault is one printable line that names a
// place within the text and leaves the list alone, and that what is read
// writes back as JSON that reads as the same records.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "tools/client/layerjson.h"
#include "tools/client/layersummary.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    lcdclient::LayerList layers, again;
    std::string error;
    if (!lcdclient::readLayers(text, "f", layers, error)) {
        unsigned long line = 0, column = 0;
        const bool placed = std::sscanf(error.c_str(), "f:%lu:%lu: ", &line, &column) == 2;
        const auto lines = static_cast<unsigned long>(std::count(text.begin(), text.end(), '\n'));
        if (!placed || line < 1 || line > lines + 1 || column < 1 || column > size + 1 ||
            !layers.empty() ||
            std::any_of(error.begin(), error.end(), [](char c) { return c >= 0 && c < 0x20; }))
            std::abort();
        return 0;
    }
    std::ostringstream written;
    lcdclient::writeLayersJson(written, layers);
    if (layers.empty() || !lcdclient::readLayers(written.str(), "again", again, error) ||
        again.size() != layers.size() ||
        !std::equal(layers.begin(), layers.end(), again.begin(), lcdclient::sameRecord))
        std::abort();
    return 0;
}
