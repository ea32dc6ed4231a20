#include "tools/common/layersettings.h"

#include <algorithm>

namespace lcdtools {

const LayerSetting* findSetting(std::string_view name) {
    for (const LayerSetting& setting : kLayerSettings)
        if (name == setting.name)
            return &setting;
    return nullptr;
}

std::string settingPointer(const LayerSetting& setting) {
    std::string pointer = std::string("/imageQuality/") + setting.name;
    std::replace(pointer.begin(), pointer.end(), '.', '/');
    return pointer;
}

} // namespace lcdtools
