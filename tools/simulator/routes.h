// The endpoints of the simulated device by method and path, and the
// answers for a path it does not have (404) or a method a path does not
// take (405, with the methods it takes in Allow).
//
//   routes.add("GET", "/sim/layers/*/picture.png", [](const Call& call) {
//       call.segment;   // what stood for "*": one path segment
//   });
//   routes.dispatch(req, body, res);
#pragma once

#include <httplib.h>

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace LCD {
namespace Sim {

struct Call {
    const httplib::Request& req;
    const std::string& body; // read by the server, within its limit
    httplib::Response& res;
    std::string_view segment;
};

class Routes {
public:
    using Handler = std::function<void(const Call&)>;

    // `pattern`: a path, in which one "*" stands for one path segment.
    void add(const char* method, std::string pattern, Handler handler);

    // Calls the handler of the request's method and path. Returns false
    // when there is none; `res` then holds the refusal.
    bool dispatch(const httplib::Request& req, const std::string& body,
                  httplib::Response& res) const;

private:
    // The methods `path` takes, as Allow lists them: "GET, DELETE"; empty
    // for a path the device does not have.
    std::string allowed(const std::string& path) const;

    struct Route {
        std::string method, pattern;
        Handler handler;
    };
    static bool matches(const std::string& pattern, const std::string& path,
                        std::string_view& segment);
    std::vector<Route> m_routes;
};

} // namespace Sim
} // namespace LCD
