#include "platform/communicator/trace.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <strings.h>

#include "platform/communicator/device_json.h"
#include "platform/communicator/device_limits.h"
#include "platform/communicator/lcdcomm.h"

namespace lcdcomm::detail {

namespace {

constexpr const char* kMask = "***";

struct Failure {
    int status = 0;
    std::string text;
};

thread_local Failure t_lastFailure;

std::mutex g_mutex;
std::shared_ptr<const Observer> g_observer;
std::atomic<bool> g_observed{false};

} // namespace

void report(const std::string& method, const Heads& heads, const std::string& shownBody,
            const Outcome& outcome, bool isLogin) {
    if (!outcome.delivered)
        t_lastFailure = Failure{outcome.status, outcome.error};
    if (!g_observed.load(std::memory_order_acquire))
        return;
    std::shared_ptr<const Observer> observer;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        observer = g_observer;
    }
    if (!observer)
        return;
    Exchange exchange;
    exchange.method = method;
    exchange.path = outcome.path;
    for (const auto& head : heads)
        exchange.heads.emplace_back(
            head.first, strcasecmp(head.first.c_str(), "Authorization") == 0 ? kMask : head.second);
    exchange.body = shownBody;
    exchange.status = outcome.status;
    exchange.error = outcome.error;
    // A token cut by the end of the prefix is masked all the same.
    const std::string_view shown =
        std::string_view(outcome.body).substr(0, limits::kShownReplyBytes);
    exchange.reply = isLogin ? masked(shown, "token", "\"***\"") : std::string(shown);
    exchange.replyBytes = outcome.body.size();
    exchange.replyCut = shown.size() < outcome.body.size();
    exchange.wholeReply =
        isLogin ? std::string_view(exchange.reply) : std::string_view(outcome.body);
    exchange.said = deviceSaid(outcome.body);
    exchange.ms = outcome.ms;
    (*observer)(exchange);
}

std::string lastFailure(int status) {
    return t_lastFailure.status == status ? t_lastFailure.text : std::string();
}

} // namespace lcdcomm::detail

namespace lcdcomm {

void observe(Observer observer) {
    std::lock_guard<std::mutex> lock(detail::g_mutex);
    detail::g_observer = observer ? std::make_shared<const Observer>(std::move(observer)) : nullptr;
    detail::g_observed = detail::g_observer != nullptr;
}

} // namespace lcdcomm
