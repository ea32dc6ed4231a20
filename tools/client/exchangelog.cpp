#include "tools/client/exchangelog.h"

#include <atomic>
#include <cstdio>
#include <map>
#include <mutex>

#include "tools/common/printable.h"

namespace lcdclient::exchangelog {

namespace {

// Enough of a body to see what it is; a reply of megabytes stays one
// bounded line.
constexpr std::size_t kShownBytes = 2000;

std::mutex g_mutex;
std::map<std::string, Seen> g_last;
std::atomic<bool> g_installed{false}, g_verbose{false};

Seen judge(const lcdcomm::Exchange& e) {
    Seen seen;
    seen.any = true;
    seen.status = e.status;
    seen.error = lcdtools::printable(e.error);
    if (!seen.answered())
        return seen;
    seen.code = readReplyCode(e.wholeReply);
    if (!seen.statusOk() || seen.code.kind != ReplyCode::Kind::zero)
        seen.said = seen.code.said(e.said);
    return seen;
}

} // namespace

void print(const lcdcomm::Exchange& e) {
    std::string heads;
    for (const auto& head : e.heads)
        heads += (heads.empty() ? "" : ", ") + head.first + ": " + head.second;
    char time[32];
    std::snprintf(time, sizeof time, "%.1f ms", e.ms);
    const std::string request =
        "> " + e.method + " " + lcdtools::printable(e.path, kShownBytes) +
        (heads.empty() ? "" : " (" + lcdtools::printable(heads, kShownBytes) + ")") +
        (e.body.empty() ? "" : " " + lcdtools::printable(e.body, kShownBytes));
    // An answer without a body (an event stream's head) may still say why
    // it was refused.
    const std::string_view said = e.wholeReply.empty() ? std::string_view(e.error) : e.wholeReply;
    const std::string answer =
        e.status > 0 ? "< " + std::to_string(e.status) + " in " + time +
                           (said.empty() ? "" : ": " + lcdtools::printable(said, kShownBytes))
                     : "< failed after " + std::string(time) + ": " +
                           lcdtools::printable(e.error, kShownBytes);
    std::fprintf(stderr, "%s\n%s\n", request.c_str(), answer.c_str());
}

void install(bool verbose) {
    g_verbose = verbose;
    g_installed = true;
    lcdcomm::observe(take);
}

void take(const lcdcomm::Exchange& exchange) {
    if (!g_installed)
        return;
    Seen seen = judge(exchange);
    std::lock_guard<std::mutex> lock(g_mutex);
    g_last[exchange.path] = std::move(seen);
    if (g_verbose)
        print(exchange);
}

void forget() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_last.clear();
}

Seen last(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto found = g_last.find(path);
    return found == g_last.end() ? Seen{} : found->second;
}

std::string why(const std::string& path) {
    const Seen seen = last(path);
    if (!seen.any)
        return "";
    if (!seen.answered())
        return seen.error;
    if (!seen.statusOk())
        return "HTTP status " + std::to_string(seen.status) +
               (seen.said.empty() ? "" : ", " + seen.said);
    return seen.said;
}

} // namespace lcdclient::exchangelog
