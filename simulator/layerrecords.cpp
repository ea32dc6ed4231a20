#include "simulator/layerrecords.h"
#include "simulator/settingranges.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <vector>

namespace LCD {
namespace Sim {
namespace {

// The shape of a record: a leaf is an integer, a branch a nested object.
struct Shape {
    const char* name;
    std::vector<Shape> members; // empty for a leaf
};

const Shape& recordShape() {
    static const std::vector<Shape> rgbList = {{"R", {}}, {"G", {}}, {"B", {}}};
    static const std::vector<Shape> rgbwList = {{"R", {}}, {"G", {}}, {"B", {}}, {"W", {}}};
    static const Shape shape{
        "",
        {{"layerId", {}},
         {"imageQuality",
          {{"imageQualityMode", {}},
           {"eyeCare", {}},
           {"hue", {}},
           {"saturation", {}},
           {"gamma", {}},
           {"contrast", rgbList},
           {"brightness", rgbList},
           {"shadow", rgbwList},
           {"highLight", rgbwList},
           {"colorTemperature",
            {{"mode", {}}, {"quickAdjust", {{"value", {}}}}, {"advanceAdjust", rgbList}}}}}}};
    return shape;
}

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

bool checkObject(const Json& obj, const Shape& shape, const std::string& at, std::string& what) {
    for (const auto& item : obj.items()) {
        bool known = false;
        for (const Shape& m : shape.members)
            known = known || item.key() == m.name;
        if (!known) {
            what = "unknown member " + at + item.key();
            return false;
        }
    }
    for (const Shape& m : shape.members) {
        const std::string path = at + m.name;
        const auto it = obj.find(m.name);
        if (it == obj.end()) {
            what = "missing " + path;
            return false;
        }
        if (m.members.empty()) {
            if (!isInt32(*it)) {
                what = path + " is not a 32-bit integer";
                return false;
            }
        } else if (!it->is_object()) {
            what = path + " is not an object";
            return false;
        } else if (!checkObject(*it, m, path + ".", what)) {
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
        if (!checkObject(parsed[i], recordShape(), "", inner)) {
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
    for (const SettingRange& range : kSettingRanges) {
        std::string pointer = std::string("/imageQuality/") + range.name;
        std::replace(pointer.begin(), pointer.end(), '.', '/');
        record[Json::json_pointer(pointer)] = range.neutral;
    }
    return record;
}

} // namespace Sim
} // namespace LCD
