#include "host/lcdcommunicator.h"
#include "platform/communicator/device_state.h"
#include "platform/communicator/exchange.h"
#include "platform/communicator/lcdcomm.h"
#include "platform/communicator/login_reply.h"
#include "platform/communicator/trace.h"
#include "protocol/constants.h"

namespace {

using lcdcomm::detail::DeviceState;
using lcdcomm::detail::Snapshot;

// One login with the settings of `now`; call it with the login mutex held.
bool loginWith(const Snapshot& now, std::string* error) {
    std::string why;
    std::string token;
    bool ok = false;
    if (now.settings.user.empty()) {
        why = "no user is configured for the login";
    } else {
        const lcdcomm::detail::Heads heads{{"Content-Type", "application/json"}};
        const lcdcomm::detail::Outcome outcome = lcdcomm::detail::perform(
            "POST", now, LCD::Proto::Constants::POSTLOGIN, heads,
            lcdcomm::detail::loginBody(now.settings.user, now.settings.password));
        lcdcomm::detail::report("POST", heads, lcdcomm::detail::loginBody(now.settings.user, "***"),
                                outcome, true);
        if (!outcome.delivered)
            why = "the login request failed: " + outcome.error;
        else if (outcome.status < 200 || outcome.status > 299)
            why = lcdcomm::detail::loginRefusal(outcome.status, outcome.body);
        else
            ok = lcdcomm::detail::tokenFromReply(outcome.body, token, why);
    }
    DeviceState::instance().recordLogin(now.generation, ok ? &token : nullptr);
    if (!ok && error)
        *error = why;
    return ok;
}

} // namespace

// The token lives in the process-wide device state, next to the settings
// that produced it, so the login object has no state of its own.
HttpLogin::HttpLogin() : m_impl(nullptr) {}

HttpLogin* HttpLogin::getInstance() {
    static HttpLogin* login = new HttpLogin();
    return login;
}

std::string HttpLogin::getToken() {
    DeviceState& state = DeviceState::instance();
    const Snapshot before = state.snapshot();
    if (!before.token.empty() || before.settings.user.empty())
        return before.token;

    std::lock_guard<std::mutex> lock(state.loginMutex());
    const Snapshot now = state.snapshot();
    // A login that ended while we waited, successful or not, answers us
    // too: callers queued behind a failing device do not each wait out
    // another time-out.
    if (!now.token.empty() || now.loginAttempts != before.loginAttempts ||
        now.generation != before.generation)
        return now.token;
    loginWith(now, nullptr);
    return state.snapshot().token;
}

namespace lcdcomm {

bool login(std::string* error) {
    DeviceState& state = DeviceState::instance();
    std::lock_guard<std::mutex> lock(state.loginMutex());
    return loginWith(state.snapshot(), error);
}

} // namespace lcdcomm

namespace lcdcomm {

std::string statusText(int status) {
    if (status >= 0)
        return "HTTP status " + std::to_string(status);
    const std::string known = detail::lastFailure(status);
    return known.empty() ? detail::transportError(status) : known;
}

} // namespace lcdcomm
