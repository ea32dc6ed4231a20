// The layer list through nlohmann/json: parse into a json value, then copy
// into the records; for writing, an ordered_json built from the records and
// dumped (ordered so the members keep their record order, as ours do).
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

#include "bench/layer_samples.h"
#include "bench/layer_schema.h"

namespace bench {
namespace nl {

inline void copy_record(const nlohmann::json& obj, const record_schema& s, void* base) {
    for (auto it = obj.begin(); it != obj.end(); ++it) {
        const member_schema* m = find_member(s, it.key());
        if (m == nullptr)
            continue;
        if (m->nested != nullptr) {
            if (it->is_object())
                copy_record(*it, *m->nested, nested_base(base, *m));
        } else if (it->is_number_integer()) {
            slot(base, *m) = static_cast<int>(it->get<std::int64_t>());
        }
    }
}

inline bool copy_list(const nlohmann::json& j, LayerList& out) {
    if (!j.is_array())
        return false;
    for (const auto& e : j) {
        if (!e.is_object())
            return false;
        out.emplace_back();
        copy_record(e, layer_schema, &out.back());
    }
    return true;
}

inline bool decode(const std::string& text, LayerList& out) {
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    return !j.is_discarded() && copy_list(j, out);
}

inline bool decode_report(const std::string& text, LayerList& out) {
    const nlohmann::json j = nlohmann::json::parse(text, nullptr, false);
    if (j.is_discarded() || !j.is_object() || j.value("/tl/ErrorCode"_json_pointer, 0u) != 0u)
        return false;
    const auto body = j.find("body");
    return body != j.end() && body->is_string() && decode(body->get_ref<const std::string&>(), out);
}

inline nlohmann::ordered_json record_json(const record_schema& s, const void* base) {
    nlohmann::ordered_json obj = nlohmann::ordered_json::object();
    for (std::size_t i = 0; i < s.count; ++i) {
        const member_schema& m = s.members[i];
        if (m.nested != nullptr)
            obj.emplace(std::string(m.name), record_json(*m.nested, nested_base(base, m)));
        else
            obj.emplace(std::string(m.name), slot(base, m));
    }
    return obj;
}

inline void encode(std::string& text, const LayerList& layers) {
    nlohmann::ordered_json arr = nlohmann::ordered_json::array();
    for (const Layer& l : layers)
        arr.push_back(record_json(layer_schema, &l));
    text = arr.dump();
}

} // namespace nl
} // namespace bench
