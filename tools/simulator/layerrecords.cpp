#include "tools/simulator/layerrecords.h"
#include "tools/common/layersettings.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace LCD {
namespace Sim {
namespace {

bool isInt32(const Json& v) {
    if (v.is_number_unsigned())
        return v.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max();
    if (v.is_number_integer()) {
        const auto n = v.get<std::int64_t>();
        return n >= std::numeric_limits<std::int32_t>::min() &&
               n <= std::numeric_limits<std::int32_t>::max();
    }
    return false;
}

// Checks `obj` against `shape`, a record of the same members: an integer
// there is an integer leaf here, an object a nested object.
bool checkObject(const Json& obj, const Json& shape, const std::string& at, std::string& what) {
    for (const auto& item : obj.items()) {
        if (!shape.contains(item.key())) {
            what = "unknown member " + at + item.key();
            return false;
        }
    }
    for (const auto& m : shape.items()) {
        const std::string path = at + m.key();
        const auto it = obj.find(m.key());
        if (it == obj.end()) {
            what = "missing " + path;
            return false;
        }
        if (!m.value().is_object()) {
            if (!isInt32(*it)) {
                what = path + " is not a 32-bit integer";
                return false;
            }
        } else if (!it->is_object()) {
            what = path + " is not an object";
            return false;
        } else if (!checkObject(*it, m.value(), path + ".", what)) {
            return false;
        }
    }
    return true;
}

} // namespace

bool parseLayerList(const std::string& body, Json& out, std::string& what) {
    Json parsed;
    try {
        parsed = Json::parse(body);
    } catch (const Json::parse_error& e) {
        what = "not JSON at byte " + std::to_string(e.byte);
        return false;
    }
    if (!parsed.is_array()) {
        what = "not an array";
        return false;
    }
    for (std::size_t i = 0; i < parsed.size(); ++i) {
        const std::string at = "element " + std::to_string(i);
        if (!parsed[i].is_object()) {
            what = at + " is not an object";
            return false;
        }
        std::string inner;
        static const Json shape = defaultLayerRecord(0);
        if (!checkObject(parsed[i], shape, "", inner)) {
            what = at + ": " + inner;
            return false;
        }
    }
    out = std::move(parsed);
    return true;
}

// A layer never set holds every setting at its neutral value, so that its
// picture is the test image as it is.
Json defaultLayerRecord(int layerId) {
    Json record = Json::object();
    record["layerId"] = layerId;
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings)
        record[Json::json_pointer(lcdtools::settingPointer(setting))] = setting.neutral();
    return record;
}

} // namespace Sim
} // namespace LCD
