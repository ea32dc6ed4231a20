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
#include <vector>

#include "bench/layer_samples.h"
#include "bench/layer_schema.h"

namespace bench {
namespace tc {

inline constexpr std::size_t layer_ints = std::tuple_size_v<layer_records::Ints>;

// The text before each of the 25 integers, then the closing braces, made
// once from the record's schema.
struct text_pieces {
    std::vector<std::string> fragments;
    std::string closing;
    std::size_t fixed_bytes = 0;
};

inline void add_record(const record_schema& s, text_pieces& out) {
    out.closing += '{';
    for (std::size_t i = 0; i < s.count; ++i) {
        out.closing += (i ? ",\"" : "\"") + std::string(s.members[i].name) + "\":";
        if (s.members[i].nested) {
            add_record(*s.members[i].nested, out);
        } else {
            out.fragments.push_back(std::move(out.closing));
            out.closing.clear();
        }
    }
    out.closing += '}';
}

inline const text_pieces& pieces() {
    static const text_pieces made = [] {
        text_pieces p;
        add_record(layer_schema, p);
        p.fixed_bytes = p.closing.size();
        for (const std::string& f : p.fragments)
            p.fixed_bytes += f.size();
        return p;
    }();
    return made;
}

inline void encode(std::string& text, const LayerList& layers) {
    const text_pieces& t = pieces();
    const std::size_t per_record = t.fixed_bytes + layer_ints * 11 + 1;
    const std::unique_ptr<char[]> buf(new char[2 + layers.size() * per_record]);
    char* p = buf.get();
    *p++ = '[';
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (i != 0)
            *p++ = ',';
        const layer_records::Ints v = layer_records::ints_of(layers[i]);
        for (std::size_t k = 0; k < layer_ints; ++k) {
            std::memcpy(p, t.fragments[k].data(), t.fragments[k].size());
            p += t.fragments[k].size();
            p = std::to_chars(p, p + 11, v[k]).ptr;
        }
        std::memcpy(p, t.closing.data(), t.closing.size());
        p += t.closing.size();
    }
    *p++ = ']';
    text.assign(buf.get(), static_cast<std::size_t>(p - buf.get()));
}

} // namespace tc
} // namespace bench
