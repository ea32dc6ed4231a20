// A hand-written writer for the layer list: the fixed text between the
// numbers as literal blocks, the numbers by std::to_chars, into one string
// buffer sized for the longest possible output, copied into the string as
// ours is. It writes the same bytes as ours
// and is what this output costs at the least.
#pragma once

#include <charconv>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <tuple>

#include "bench/layer_samples.h"

namespace bench {
namespace tc {

inline constexpr std::size_t layer_ints = std::tuple_size_v<layer_records::Ints>;

// The text before each of the 25 integers, then the closing braces.
inline constexpr std::string_view fragments[layer_ints] = {
    "{\"layerId\":",
    ",\"imageQuality\":{\"imageQualityMode\":",
    ",\"eyeCare\":",
    ",\"hue\":",
    ",\"saturation\":",
    ",\"gamma\":",
    ",\"contrast\":{\"R\":",
    ",\"G\":",
    ",\"B\":",
    "},\"brightness\":{\"R\":",
    ",\"G\":",
    ",\"B\":",
    "},\"shadow\":{\"R\":",
    ",\"G\":",
    ",\"B\":",
    ",\"W\":",
    "},\"highLight\":{\"R\":",
    ",\"G\":",
    ",\"B\":",
    ",\"W\":",
    "},\"colorTemperature\":{\"mode\":",
    ",\"quickAdjust\":{\"value\":",
    "},\"advanceAdjust\":{\"R\":",
    ",\"G\":",
    ",\"B\":",
};
inline constexpr std::string_view closing =
    "}}}}"; // advanceAdjust, colorTemperature, imageQuality, the element

constexpr std::size_t fixed_bytes() noexcept {
    std::size_t n = closing.size();
    for (const std::string_view f : fragments)
        n += f.size();
    return n;
}

inline void encode(std::string& text, const LayerList& layers) {
    constexpr std::size_t per_record = fixed_bytes() + layer_ints * 11 + 1;
    const std::unique_ptr<char[]> buf(new char[2 + layers.size() * per_record]);
    char* p = buf.get();
    *p++ = '[';
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (i != 0)
            *p++ = ',';
        const layer_records::Ints v = layer_records::ints_of(layers[i]);
        for (std::size_t k = 0; k < layer_ints; ++k) {
            std::memcpy(p, fragments[k].data(), fragments[k].size());
            p += fragments[k].size();
            p = std::to_chars(p, p + 11, v[k]).ptr;
        }
        std::memcpy(p, closing.data(), closing.size());
        p += closing.size();
    }
    *p++ = ']';
    text.assign(buf.get(), static_cast<std::size_t>(p - buf.get()));
}

} // namespace tc
} // namespace bench
