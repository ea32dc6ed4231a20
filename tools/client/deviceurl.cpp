#include "tools/client/deviceurl.h"

#include <strings.h>

#include <algorithm>

#include "platform/communicator/lcdcomm.h"
#include "tools/common/printable.h"

namespace lcdclient {

std::string deviceUrlFault(std::string& url) {
    const std::string quoted = "\"" + lcdtools::printable(url, 100) + "\"";
    const std::string form = "http://HOST[:PORT] or https://HOST[:PORT]";
    const std::size_t scheme = url.find("://");
    const bool known =
        scheme != std::string::npos && (strncasecmp(url.c_str(), "http://", 7) == 0 ||
                                        strncasecmp(url.c_str(), "https://", 8) == 0);
    if (!known)
        return quoted + " is not " + form;
    const std::size_t start = scheme + 3;
    const std::size_t rest = url.find_first_of("/?#", start);
    if (url.find('@', start) < rest)
        return quoted + " has a user name in it; give it with --user";
    const std::string address = url.substr(0, rest);
    const auto has = [&](const char* what, std::size_t from, std::size_t to) {
        return quoted + " has " + what + " (" +
               lcdtools::printable(url.substr(from, to - from), 60) + "); give " + form;
    };
    std::size_t at = rest;
    if (at != std::string::npos && url[at] == '/') {
        // Only "/" is no path.
        const std::size_t end = std::min(url.find_first_of("?#", at), url.size());
        if (end - at > 1)
            return has("a path", at, end);
        at = end < url.size() ? end : std::string::npos;
    }
    if (at != std::string::npos)
        return url[at] == '?' ? has("a query", at, url.find('#', at))
                              : has("a fragment", at, std::string::npos);
    if (!lcdcomm::isDeviceUrl(address))
        return quoted + " is not " + form;
    url = address;
    return "";
}

} // namespace lcdclient
