#include "tools/client/exchangelog.h"

#include <cstdio>
#include <map>
#include <mutex>

#include "platform/communicator/device_said.h"

namespace lcdclient::exchangelog {

namespace {

constexpr std::size_t kShownBytes = 2000;

std::mutex g_mutex;
std::map<std::string, lcdcomm::Exchange> g_last;

std::string shown(const std::string& body) {
    if (body.size() <= kShownBytes)
        return body;
    return body.substr(0, kShownBytes) + "... (" + std::to_string(body.size()) + " bytes)";
}

void print(const lcdcomm::Exchange& e) {
    std::string heads;
    for (const auto& head : e.heads)
        heads += (heads.empty() ? "" : ", ") + head.first + ": " + head.second;
    char time[32];
    std::snprintf(time, sizeof time, "%.1f ms", e.ms);
    const std::string request = "> " + e.method + " " + e.path +
                                (heads.empty() ? "" : " (" + heads + ")") +
                                (e.body.empty() ? "" : " " + shown(e.body));
    const std::string answer =
        e.status > 0 ? "< " + std::to_string(e.status) + " in " + time + ": " + shown(e.reply)
                     : "< failed after " + std::string(time) + ": " + e.error;
    std::fprintf(stderr, "%s\n%s\n", request.c_str(), answer.c_str());
}

} // namespace

void install(bool verbose) {
    lcdcomm::observe([verbose](const lcdcomm::Exchange& exchange) {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_last[exchange.path] = exchange;
        if (verbose)
            print(exchange);
    });
}

void forget() {
    std::lock_guard<std::mutex> lock(g_mutex);
    g_last.clear();
}

lcdcomm::Exchange last(const std::string& path) {
    std::lock_guard<std::mutex> lock(g_mutex);
    const auto found = g_last.find(path);
    return found == g_last.end() ? lcdcomm::Exchange{} : found->second;
}

std::string why(const std::string& path) {
    const lcdcomm::Exchange e = last(path);
    if (e.method.empty())
        return "";
    if (e.status <= 0)
        return e.error;
    const std::string said = lcdcomm::detail::deviceSaid(e.reply);
    if (e.status != 200)
        return "HTTP status " + std::to_string(e.status) + (said.empty() ? "" : ", " + said);
    return said;
}

} // namespace lcdclient::exchangelog
