#include "tools/lcdhost/inbox.h"

#include <algorithm>

#include "tools/common/layersettings.h"
#include "tools/common/printable.h"

namespace lcdhost {

void Inbox::add(const lcdclient::LayerList& layers) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.push_back({Clock::now(), layers});
}

void Inbox::stream(bool open, const std::string& why) {
    std::lock_guard<std::mutex> lock(m_mutex);
    // The stream tells a loss, and the opening after it, at a person's
    // pace; its first opening is no news.
    if (open && !m_lost)
        return;
    m_lost = !open;
    m_notes.push_back(
        {!open, open ? "stream open again"
                     : "stream lost, reconnecting (" + lcdtools::printable(why) + ")"});
}

std::vector<Inbox::Change> Inbox::takeChanges() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Change> taken;
    taken.swap(m_changes);
    return taken;
}

void Inbox::printStreamNotes(const Output& out, bool lossIsNote) {
    std::vector<Note> notes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        notes.swap(m_notes);
    }
    for (const Note& note : notes)
        if (lossIsNote)
            out.note(note.line);
        else if (note.loss || !out.quiet)
            out.error(note.line);
}

namespace {

// A record as the values it holds, in one fixed order.
std::vector<int> valuesOf(const lcdclient::LayerRecord& record) {
    std::vector<int> values{record.layerId};
    for (const lcdtools::LayerSetting& setting : lcdtools::kLayerSettings)
        values.push_back(setting.in(record));
    return values;
}

std::vector<std::vector<int>> sortedValues(const lcdclient::LayerList& layers) {
    std::vector<std::vector<int>> all;
    all.reserve(layers.size());
    for (const lcdclient::LayerRecord& record : layers)
        all.push_back(valuesOf(record));
    std::sort(all.begin(), all.end());
    return all;
}

} // namespace

bool reportsSet(const lcdclient::LayerList& change, const lcdclient::LayerList& sent) {
    // Sorted rather than each record looked for in the other list: a long
    // list, or a device that reports one as long as the set's, costs
    // n log n, not n².
    return change.size() == sent.size() && sortedValues(change) == sortedValues(sent);
}

} // namespace lcdhost
