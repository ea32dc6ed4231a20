// One set request through the session and what came of it, in the words
// that lcdhost's answer line and lcdpanel's status line use:
//
//   lcdclient::SetAnswer answer = lcdclient::sendSet(session, layers);   // blocks
//   answer.verdict;   // accepted, refused or none
//   answer.reason;    // "code 20002 \"unknown layer 99\"", "connection refused (...)", ...
//   answer.text();    // "refused by the device (code 20002 \"unknown layer 99\")"
//
// Needs exchangelog::install and pluginwarnings::install first: the reason
// comes from the last exchange on the set path and from the plug-in's
// warnings. One set at a time: both are process-wide.
#pragma once

#include <string>
#include <vector>

#include "tools/client/session.h"

namespace lcdclient {

struct SetAnswer {
    enum class Verdict { accepted, refused, none };
    Verdict verdict = Verdict::none;
    // accepted: the plug-in's warnings, joined by "; "; refused: the
    // device's code and message; none: why no answer came. May be empty.
    std::string reason;
    bool warned = false; // the plug-in warned while handling the set

    // "accepted", "refused by the device" or "no answer", with the reason
    // in parentheses: how the tools tell what came of a set.
    std::string text() const;
    // "accepted", "refused" or "none": the verdict as a script reads it.
    const char* word() const;
};

SetAnswer sendSet(Session& session, const LayerList& layers);

} // namespace lcdclient
