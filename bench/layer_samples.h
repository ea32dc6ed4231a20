// The inputs every benchmark works on: lists of layer records with varied
// values, their text as our encoder writes it, an auto-report around such a
// list, and a field-by-field comparison of two lists.
//
//   sample_layers(n)          n records, values near the device's defaults,
//                             some negative, a few wide
//   layer_text(n)             encode(sample_layers(n)), the reference bytes
//   auto_report_text(layers)  an envelope whose "body" string holds the list
//   same_records(a, b)        all 25 integers of every record equal
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/support/layer_records.h"

namespace bench {

using Layer = layer_records::Layer;
using LayerList = layer_records::List;
using layer_records::same_records;

inline LayerList sample_layers(std::size_t n) {
    LayerList out(n);
    std::uint32_t seed = 12345;
    for (std::size_t i = 0; i < n; ++i) {
        layer_records::Ints v = layer_records::ints_of(Layer{});
        v[0] = static_cast<int>(i);
        for (std::size_t k = 1; k < v.size(); ++k) {
            seed = seed * 1103515245u + 12345u;
            const int jitter = static_cast<int>((seed >> 16) % 41u) - 20;
            v[k] += jitter;
        }
        // A few values far outside the device's ranges, both signs.
        if (i % 7 == 3)
            v[2] = -2147483647 - 1;
        if (i % 11 == 5)
            v[6] = 2147483647;
        out[i] = layer_records::layer_of(v);
    }
    return out;
}

inline std::string layer_text(const LayerList& layers) {
    std::string text;
    LCD::ProtoModel::encode(text, layers);
    return text;
}

// The list text as a JSON string member: quotes and backslashes escaped.
inline std::string auto_report_text(const LayerList& layers) {
    const std::string body = layer_text(layers);
    std::string text = "{\"source\":\"lcd-device\",\"seq\":17,\"sn\":\"SN-0042\","
                       "\"tl\":{\"CommandCode\":528653,\"ErrorCode\":0,\"UserDataLength\":";
    text += std::to_string(body.size());
    text += "},\"body\":\"";
    for (const char c : body) {
        if (c == '"' || c == '\\')
            text += '\\';
        text += c;
    }
    text += "\"}";
    return text;
}

} // namespace bench
