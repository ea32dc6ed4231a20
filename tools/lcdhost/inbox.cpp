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

bool reportsSet(const lcdclient::LayerList& change, const lcdclient::LayerList& sent) {
    // Sorted rather than each record looked for in the other list: a long
    // list, or a device that reports one as long as the set's, costs
    // n log n, not n².
    if (change.size() != sent.size())
        return false;
    lcdclient::LayerList reported = change, stored = sent;
    std::sort(reported.begin(), reported.end(), lcdclient::recordBefore);
    std::sort(stored.begin(), stored.end(), lcdclient::recordBefore);
    return std::equal(reported.begin(), reported.end(), stored.begin(), lcdclient::sameRecord);
}

} // namespace lcdhost
