// The settings of a layer, each written once: the member of the layer
// record it is, how a person sees it and what the simulated device reads in
// it. lcdhost's options and file reading, lcdpanel's controls, the device
// simulator's checks and picture and the benchmarks take what they need
// from this table.
//
//   for (const lcdtools::LayerSetting& s : lcdtools::kLayerSettings)
//       s.name;                 // "contrast.R": the dotted JSON name below "imageQuality"
//       s.of(record) = 60;      // the member in a record
//       s.group, s.label;       // "Contrast", "R"
//       s.low, s.high;          // 0, 100: the range the simulator's picture reads
//       s.neutral();            // 50: the record's default, which changes nothing
//   lcdtools::findSetting("hue");   // its row, or null
//   lcdtools::settingPointer(s);     // "/imageQuality/contrast/R", its place in a JSON record
//
// The layer id is no setting: it names the layer the others belong to.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "protocol/layerimagequality.h"

namespace lcdtools {

using LayerRecord = LCD::ProtoModel::Layer::s_LayerImageQualityBody;

struct LayerSetting {
    const char* name;
    int& (*of)(LayerRecord&);
    const char* group;
    const char* label;
    int low, high;

    int in(const LayerRecord& record) const { return of(const_cast<LayerRecord&>(record)); }
    int neutral() const { return in(LayerRecord{}); }
};

// The name is the member's own path in the record, so the two cannot part.
#define LCD_LAYER_SETTING(MEMBER, GROUP, LABEL, LOW, HIGH)                                         \
    LayerSetting {                                                                                 \
#MEMBER, [](LayerRecord & r) -> int& { return r.imageQuality.MEMBER; }, GROUP, LABEL, LOW, \
                                                                             HIGH                  \
    }

// In the record's member order; the rows of a group follow each other.
inline constexpr LayerSetting kLayerSettings[] = {
    LCD_LAYER_SETTING(imageQualityMode, "Image", "Mode", 0, 1),
    LCD_LAYER_SETTING(eyeCare, "Image", "Eye care", 0, 100),
    LCD_LAYER_SETTING(hue, "Image", "Hue", -180, 180),
    LCD_LAYER_SETTING(saturation, "Image", "Saturation", 0, 100),
    LCD_LAYER_SETTING(gamma, "Image", "Gamma", 10, 1000),
    LCD_LAYER_SETTING(contrast.R, "Contrast", "R", 0, 100),
    LCD_LAYER_SETTING(contrast.G, "Contrast", "G", 0, 100),
    LCD_LAYER_SETTING(contrast.B, "Contrast", "B", 0, 100),
    LCD_LAYER_SETTING(brightness.R, "Brightness", "R", 0, 100),
    LCD_LAYER_SETTING(brightness.G, "Brightness", "G", 0, 100),
    LCD_LAYER_SETTING(brightness.B, "Brightness", "B", 0, 100),
    LCD_LAYER_SETTING(shadow.R, "Shadow", "R", 0, 100),
    LCD_LAYER_SETTING(shadow.G, "Shadow", "G", 0, 100),
    LCD_LAYER_SETTING(shadow.B, "Shadow", "B", 0, 100),
    LCD_LAYER_SETTING(shadow.W, "Shadow", "W", 0, 200),
    LCD_LAYER_SETTING(highLight.R, "Highlight", "R", 0, 100),
    LCD_LAYER_SETTING(highLight.G, "Highlight", "G", 0, 100),
    LCD_LAYER_SETTING(highLight.B, "Highlight", "B", 0, 100),
    LCD_LAYER_SETTING(highLight.W, "Highlight", "W", 0, 200),
    LCD_LAYER_SETTING(colorTemperature.mode, "Colour temperature", "Mode", 0, 1),
    LCD_LAYER_SETTING(colorTemperature.quickAdjust.value, "Colour temperature", "Quick adjust",
                      -100, 100),
    LCD_LAYER_SETTING(colorTemperature.advanceAdjust.R, "Colour temperature", "Advanced R", 0, 100),
    LCD_LAYER_SETTING(colorTemperature.advanceAdjust.G, "Colour temperature", "Advanced G", 0, 100),
    LCD_LAYER_SETTING(colorTemperature.advanceAdjust.B, "Colour temperature", "Advanced B", 0, 100),
};

#undef LCD_LAYER_SETTING

// The row named `name`, or null.
const LayerSetting* findSetting(std::string_view name);

// Where the setting sits in a record as JSON: "/imageQuality/contrast/R".
std::string settingPointer(const LayerSetting& setting);

namespace detail {

constexpr std::size_t kSettingCount = sizeof kLayerSettings / sizeof kLayerSettings[0];

// Every row reaches a member of its own (a row that reached another's
// would lose that one's mark), and the neutral value lies in the range.
constexpr bool eachMemberOnce() {
    LayerRecord marks{};
    for (std::size_t i = 0; i < kSettingCount; ++i) {
        const LayerSetting& s = kLayerSettings[i];
        LayerRecord defaults{};
        if (s.of(defaults) < s.low || s.of(defaults) > s.high)
            return false;
        s.of(marks) = -1 - static_cast<int>(i);
    }
    for (std::size_t i = 0; i < kSettingCount; ++i)
        if (kLayerSettings[i].of(marks) != -1 - static_cast<int>(i))
            return false;
    return true;
}

static_assert(kSettingCount == sizeof(LayerRecord) / sizeof(int) - 1,
              "one row per member of the layer record but the layer id");
static_assert(eachMemberOnce(), "each row its own member, its default within its range");

} // namespace detail
} // namespace lcdtools
