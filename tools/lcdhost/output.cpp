#include "tools/lcdhost/output.h"

#include <cstdio>
#include <ctime>
#include <iostream>

#include "tools/client/layersummary.h"
#include "tools/common/printable.h"
#include "tools/common/standardoutput.h"

namespace lcdhost {

namespace {

// Room for our words around what they quote, each quote bounded already.
constexpr std::size_t kErrorBytes = 4000;

} // namespace

void Output::say(const std::string& line) const {
    if (!quiet && !json) {
        std::cout << line << "\n";
        lcdtools::standardoutput::flush();
    }
}

void Output::sayJson(const std::function<void(std::ostream&)>& write) const {
    if (json) {
        write(std::cout);
        std::cout << "\n";
        lcdtools::standardoutput::flush();
    }
}

std::string jsonText(const Json& value) {
    return value.dump(-1, ' ', false, Json::error_handler_t::replace);
}

void Output::error(const std::string& line) const {
    // The last door before the terminal: whatever of the device a cause
    // quotes stays one line of printable text.
    std::cerr << "lcdhost: " << lcdtools::printable(line, kErrorBytes) << "\n";
}

void Output::note(const std::string& line) const {
    if (verbose)
        error(line);
}

std::string describe(const lcdclient::LayerList& layers) {
    if (layers.empty())
        return "no layers";
    std::string text;
    for (const auto& layer : layers)
        text += (text.empty() ? "" : "; ") + lcdclient::summary(layer);
    return text;
}

std::string timestamp(Clock::time_point when, bool utc) {
    const std::time_t seconds = Clock::to_time_t(when);
    const auto ms =
        std::chrono::duration_cast<std::chrono::milliseconds>(when.time_since_epoch()).count() %
        1000;
    std::tm parts{};
    if (utc)
        gmtime_r(&seconds, &parts);
    else
        localtime_r(&seconds, &parts);
    char text[40];
    std::size_t n =
        std::strftime(text, sizeof text, utc ? "%Y-%m-%dT%H:%M:%S" : "%Y-%m-%d %H:%M:%S", &parts);
    n += static_cast<std::size_t>(
        std::snprintf(text + n, sizeof text - n, ".%03d", static_cast<int>(ms)));
    std::strftime(text + n, sizeof text - n, utc ? "Z" : " %z", &parts);
    return text;
}

} // namespace lcdhost
