#include "tools/simulator/routes.h"

#include <algorithm>

#include "tools/simulator/replies.h"

namespace LCD {
namespace Sim {

void Routes::add(const char* method, std::string pattern, Handler handler) {
    m_routes.push_back(Route{method, std::move(pattern), std::move(handler)});
}

bool Routes::matches(const std::string& pattern, const std::string& path,
                     std::string_view& segment) {
    const std::size_t star = pattern.find('*');
    if (star == std::string::npos)
        return pattern == path;
    const std::size_t tail = pattern.size() - star - 1;
    if (path.size() < pattern.size() || path.compare(0, star, pattern, 0, star) != 0 ||
        path.compare(path.size() - tail, tail, pattern, star + 1, tail) != 0)
        return false;
    segment = std::string_view(path).substr(star, path.size() - tail - star);
    return segment.find('/') == std::string_view::npos;
}

bool Routes::dispatch(const httplib::Request& req, const std::string& body,
                      httplib::Response& res) const {
    // HEAD is GET without the body, which the server leaves out.
    const std::string& method = req.method == "HEAD" ? std::string("GET") : req.method;
    for (const Route& r : m_routes) {
        std::string_view segment;
        if (r.method == method && matches(r.pattern, req.path, segment)) {
            r.handler(Call{req, body, res, segment});
            return true;
        }
    }
    const std::string allow = allowed(req.path);
    if (allow.empty()) {
        refuse(res, 404, "no such endpoint");
    } else if (req.method == "OPTIONS") {
        res.status = 204;
        res.set_header("Allow", allow);
    } else {
        refuse(res, 405, req.method + " " + req.path + " is not allowed; it takes " + allow);
        res.set_header("Allow", allow);
    }
    return false;
}

std::string Routes::allowed(const std::string& path) const {
    std::vector<std::string> methods;
    for (const Route& r : m_routes) {
        std::string_view segment;
        if (matches(r.pattern, path, segment) &&
            std::find(methods.begin(), methods.end(), r.method) == methods.end())
            methods.push_back(r.method);
    }
    std::string allow;
    for (const std::string& m : methods)
        allow += (allow.empty() ? "" : ", ") + m;
    return allow;
}

} // namespace Sim
} // namespace LCD
