#include "platform/framework/lcdhost/layerfields.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>

namespace lcdhost {

namespace {

using Access = int& (*)(LayerRecord&);

struct Field {
    const char* name;
    Access access;
};

#define LCDHOST_FIELD(NAME, MEMBER)                                                                \
    Field {                                                                                        \
        NAME, [](LayerRecord& r) -> int& { return r.MEMBER; }                                      \
    }

const Field kFields[] = {
    LCDHOST_FIELD("layerId", layerId),
    LCDHOST_FIELD("imageQualityMode", imageQuality.imageQualityMode),
    LCDHOST_FIELD("eyeCare", imageQuality.eyeCare),
    LCDHOST_FIELD("hue", imageQuality.hue),
    LCDHOST_FIELD("saturation", imageQuality.saturation),
    LCDHOST_FIELD("gamma", imageQuality.gamma),
    LCDHOST_FIELD("contrast.R", imageQuality.contrast.R),
    LCDHOST_FIELD("contrast.G", imageQuality.contrast.G),
    LCDHOST_FIELD("contrast.B", imageQuality.contrast.B),
    LCDHOST_FIELD("brightness.R", imageQuality.brightness.R),
    LCDHOST_FIELD("brightness.G", imageQuality.brightness.G),
    LCDHOST_FIELD("brightness.B", imageQuality.brightness.B),
    LCDHOST_FIELD("shadow.R", imageQuality.shadow.R),
    LCDHOST_FIELD("shadow.G", imageQuality.shadow.G),
    LCDHOST_FIELD("shadow.B", imageQuality.shadow.B),
    LCDHOST_FIELD("shadow.W", imageQuality.shadow.W),
    LCDHOST_FIELD("highLight.R", imageQuality.highLight.R),
    LCDHOST_FIELD("highLight.G", imageQuality.highLight.G),
    LCDHOST_FIELD("highLight.B", imageQuality.highLight.B),
    LCDHOST_FIELD("highLight.W", imageQuality.highLight.W),
    LCDHOST_FIELD("colorTemperature.mode", imageQuality.colorTemperature.mode),
    LCDHOST_FIELD("colorTemperature.quickAdjust.value",
                  imageQuality.colorTemperature.quickAdjust.value),
    LCDHOST_FIELD("colorTemperature.advanceAdjust.R",
                  imageQuality.colorTemperature.advanceAdjust.R),
    LCDHOST_FIELD("colorTemperature.advanceAdjust.G",
                  imageQuality.colorTemperature.advanceAdjust.G),
    LCDHOST_FIELD("colorTemperature.advanceAdjust.B",
                  imageQuality.colorTemperature.advanceAdjust.B),
};

#undef LCDHOST_FIELD

static_assert(sizeof(kFields) / sizeof(kFields[0]) == sizeof(LayerRecord) / sizeof(int),
              "one name per member of the record");

} // namespace

const std::vector<std::string>& fieldNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> all;
        for (const Field& f : kFields)
            all.emplace_back(f.name);
        return all;
    }();
    return names;
}

int& fieldAt(LayerRecord& layer, std::size_t index) {
    return kFields[index].access(layer);
}

bool parseInt(const std::string& text, int& value) {
    if (text.empty() || text.find_first_not_of("-0123456789") != std::string::npos)
        return false;
    errno = 0;
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (errno != 0 || end == nullptr || *end != '\0' || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool sameRecord(const LayerRecord& a, const LayerRecord& b) {
    LayerRecord x = a, y = b;
    for (const Field& f : kFields)
        if (f.access(x) != f.access(y))
            return false;
    return true;
}

std::string summary(const LayerRecord& layer) {
    LayerRecord copy = layer;
    LayerRecord defaults;
    std::string text = "layer " + std::to_string(layer.layerId) + ":";
    bool any = false;
    for (const Field& f : kFields) {
        if (f.access == kFields[0].access)
            continue; // the layer id, named above
        const int value = f.access(copy);
        if (value == f.access(defaults))
            continue;
        text += any ? ", " : " ";
        text += f.name;
        text += ' ';
        text += std::to_string(value);
        any = true;
    }
    return any ? text : text + " defaults";
}

} // namespace lcdhost
