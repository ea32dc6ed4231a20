#include "tools/client/devicelayers.h"

#include "host/lcdcommunicator.h"
#include "platform/communicator/device_said.h"
#include "platform/communicator/lcdcomm.h"
#include "protocol/constants.h"
#include "protocol/protomodel.h"

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

bool readDeviceLayers(LayerList& layers, std::string* error) {
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
    LayerListReply reply;
    std::string why;
    if (!LCD::ProtoModel::decode(body, reply, why))
        return fail(lcdcomm::statusText(status) + ", and the reply could not be read: " + why);
    if (reply.code != 0 || status != 200) {
        const std::string said = lcdcomm::detail::deviceSaid(body);
        return fail("the device refused: " + lcdcomm::statusText(status) +
                    (said.empty() ? "" : ", " + said));
    }
    layers = std::move(reply.data);
    return true;
}

} // namespace lcdclient
