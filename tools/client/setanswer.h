// One set request through the session and what came of it, in the words
// that lcdhost's answer line and lcdpanel's status line use. The plug-in's
// answer is what it is; the tools judge the exchange as a whole, so a set
// counts as accepted only when the plug-in answered true, the device's
// HTTP status was 2xx and its reply's code the integer 0:
//
//   lcdclient::SetAnswer answer = lcdclient::sendSet(session, layers);   // blocks
//   answer.ok();      // accepted, the exchange sound
//   answer.text();    // "refused by the device (code 20002 \"unknown layer 99\")",
//                     // "failed (HTTP status 503, code 0 \"busy\"; the plug-in answered accepted)"
//
// Needs exchangelog::install and pluginwarnings::install first: the
// judgement comes from the last exchange on the set path and from the
// plug-in's warnings. One set at a time: both are process-wide.
#pragma once

#include <string>
#include <vector>

#include "tools/client/session.h"

namespace lcdclient {

struct SetAnswer {
    enum class Verdict { accepted, refused, none }; // the plug-in's answer
    Verdict verdict = Verdict::none;
    // accepted: the plug-in's warnings in a person's words, joined by "; ";
    // refused: the device's code and message; none: why no answer came.
    // May be empty.
    std::string reason;
    // Why an answer the plug-in accepted is no acceptance of the device:
    // "HTTP status 503", "the device's code is \"E_FAIL\", not 0". Empty
    // when there is none.
    std::string fault;
    std::vector<std::string> warnings; // the plug-in's, as it logged them (for -v)

    bool ok() const { return verdict == Verdict::accepted && fault.empty(); }
    bool warned() const { return !warnings.empty(); }
    // "accepted", "failed", "refused by the device" or "no answer", with
    // why in parentheses: how the tools tell what came of a set.
    std::string text() const;
    // "accepted", "failed", "refused" or "none": the verdict as a script
    // reads it.
    const char* word() const;
    // What text() puts in parentheses.
    std::string why() const;
};

SetAnswer sendSet(Session& session, const LayerList& layers);

} // namespace lcdclient
