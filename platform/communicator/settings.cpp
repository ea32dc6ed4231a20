#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/communicator/device_state.h"
#include "platform/communicator/lcdcomm.h"

namespace lcdcomm {

namespace {

bool read(const char* name, std::string& value) {
    const char* text = std::getenv(name);
    if (!text || !*text)
        return false;
    value = text;
    return true;
}

bool startsWithNoCase(const std::string& text, const char* prefix) {
    for (std::size_t i = 0; prefix[i]; ++i)
        if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i])
            return false;
    return true;
}

bool isPort(const std::string& text) {
    if (text.empty() || text.size() > 5)
        return false;
    for (unsigned char c : text)
        if (!std::isdigit(c))
            return false;
    const long port = std::strtol(text.c_str(), nullptr, 10);
    return port >= 1 && port <= 65535;
}

} // namespace

std::string deviceUrl(const std::string& url, std::string* why) {
    const auto refuse = [why](const char* reason) {
        if (why)
            *why = reason;
        return std::string();
    };
    const std::size_t start = startsWithNoCase(url, "http://")    ? 7
                              : startsWithNoCase(url, "https://") ? 8
                                                                  : 0;
    if (start == 0)
        return refuse("it does not start with http:// or https://");
    for (unsigned char c : url)
        if (c <= 0x20 || c >= 0x7f)
            return refuse("it holds a blank, a control byte or a byte outside ASCII");
    if (url.find_first_of("?#") != std::string::npos)
        return refuse("a query (?) or a fragment (#) cannot be part of it: each request "
                      "appends its own path");
    const std::size_t end = std::min(url.find('/', start), url.size());
    const std::string authority = url.substr(start, end - start);
    if (authority.find('@') != std::string::npos)
        return refuse("a user or password in it is not supported");
    const std::size_t bracket = authority.rfind(']');
    const std::size_t colon = authority.rfind(':');
    std::string host = authority;
    if (colon != std::string::npos && (bracket == std::string::npos || colon > bracket)) {
        if (!isPort(authority.substr(colon + 1)))
            return refuse("its port is not a number from 1 to 65535");
        host = authority.substr(0, colon);
    }
    if (host.empty())
        return refuse("it names no host");
    std::string normal = url;
    while (normal.size() > end && normal.back() == '/')
        normal.pop_back();
    return normal;
}

bool isDeviceUrl(const std::string& url) {
    return !deviceUrl(url).empty();
}

namespace {

bool isTimeout(const std::string& text, long& value) {
    if (text.empty() || text.size() > 9)
        return false;
    for (unsigned char c : text)
        if (!std::isdigit(c))
            return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value > 0;
}

} // namespace

Settings Settings::fromEnvironment() {
    Settings settings;
    settings.url = detail::kDefaultUrl;
    settings.timeoutMs = detail::kDefaultTimeoutMs;

    std::string text;
    if (read("LCD_DEVICE_URL", text)) {
        // The value itself is not echoed: it may carry what should not be logged.
        std::string why;
        const std::string url = deviceUrl(text, &why);
        if (!url.empty())
            settings.url = url;
        else
            std::fprintf(stderr, "lcdcommunicator: LCD_DEVICE_URL is not usable (%s); using %s\n",
                         why.c_str(), detail::kDefaultUrl);
    }
    if (read("LCD_DEVICE_TIMEOUT_MS", text)) {
        long value = 0;
        if (isTimeout(text, value))
            settings.timeoutMs = value;
        else
            std::fprintf(stderr,
                         "lcdcommunicator: LCD_DEVICE_TIMEOUT_MS \"%.32s\" is not a positive "
                         "number of milliseconds; using %ld\n",
                         text.c_str(), detail::kDefaultTimeoutMs);
    }
    read("LCD_DEVICE_TOKEN", settings.token);
    read("LCD_DEVICE_USER", settings.user);
    read("LCD_DEVICE_PASSWORD", settings.password);
    return settings;
}

void configure(const Settings& settings) {
    detail::DeviceState::instance().configure(settings);
}

Settings settings() {
    return detail::DeviceState::instance().snapshot().settings;
}

} // namespace lcdcomm
