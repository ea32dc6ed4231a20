#include "tools/client/layersummary.h"

namespace lcdclient {

std::string summary(const LayerRecord& layer) {
    std::string text = "layer " + std::to_string(layer.layerId) + ":";
    bool any = false;
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings) {
        const int value = setting.in(layer);
        if (value == setting.neutral())
            continue;
        text += any ? ", " : " ";
        text += setting.name;
        text += ' ';
        text += std::to_string(value);
        any = true;
    }
    return any ? text : text + " defaults";
}

bool sameRecord(const LayerRecord& a, const LayerRecord& b) {
    if (a.layerId != b.layerId)
        return false;
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings)
        if (setting.in(a) != setting.in(b))
            return false;
    return true;
}

} // namespace lcdclient
