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

namespace {

// Below 0, 0 or above 0 as `a` comes before, with or after `b`: by layer
// id, then by each setting in the table's order.
int compare(const LayerRecord& a, const LayerRecord& b) {
    if (a.layerId != b.layerId)
        return a.layerId < b.layerId ? -1 : 1;
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings)
        if (setting.in(a) != setting.in(b))
            return setting.in(a) < setting.in(b) ? -1 : 1;
    return 0;
}

} // namespace

bool sameRecord(const LayerRecord& a, const LayerRecord& b) {
    return compare(a, b) == 0;
}

bool recordBefore(const LayerRecord& a, const LayerRecord& b) {
    return compare(a, b) < 0;
}

} // namespace lcdclient
