#include "tools/simulator/replies.h"

namespace LCD {
namespace Sim {

Json status(int code, const std::string& message) {
    return Json{{"code", code}, {"message", message}};
}

void reply(httplib::Response& res, int httpStatus, const Json& body) {
    res.status = httpStatus;
    res.set_content(body.dump(), "application/json");
}

void refuse(httplib::Response& res, int httpStatus, const std::string& message) {
    reply(res, httpStatus, status(httpStatus, message));
}

void replyText(httplib::Response& res, std::string text) {
    res.status = 200;
    res.body = std::move(text);
    res.set_header("Content-Type", "application/json");
}

} // namespace Sim
} // namespace LCD
