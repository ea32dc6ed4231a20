// The layer records described as data for the peer codecs: per record type
// its member names, and for each member either an int at an offset or a
// nested record at an offset. The peers walk these tables the way a user of
// a general JSON library would write the mapping once and reuse it.
//
//   find_member(schema, key)   the member named key, or nullptr
//   slot(base, member)         the int a leaf member names
#pragma once

#include <cstddef>
#include <cstring>
#include <string_view>

#include "protocol/layerimagequality.h"

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

using namespace LCD::ProtoModel;
using namespace LCD::ProtoModel::Layer;

inline constexpr member_schema rgb_members[] = {
    {"R", offsetof(s_RGB, R), nullptr},
    {"G", offsetof(s_RGB, G), nullptr},
    {"B", offsetof(s_RGB, B), nullptr},
};
inline constexpr record_schema rgb{rgb_members, 3};

inline constexpr member_schema rgbw_members[] = {
    {"R", offsetof(s_RGBW, R), nullptr},
    {"G", offsetof(s_RGBW, G), nullptr},
    {"B", offsetof(s_RGBW, B), nullptr},
    {"W", offsetof(s_RGBW, W), nullptr},
};
inline constexpr record_schema rgbw{rgbw_members, 4};

inline constexpr member_schema quick_members[] = {
    {"value", offsetof(s_QuickAdjust, value), nullptr},
};
inline constexpr record_schema quick{quick_members, 1};

inline constexpr member_schema colortemp_members[] = {
    {"mode", offsetof(s_ColorTemperature, mode), nullptr},
    {"quickAdjust", offsetof(s_ColorTemperature, quickAdjust), &quick},
    {"advanceAdjust", offsetof(s_ColorTemperature, advanceAdjust), &rgb},
};
inline constexpr record_schema colortemp{colortemp_members, 3};

inline constexpr member_schema quality_members[] = {
    {"imageQualityMode", offsetof(s_ImageQualityBody, imageQualityMode), nullptr},
    {"eyeCare", offsetof(s_ImageQualityBody, eyeCare), nullptr},
    {"hue", offsetof(s_ImageQualityBody, hue), nullptr},
    {"saturation", offsetof(s_ImageQualityBody, saturation), nullptr},
    {"gamma", offsetof(s_ImageQualityBody, gamma), nullptr},
    {"contrast", offsetof(s_ImageQualityBody, contrast), &rgb},
    {"brightness", offsetof(s_ImageQualityBody, brightness), &rgb},
    {"shadow", offsetof(s_ImageQualityBody, shadow), &rgbw},
    {"highLight", offsetof(s_ImageQualityBody, highLight), &rgbw},
    {"colorTemperature", offsetof(s_ImageQualityBody, colorTemperature), &colortemp},
};
inline constexpr record_schema quality{quality_members, 10};

inline constexpr member_schema layer_members[] = {
    {"layerId", offsetof(s_LayerImageQualityBody, layerId), nullptr},
    {"imageQuality", offsetof(s_LayerImageQualityBody, imageQuality), &quality},
};

} // namespace schema_detail

inline constexpr record_schema layer_schema{schema_detail::layer_members, 2};

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
