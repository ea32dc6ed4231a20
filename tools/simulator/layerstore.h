// The layers the simulated device holds: layers 1..N, each at its default
// record until a set changes it. Records are kept as their JSON text, so
// the list of a large device is written without building it as a tree.
#pragma once

#include <map>
#include <mutex>
#include <string>

#include "tools/simulator/layerrecords.h"

namespace LCD {
namespace Sim {

class LayerStore {
public:
    explicit LayerStore(int layers) : m_layers(layers) {}

    int layers() const { return m_layers; }
    // Stores the records of one accepted set.
    void store(const std::map<int, std::string>& records);
    // Every layer's record as a JSON array, between `before` and `after`.
    std::string listText(const std::string& before, const std::string& after) const;
    // Layer `id`'s record; `id` within 1..layers().
    Json record(int id) const;
    // Accepted sets so far.
    unsigned long sets() const;

private:
    const int m_layers;
    mutable std::mutex m_mutex;
    std::map<int, std::string> m_records; // only layers that were set
    unsigned long m_sets = 0;
};

} // namespace Sim
} // namespace LCD
