#include "platform/panel/settingcontrols.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "platform/framework/lcdhost/layerfields.h"
#include "simulator/settingranges.h"

namespace lcdpanel {

namespace {

struct Row {
    const char* name;
    const char* group;
    const char* label;
};

// The groups are those of the record; the first five members are the
// layer's picture as a whole.
constexpr Row kRows[] = {
    {"imageQualityMode", "Image", "Mode"},
    {"eyeCare", "Image", "Eye care"},
    {"hue", "Image", "Hue"},
    {"saturation", "Image", "Saturation"},
    {"gamma", "Image", "Gamma"},
    {"contrast.R", "Contrast", "R"},
    {"contrast.G", "Contrast", "G"},
    {"contrast.B", "Contrast", "B"},
    {"brightness.R", "Brightness", "R"},
    {"brightness.G", "Brightness", "G"},
    {"brightness.B", "Brightness", "B"},
    {"shadow.R", "Shadow", "R"},
    {"shadow.G", "Shadow", "G"},
    {"shadow.B", "Shadow", "B"},
    {"shadow.W", "Shadow", "W"},
    {"highLight.R", "Highlight", "R"},
    {"highLight.G", "Highlight", "G"},
    {"highLight.B", "Highlight", "B"},
    {"highLight.W", "Highlight", "W"},
    {"colorTemperature.mode", "Colour temperature", "Mode"},
    {"colorTemperature.quickAdjust.value", "Colour temperature", "Quick adjust"},
    {"colorTemperature.advanceAdjust.R", "Colour temperature", "Advanced R"},
    {"colorTemperature.advanceAdjust.G", "Colour temperature", "Advanced G"},
    {"colorTemperature.advanceAdjust.B", "Colour temperature", "Advanced B"},
};

static_assert(sizeof kRows / sizeof kRows[0] == sizeof(lcdhost::LayerRecord) / sizeof(int) - 1,
              "one row per member of the record but the layer id");

} // namespace

const std::vector<SettingControl>& settingControls() {
    static const std::vector<SettingControl> controls = [] {
        const std::vector<std::string>& names = lcdhost::fieldNames();
        std::vector<SettingControl> all;
        for (const Row& row : kRows) {
            const auto at = std::find(names.begin(), names.end(), row.name);
            const LCD::Sim::SettingRange* range = LCD::Sim::settingRange(row.name);
            if (at == names.end() || range == nullptr)
                throw std::logic_error(std::string("no member or range named ") + row.name);
            all.push_back({row.name, static_cast<std::size_t>(at - names.begin()), row.group,
                           row.label, range->low, range->high});
        }
        return all;
    }();
    return controls;
}

} // namespace lcdpanel
