#include "tools/lcdhost/inbox.h"

namespace lcdhost {

void Inbox::add(const lcdclient::LayerList& layers) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_changes.push_back({Clock::now(), layers});
}

void Inbox::stream(bool open, const std::string& why) {
    std::lock_guard<std::mutex> lock(m_mutex);
    if (open && !m_lost)
        return;
    m_lost = !open;
    m_notes.push_back(open ? "" : why);
}

std::vector<Inbox::Change> Inbox::takeChanges() {
    std::lock_guard<std::mutex> lock(m_mutex);
    std::vector<Change> taken;
    taken.swap(m_changes);
    return taken;
}

void Inbox::printStreamNotes(const Output& out) {
    std::vector<std::string> notes;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        notes.swap(m_notes);
    }
    for (const std::string& why : notes) {
        if (!why.empty())
            out.error("stream lost, reconnecting (" + why + ")");
        else if (!out.quiet)
            out.error("stream open again");
    }
}

} // namespace lcdhost
