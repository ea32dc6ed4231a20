#include "tools/client/pluginwarnings.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <mutex>

#include "tools/common/printable.h"

namespace lcdclient::pluginwarnings {

namespace {

constexpr const char* kPrefix = "[layer] ";
constexpr const char* kUnreadable = "decode json failed";
constexpr const char* kSendFailed = "send request failed";

std::mutex g_mutex;
std::vector<std::string> g_setWarnings;
bool g_quiet = false;
std::function<void(const std::string&)> g_other;
QtMessageHandler g_before = nullptr;

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

void onMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    // The plug-in names the function that logs, always one of its model's.
    const char* function = context.function ? context.function : "";
    if (std::strstr(function, "layerimagequality::") == nullptr) {
        if (g_before)
            g_before(type, context, message);
        return;
    }
    const std::string text = message.toStdString();
    // A set request's handler is the only one that runs while a requester
    // waits for an answer.
    const bool fromSet = std::strstr(function, "setLayerImageQuality") != nullptr &&
                         text.compare(0, std::strlen(kPrefix), kPrefix) == 0;
    std::function<void(const std::string&)> other;
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        if (fromSet) {
            g_setWarnings.push_back(text);
            return;
        }
        if (g_quiet)
            return;
        other = g_other;
    }
    if (other)
        other(text);
    else
        std::fprintf(stderr, "lcdhost: plug-in: %s\n", lcdtools::printable(text).c_str());
}

} // namespace

std::string inWords(const std::string& warning) {
    const std::size_t prefix =
        warning.compare(0, std::strlen(kPrefix), kPrefix) == 0 ? std::strlen(kPrefix) : 0;
    const std::string rest = trimmed(warning.substr(prefix));
    if (rest.compare(0, std::strlen(kUnreadable), kUnreadable) == 0)
        return "the device's reply could not be read";
    if (rest.compare(0, std::strlen(kSendFailed), kSendFailed) == 0)
        return "the set request was not delivered";
    return lcdtools::printable(rest);
}

void install(bool quiet, std::function<void(const std::string&)> other) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_quiet = quiet;
        g_other = std::move(other);
    }
    const QtMessageHandler before = qInstallMessageHandler(onMessage);
    if (before != onMessage)
        g_before = before;
}

std::vector<std::string> takeSetWarnings() {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<std::string> taken;
    taken.swap(g_setWarnings);
    return taken;
}

} // namespace lcdclient::pluginwarnings
