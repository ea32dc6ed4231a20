// Hands each exchange to the host's observer, secrets masked, and keeps
// each thread's last failure so that statusText can name it in full.
#pragma once

#include <string>

#include "platform/communicator/exchange.h"

namespace lcdcomm::detail {

// `shownBody` is the request body as it may be shown; `isLogin` masks the
// token of the reply. The observer is shown at most limits::kShownReplyBytes
// of the reply: a large one is not copied again.
void report(const std::string& method, const Heads& heads, const std::string& shownBody,
            const Outcome& outcome, bool isLogin);

// The calling thread's last failure when its status is `status`, or empty.
std::string lastFailure(int status);

} // namespace lcdcomm::detail
