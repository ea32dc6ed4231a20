#include "tools/client/setanswer.h"

#include "protocol/constants.h"
#include "tools/client/exchangelog.h"
#include "tools/client/pluginwarnings.h"

namespace lcdclient {

namespace {

// Why the exchange the plug-in accepted is no acceptance, or "".
std::string exchangeFault(const exchangelog::Seen& seen) {
    if (!seen.any)
        return "no exchange with the device was seen";
    if (!seen.statusOk())
        return "HTTP status " + std::to_string(seen.status) +
               (seen.said.empty() ? "" : ", " + seen.said);
    return seen.code.fault();
}

} // namespace

SetAnswer sendSet(Session& session, const LayerList& layers) {
    constexpr const char* kSetPath = LCD::Proto::Constants::PUTLAYERIMAGEQUALITY;
    pluginwarnings::takeSetWarnings();
    exchangelog::forget();
    const pqxhost::Answer answer = session.set(layers);

    SetAnswer result;
    result.warnings = pluginwarnings::takeSetWarnings();
    if (answer.status == pqxhost::Answer::Status::answered && answer.payload.size() == 1) {
        if (answer.payload[0] != 0) {
            result.verdict = SetAnswer::Verdict::accepted;
            result.fault = exchangeFault(exchangelog::last(kSetPath));
            for (const std::string& w : result.warnings)
                result.reason += (result.reason.empty() ? "" : "; ") + pluginwarnings::inWords(w);
        } else {
            result.verdict = SetAnswer::Verdict::refused;
            result.reason = exchangelog::why(kSetPath);
        }
    } else {
        result.reason = answer.status == pqxhost::Answer::Status::none
                            ? exchangelog::why(kSetPath)
                            : std::string(pqxhost::toString(answer.status)) +
                                  (answer.error.empty() ? "" : ": " + answer.error);
    }
    return result;
}

std::string SetAnswer::why() const {
    if (verdict == Verdict::accepted && !fault.empty())
        return fault + "; the plug-in answered accepted";
    if (verdict == Verdict::accepted && !reason.empty())
        return "the plug-in warned: " + reason;
    return reason;
}

std::string SetAnswer::text() const {
    const std::string said = ok()                           ? "accepted"
                             : verdict == Verdict::accepted ? "failed"
                             : verdict == Verdict::refused  ? "refused by the device"
                                                            : "no answer";
    const std::string because = why();
    return because.empty() ? said : said + " (" + because + ")";
}

const char* SetAnswer::word() const {
    return ok()                           ? "accepted"
           : verdict == Verdict::accepted ? "failed"
           : verdict == Verdict::refused  ? "refused"
                                          : "none";
}

} // namespace lcdclient
