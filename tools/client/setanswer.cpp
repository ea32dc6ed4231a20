#include "tools/client/setanswer.h"

#include "protocol/constants.h"
#include "tools/client/exchangelog.h"
#include "tools/client/pluginwarnings.h"

namespace lcdclient {

SetAnswer sendSet(Session& session, const LayerList& layers) {
    constexpr const char* kSetPath = LCD::Proto::Constants::PUTLAYERIMAGEQUALITY;
    pluginwarnings::takeSetWarnings();
    exchangelog::forget();
    const pqxhost::Answer answer = session.set(layers);
    const std::vector<std::string> warnings = pluginwarnings::takeSetWarnings();

    SetAnswer result;
    result.warned = !warnings.empty();
    if (answer.status == pqxhost::Answer::Status::answered && answer.payload.size() == 1) {
        if (answer.payload[0] != 0) {
            result.verdict = SetAnswer::Verdict::accepted;
            for (const std::string& w : warnings)
                result.reason += (result.reason.empty() ? "" : "; ") + w;
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

std::string SetAnswer::text() const {
    const std::string said = verdict == Verdict::accepted  ? "accepted"
                             : verdict == Verdict::refused ? "refused by the device"
                                                           : "no answer";
    return reason.empty() ? said : said + " (" + reason + ")";
}

const char* SetAnswer::word() const {
    return verdict == Verdict::accepted  ? "accepted"
           : verdict == Verdict::refused ? "refused"
                                         : "none";
}

} // namespace lcdclient
