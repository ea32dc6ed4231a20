#include "tools/lcdhost/inbox.h"

#include <algorithm>

#include "tools/client/layersummary.h"
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

void Inbox::printStreamNotes(const Output& out) {
    std::vector<Note> notes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        notes.swap(m_notes);
    }
    for (const Note& note : notes)
        if (note.loss || !out.quiet)
            out.error(note.line);
}

bool reportsSet(const lcdclient::LayerList& change, const lcdclient::LayerList& sent) {
    return change.size() == sent.size() &&
           std::all_of(sent.begin(), sent.end(), [&](const lcdclient::LayerRecord& record) {
               return std::any_of(change.begin(), change.end(), [&](const auto& reported) {
                   return lcdclient::sameRecord(reported, record);
               });
           });
}

} // namespace lcdhost
