#include "tools/client/devicelayers.h"

#include <string_view>

#include "host/lcdcommunicator.h"
#include "platform/communicator/device_said.h"
#include "platform/communicator/lcdcomm.h"
#include "protocol/constants.h"
#include "protocol/protomodel.h"
#include "tools/client/replycode.h"
#include "tools/common/printable.h"

namespace lcdclient {
namespace {

// The device's list reply: the generic code and message, the layers in data.
struct LayerListReply {
    int code = -1;
    std::string message;
    LayerList data;
};

// How many records the reply's list holds as its text stands, counted up
// to one past `most` without reading them: the objects two levels in
// (`{"data":[{...},...]}`), strings skipped. One loop, no depth on the stack.
std::size_t recordsIn(std::string_view text, std::size_t most) {
    std::size_t count = 0, depth = 0;
    bool inString = false, escaped = false;
    for (const char c : text) {
        if (inString) {
            if (escaped)
                escaped = false;
            else if (c == '\\')
                escaped = true;
            else if (c == '"')
                inString = false;
        } else if (c == '"') {
            inString = true;
        } else if (c == '{' || c == '[') {
            if (c == '{' && depth == 2 && ++count > most)
                break;
            ++depth;
        } else if ((c == '}' || c == ']') && depth > 0) {
            --depth;
        }
    }
    return count;
}

} // namespace
} // namespace lcdclient

AJSON(lcdclient::LayerListReply, code, message, data)

namespace lcdclient {

bool readDeviceLayers(LayerList& layers, std::string* error, bool withCodecText) {
    auto fail = [error](const std::string& why) {
        if (error)
            *error = why;
        return false;
    };
    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    HttpRequest* request =
        client->createRequest(LCD::Proto::Constants::HTTPGETREQUEST,
                              LCD::Proto::Constants::MOVRAPROTOGETLAYERSLISTDETAIL);
    request->setHead("Authorization", HttpLogin::getInstance()->getToken().c_str());
    int status = 0;
    const HttpRespon* response = client->sendRequest(request, &status);
    if (!response)
        return fail(lcdcomm::statusText(status));
    const std::string body(response->getBody(), response->getBodySize());
    const ReplyCode code = readReplyCode(body);
    const bool statusOk = status >= 200 && status <= 299;
    if (!statusOk || code.kind == ReplyCode::Kind::other) {
        const std::string said = code.said(lcdcomm::detail::deviceSaid(body));
        return fail(
            "the device refused: " +
            (statusOk ? said : lcdcomm::statusText(status) + (said.empty() ? "" : ", " + said)));
    }
    if (code.kind != ReplyCode::Kind::zero)
        return fail(code.fault());
    if (recordsIn(body, kMostLayers) > kMostLayers)
        return fail("the device's list holds more than " + std::to_string(kMostLayers) + " layers");
    LayerListReply reply;
    std::string why;
    if (!LCD::ProtoModel::decode(body, reply, why))
        return fail("the device's reply holds no list of layer records" +
                    (withCodecText ? " (" + lcdtools::printable(why) + ")" : std::string()));
    layers = std::move(reply.data);
    return true;
}

} // namespace lcdclient
