#include "platform/framework/lcdhost/pluginwarnings.h"

#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstring>
#include <mutex>

namespace lcdhost::pluginwarnings {

namespace {

constexpr const char* kPrefix = "[layer] ";
constexpr const char* kUnreadable = "decode json failed :";

std::mutex g_mutex;
std::vector<std::string> g_setWarnings;
bool g_quiet = false;

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    const std::size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? "" : text.substr(first, last - first + 1);
}

// The plug-in's own words stay as they are; the one a user meets most
// often is said plainly.
std::string forAnswerLine(const std::string& text) {
    const std::string rest = text.substr(std::strlen(kPrefix));
    if (rest.compare(0, std::strlen(kUnreadable), kUnreadable) == 0)
        return "the device's reply could not be read: " +
               trimmed(rest.substr(std::strlen(kUnreadable)));
    return trimmed(rest);
}

void onMessage(QtMsgType, const QMessageLogContext& context, const QString& message) {
    const std::string text = message.toStdString();
    // The plug-in names the function that logs; a set request's handler
    // is the only one that runs while lcdhost waits for an answer.
    const bool fromSet = context.function != nullptr &&
                         std::strstr(context.function, "setLayerImageQuality") != nullptr &&
                         text.compare(0, std::strlen(kPrefix), kPrefix) == 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    if (fromSet)
        g_setWarnings.push_back(forAnswerLine(text));
    else if (!g_quiet)
        std::fprintf(stderr, "lcdhost: plug-in: %s\n", text.c_str());
}

} // namespace

void install(bool quiet) {
    {
        std::lock_guard<std::mutex> lock(g_mutex);
        g_quiet = quiet;
    }
    qInstallMessageHandler(onMessage);
}

std::vector<std::string> takeSetWarnings() {
    std::lock_guard<std::mutex> lock(g_mutex);
    std::vector<std::string> taken;
    taken.swap(g_setWarnings);
    return taken;
}

} // namespace lcdhost::pluginwarnings
