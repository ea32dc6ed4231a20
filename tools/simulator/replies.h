// The device's answers: a JSON object with "code" and "message", and the
// codes it uses.
//
//   reply(res, 401, status(kCodeUnauthorized, "unauthorized"));
//   refuse(res, 413, "request body larger than 67108864 bytes");
#pragma once

#include <httplib.h>

#include <string>

#include "tools/simulator/layerrecords.h"

namespace LCD {
namespace Sim {

constexpr int kCodeBadLogin = 10001;
constexpr int kCodeUnauthorized = 10002;
constexpr int kCodeMalformed = 20001;
constexpr int kCodeUnknownLayer = 20002;

Json status(int code, const std::string& message);

// `body` as the answer with HTTP status `httpStatus`.
void reply(httplib::Response& res, int httpStatus, const Json& body);

// A refusal at the HTTP level: the status is also the code.
void refuse(httplib::Response& res, int httpStatus, const std::string& message);

// The answer whose body is `text`, JSON already, taken without a copy.
void replyText(httplib::Response& res, std::string text);

} // namespace Sim
} // namespace LCD
