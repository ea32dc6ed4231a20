// The layer list through simdjson's on-demand API straight into the
// records. The input must be followed by simdjson's padding: the benchmark
// texts are held with that much spare capacity, so nothing is copied.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include <simdjson.h>

#include "bench/layer_samples.h"
#include "bench/layer_schema.h"

namespace bench {
namespace sj {

namespace od = simdjson::ondemand;

// A copy of text with the padding simdjson reads past the end.
inline std::string padded(const std::string& text) {
    std::string s;
    s.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    s = text;
    return s;
}

inline bool read_record(od::object obj, const record_schema& s, void* base) {
    for (auto field : obj) {
        std::string_view key;
        if (field.unescaped_key().get(key))
            return false;
        const member_schema* m = find_member(s, key);
        if (m == nullptr)
            continue; // the value is skipped when the loop moves on
        od::value v;
        if (field.value().get(v))
            return false;
        if (m->nested != nullptr) {
            od::object inner;
            if (v.get_object().get(inner) || !read_record(inner, *m->nested, nested_base(base, *m)))
                return false;
        } else {
            std::int64_t n = 0;
            if (v.get_int64().get(n))
                return false;
            slot(base, *m) = static_cast<int>(n);
        }
    }
    return true;
}

inline bool read_list(od::parser& parser, const std::string& text, LayerList& out) {
    od::document doc;
    if (parser.iterate(simdjson::padded_string_view(text.data(), text.size(), text.capacity()))
            .get(doc))
        return false;
    od::array arr;
    if (doc.get_array().get(arr))
        return false;
    for (auto element : arr) {
        od::object obj;
        if (element.get_object().get(obj))
            return false;
        out.emplace_back();
        if (!read_record(obj, layer_schema, &out.back()))
            return false;
    }
    return true;
}

// The parser keeps its buffers between documents, as a user would keep one.
inline bool decode(od::parser& parser, const std::string& padded_text, LayerList& out) {
    return read_list(parser, padded_text, out);
}

inline bool decode_report(od::parser& parser, const std::string& padded_text, LayerList& out) {
    std::string body;
    {
        od::document doc;
        if (parser
                .iterate(simdjson::padded_string_view(padded_text.data(), padded_text.size(),
                                                      padded_text.capacity()))
                .get(doc))
            return false;
        od::object obj;
        if (doc.get_object().get(obj))
            return false;
        for (auto field : obj) {
            std::string_view key;
            if (field.unescaped_key().get(key))
                return false;
            if (key == "tl") {
                std::uint64_t code = 0;
                auto c = field.value().find_field_unordered("ErrorCode");
                if (c.error() == simdjson::SUCCESS && (c.get_uint64().get(code) || code != 0))
                    return false;
            } else if (key == "body") {
                std::string_view b;
                if (field.value().get_string().get(b))
                    return false;
                body.reserve(b.size() + simdjson::SIMDJSON_PADDING);
                body.assign(b.data(), b.size());
            }
        }
    }
    return read_list(parser, body, out);
}

} // namespace sj
} // namespace bench
