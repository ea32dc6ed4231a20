#include "tools/simulator/requestbody.h"

#include <strings.h>

#include <limits>

#include "tools/common/wholenumber.h"
#include "tools/simulator/limits.h"

namespace LCD {
namespace Sim {
namespace {

std::string tooLarge() {
    return "request body larger than " + std::to_string(kMaxBodyBytes) + " bytes";
}

// The body's stated length; -1 when there is none, -2 when it is no number.
long long statedLength(const httplib::Request& req) {
    if (!req.has_header("Content-Length"))
        return -1;
    long long length = 0;
    return lcdtools::parseWhole(req.get_header_value("Content-Length"), 0,
                                std::numeric_limits<long long>::max(), length)
               ? length
               : -2;
}

} // namespace

bool bodyTooLarge(const httplib::Request& req, std::string& why) {
    const long long length = statedLength(req);
    if (length < 0 || static_cast<unsigned long long>(length) <= kMaxBodyBytes)
        return false;
    why = tooLarge();
    return true;
}

int readBody(const httplib::Request& req, const httplib::ContentReader& reader, std::string& body,
             std::string& why) {
    const long long length = statedLength(req);
    const bool chunked =
        strcasecmp(req.get_header_value("Transfer-Encoding").c_str(), "chunked") == 0;
    if (length == -2) {
        why = "Content-Length is not a number";
        return 400;
    }
    if (bodyTooLarge(req, why))
        return 413;
    if (length <= 0 && !chunked)
        return 0;
    if (req.is_multipart_form_data()) {
        why = "the device takes JSON bodies, not multipart forms";
        return 415;
    }
    if (length > 0)
        body.reserve(static_cast<std::size_t>(length));
    bool over = false;
    const bool whole = reader([&](const char* data, std::size_t n) {
        over = body.size() + n > kMaxBodyBytes;
        if (!over)
            body.append(data, n);
        return !over;
    });
    if (whole)
        return 0;
    why = over ? tooLarge() : "the request body did not arrive whole";
    return over ? 413 : 400;
}

} // namespace Sim
} // namespace LCD
