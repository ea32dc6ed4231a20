// What the device reported, kept by the threads that hear it until the
// main thread prints it, so that changes follow the answer that caused them:
//
//   lcdhost::Inbox inbox;
//   ... on the host's threads: inbox.add(layers); inbox.stream(open, why);
//   for (const Inbox::Change& c : inbox.takeChanges()) ...
//   inbox.printStreamNotes(out);    // "stream lost, reconnecting (...)"
#pragma once

#include <mutex>
#include <string>
#include <vector>

#include "tools/client/layerlist.h"
#include "tools/lcdhost/output.h"

namespace lcdhost {

class Inbox {
public:
    struct Change {
        Clock::time_point when;
        lcdclient::LayerList layers;
    };

    void add(const lcdclient::LayerList& layers);
    // The stream opened (true) or was lost (false, `why` says how), as
    // the stream tells it.
    void stream(bool open, const std::string& why);

    std::vector<Change> takeChanges();
    // The stream's news on stderr; a loss is an error, even with -q, or
    // with `lossIsNote` a note (-v) like the rest.
    void printStreamNotes(const Output& out, bool lossIsNote = false);

private:
    struct Note {
        bool loss;
        std::string line;
    };
    std::mutex m_mutex;
    std::vector<Change> m_changes;
    std::vector<Note> m_notes;
    bool m_lost = false;
};

// True when `change` is what the device reports after storing `sent`:
// the same records, each as often, in any order.
bool reportsSet(const lcdclient::LayerList& change, const lcdclient::LayerList& sent);

} // namespace lcdhost
