#include "tools/simulator/layerrecords.h"
#include "tools/common/layersettings.h"

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

bool parseLayerList(const std::string& body, int layers, LayerList& out, std::string& what) {
    static const Json shape = defaultLayerRecord(0);
    std::size_t index = 0; // of the element being read
    std::string fault;     // the first record's fault; the syntax is checked to the end
    out = LayerList{};
    out.text = "[";
    out.text.reserve(body.size() + 2);
    const auto element = [&](Json::parse_event_t event, const Json& value) {
        const std::string at = "element " + std::to_string(index++);
        if (!fault.empty())
            return;
        std::string inner;
        if (event != Json::parse_event_t::object_end) {
            fault = at + " is not an object";
        } else if (!checkObject(value, shape, "", inner)) {
            fault = at + ": " + inner;
        } else {
            const long long id = value["layerId"].get<long long>();
            std::string record = value.dump();
            if ((id < 1 || id > layers) && !out.unknownLayer)
                out.unknownLayer = id;
            out.text += (out.text.size() > 1 ? "," : "") + record;
            out.records[static_cast<int>(id)] = std::move(record);
        }
    };
    Json top;
    try {
        top = Json::parse(body, [&](int depth, Json::parse_event_t event, Json& value) {
            using E = Json::parse_event_t;
            if (depth == 0 && event == E::object_start)
                return false; // not an array: nothing of it is kept
            if (depth != 1 || event == E::key || event == E::object_start ||
                event == E::array_start)
                return true;
            element(event, value);
            return false; // set aside: the array stays empty
        });
    } catch (const Json::parse_error& e) {
        what = "not JSON at byte " + std::to_string(e.byte);
        return false;
    }
    what = !top.is_array() ? "not an array" : fault;
    if (!what.empty())
        return false;
    out.text += "]";
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
