// The range and the neutral value of each layer setting as the simulated
// device reads it when it draws a layer (kPictureRules says what it does
// with each): a value outside its range counts as the nearest end, and the
// neutral value changes nothing; a layer never set holds the neutral values
// (layerrecords.h). Programs that offer the settings to a
// person take their ranges from here.
//
//   const LCD::Sim::SettingRange* hue = LCD::Sim::settingRange("hue");   // -180..180, 0
//
// Names are the record's dotted member names without "imageQuality."; the
// layer id is no setting.
#pragma once

#include <cstring>

namespace LCD {
namespace Sim {

struct SettingRange {
    const char* name;
    int low, high, neutral;
};

inline constexpr SettingRange kSettingRanges[] = {
    {"imageQualityMode", 0, 1, 0},
    {"eyeCare", 0, 100, 0},
    {"hue", -180, 180, 0},
    {"saturation", 0, 100, 50},
    {"gamma", 10, 1000, 220},
    {"contrast.R", 0, 100, 50},
    {"contrast.G", 0, 100, 50},
    {"contrast.B", 0, 100, 50},
    {"brightness.R", 0, 100, 50},
    {"brightness.G", 0, 100, 50},
    {"brightness.B", 0, 100, 50},
    {"shadow.R", 0, 100, 50},
    {"shadow.G", 0, 100, 50},
    {"shadow.B", 0, 100, 50},
    {"shadow.W", 0, 200, 100},
    {"highLight.R", 0, 100, 50},
    {"highLight.G", 0, 100, 50},
    {"highLight.B", 0, 100, 50},
    {"highLight.W", 0, 200, 100},
    {"colorTemperature.mode", 0, 1, 0},
    {"colorTemperature.quickAdjust.value", -100, 100, 0},
    {"colorTemperature.advanceAdjust.R", 0, 100, 50},
    {"colorTemperature.advanceAdjust.G", 0, 100, 50},
    {"colorTemperature.advanceAdjust.B", 0, 100, 50},
};

// The setting named `name`, or null when there is none.
inline const SettingRange* settingRange(const char* name) {
    for (const SettingRange& range : kSettingRanges)
        if (std::strcmp(range.name, name) == 0)
            return &range;
    return nullptr;
}

} // namespace Sim
} // namespace LCD
