#include "tools/simulator/layerstore.h"

namespace LCD {
namespace Sim {
namespace {

// A default record's text is the same for every layer but for its id:
// the text before the id and after it.
struct DefaultText {
    std::string before, after;
};

const DefaultText& defaultText() {
    static const DefaultText text = [] {
        const std::string whole = defaultLayerRecord(0).dump();
        const std::size_t id = whole.find(":0") + 1;
        return DefaultText{whole.substr(0, id), whole.substr(id + 1)};
    }();
    return text;
}

} // namespace

void LayerStore::store(const std::map<int, std::string>& records) {
    std::lock_guard<std::mutex> lock(m_mutex);
    for (const auto& [id, text] : records)
        m_records[id] = text;
    ++m_sets;
}

std::string LayerStore::listText(const std::string& before, const std::string& after) const {
    const DefaultText& d = defaultText();
    std::lock_guard<std::mutex> lock(m_mutex);
    // Sized first: one allocation, given back whole when the answer is gone.
    std::size_t size = before.size() + 2 + static_cast<std::size_t>(m_layers) + after.size();
    for (int id = 1; id <= m_layers; ++id) {
        const auto it = m_records.find(id);
        size += it != m_records.end()
                    ? it->second.size()
                    : d.before.size() + std::to_string(id).size() + d.after.size();
    }
    std::string out;
    out.reserve(size);
    out += before;
    out += '[';
    for (int id = 1; id <= m_layers; ++id) {
        if (id > 1)
            out += ',';
        const auto it = m_records.find(id);
        if (it != m_records.end())
            out += it->second;
        else
            out.append(d.before).append(std::to_string(id)).append(d.after);
    }
    out += ']';
    out += after;
    return out;
}

Json LayerStore::record(int id) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    const auto it = m_records.find(id);
    return it != m_records.end() ? Json::parse(it->second) : defaultLayerRecord(id);
}

unsigned long LayerStore::sets() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_sets;
}

} // namespace Sim
} // namespace LCD
