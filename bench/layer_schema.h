// The layer records described as data for the peer codecs: per record type
// its member names, and for each member either an int at an offset or a
// nested record at an offset, built once from the tools' table of a layer's
// settings. The peers walk these tables the way a user of a general JSON
// library would write the mapping once and reuse it.
//
//   find_member(schema, key)   the member named key, or nullptr
//   slot(base, member)         the int a leaf member names
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <deque>
#include <string_view>
#include <vector>

#include "tools/common/layersettings.h"

namespace bench {

struct record_schema;

struct member_schema {
    std::string_view name;
    std::size_t offset;
    const record_schema* nested; // nullptr for an int
};

struct record_schema {
    const member_schema* members;
    std::size_t count;
};

namespace schema_detail {

struct level {
    std::vector<member_schema> members;
    record_schema schema{};
};

// The levels of the record from the tools' table of settings, whose dotted
// names are the members' paths below "imageQuality": each name part is a
// member of the level above, at its offset from that level's start.
inline const record_schema& build() {
    using Record = lcdtools::LayerRecord;
    static std::deque<level> levels; // a deque keeps the levels where they are
    level& top = levels.emplace_back();
    level& quality = levels.emplace_back();
    top.members = {{"layerId", offsetof(Record, layerId), nullptr},
                   {"imageQuality", offsetof(Record, imageQuality), &quality.schema}};
    Record record;
    const auto start = reinterpret_cast<const char*>(&record.imageQuality);
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
        const std::size_t at =
            static_cast<std::size_t>(reinterpret_cast<const char*>(&setting.of(record)) - start);
        level* parent = &quality;
        std::size_t base = 0;
        std::string_view name = setting.name;
        for (std::size_t dot; (dot = name.find('.')) != std::string_view::npos;
             name.remove_prefix(dot + 1)) {
            const std::string_view part = name.substr(0, dot);
            auto m = std::find_if(parent->members.begin(), parent->members.end(),
                                  [&](const member_schema& x) { return x.name == part; });
            if (m == parent->members.end()) {
                // A nested record starts with its first int, which comes first.
                level& inner = levels.emplace_back();
                parent->members.push_back({part, at - base, &inner.schema});
                m = parent->members.end() - 1;
            }
            base += m->offset;
            parent = &*std::find_if(levels.begin(), levels.end(),
                                    [&](const level& l) { return &l.schema == m->nested; });
        }
        parent->members.push_back({name, at - base, nullptr});
    }
    for (level& l : levels)
        l.schema = {l.members.data(), l.members.size()};
    return top.schema;
}

} // namespace schema_detail

inline const record_schema& layer_schema = schema_detail::build();

inline const member_schema* find_member(const record_schema& s, std::string_view key) noexcept {
    for (std::size_t i = 0; i < s.count; ++i)
        if (s.members[i].name == key)
            return &s.members[i];
    return nullptr;
}

inline int& slot(void* base, const member_schema& m) noexcept {
    return *reinterpret_cast<int*>(static_cast<char*>(base) + m.offset);
}
inline const int& slot(const void* base, const member_schema& m) noexcept {
    return *reinterpret_cast<const int*>(static_cast<const char*>(base) + m.offset);
}
inline void* nested_base(void* base, const member_schema& m) noexcept {
    return static_cast<char*>(base) + m.offset;
}
inline const void* nested_base(const void* base, const member_schema& m) noexcept {
    return static_cast<const char*>(base) + m.offset;
}

} // namespace bench
