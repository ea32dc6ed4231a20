#include "tools/client/devicelayers.h"

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
    LayerListReply reply;
    std::string why;
    if (!LCD::ProtoModel::decode(body, reply, why))
        return fail("the device's reply holds no list of layer records" +
                    (withCodecText ? " (" + lcdtools::printable(why) + ")" : std::string()));
    layers = std::move(reply.data);
    return true;
}

} // namespace lcdclient
