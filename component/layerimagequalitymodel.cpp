#include "component/layerimagequalitymodel.h"

#include <QDebug>
#include <QMessageLogger>
#include <QString>

#include <vector>

#include "component/api.h"
#include "host/lcdcommunicator.h"
#include "protocol/autoreport.h"
#include "protocol/constants.h"
#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"

// The model's preconditions on the host hold in every build type, so the
// standard assertion is kept even where NDEBUG is defined.
#undef NDEBUG
#include <cassert>

// Qt records file, line and function only in debug builds unless asked;
// the logger is built explicitly so every build type records them.
// QDebug puts one blank between items and quotes a QString item, so the
// texts read "url :  /movra/..." with two blanks and the auto-report error
// comes in quotation marks: that is the form the host's logs carry.
#define LAYER_WARNING() QMessageLogger(__FILE__, __LINE__, Q_FUNC_INFO).warning()

namespace layerimagequality {

namespace {

using LCD::ProtoModel::Layer::LayerList;

constexpr const char* kGlobalMessageHandler = "movra.message.globalmessagehandler";
constexpr const char* kMessageCenter = "pqx_default_messagecenter";

} // namespace

LayerImageQualityModel::LayerImageQualityModel()
    : m_msgHandler(nullptr), m_name("layerimagequalitymodelmsg") {
    pqx::IApi* host = pqx::api::get().iapi;
    m_msgHandler = host ? host->findMessageHandler(kGlobalMessageHandler, m_name.c_str(), nullptr,
                                                   nullptr, nullptr, 0)
                        : nullptr;
    assert(m_msgHandler);
    m_msgHandler->registerClient(m_name);
    initialize();
}

LayerImageQualityModel::~LayerImageQualityModel() = default;

void LayerImageQualityModel::initialize() {
    {
        pqx::MessageHandler handler =
            std::bind(&LayerImageQualityModel::setLayerImageQuality, this, std::placeholders::_1);
        m_msgHandler->registerRequestHandler(kSetLayerImageQuality, handler);
    }
    {
        pqx::MessageHandler handler = std::bind(&LayerImageQualityModel::changeLayerImageQuality,
                                                this, std::placeholders::_1);
        m_msgHandler->registerNotificationHandler(kAutoReportLayerImageQuality, handler);
    }
}

pqx::IMessage* LayerImageQualityModel::setLayerImageQuality(const pqx::IMessage* request) {
    if (request->getDataSize() != sizeof(LayerList) || request->getData() == nullptr) {
        LAYER_WARNING() << "[layer] msg data is null.";
        return nullptr;
    }
    const LayerList layers = *static_cast<const LayerList*>(request->getData());

    std::string json;
    LCD::ProtoModel::encode(json, layers);

    HttpClient* client = HttpSingleTon::getInstance()->getHttpClient();
    HttpRequest* httpRequest = client->createRequest(LCD::Proto::Constants::HTTPPUTREQUEST,
                                                     LCD::Proto::Constants::PUTLAYERIMAGEQUALITY);
    httpRequest->setHead("Content-Type", LCD::Proto::Constants::CONTENTTYPE);
    {
        const std::string token = HttpLogin::getInstance()->getToken();
        httpRequest->setHead("Authorization", token.c_str());
    }
    httpRequest->setBody(json.c_str(), static_cast<int>(json.size()));

    int status = 0;
    HttpRespon* response = client->sendRequest(httpRequest, &status);
    if (response == nullptr) {
        LAYER_WARNING() << "[layer] send request failed. url : "
                        << LCD::Proto::Constants::PUTLAYERIMAGEQUALITY;
        return nullptr;
    }
    const std::string reply(response->getBody(), response->getBodySize());

    LCD::ProtoModel::s_nullResponse result;
    result.code = 0;
    result.message.clear();
    std::string err;
    if (!LCD::ProtoModel::decode(reply, result, err)) {
        LAYER_WARNING() << "[layer] decode json failed : " << err.c_str();
    }
    // An answer that cannot be read leaves the code at 0 and counts as
    // accepted: the device did answer the PUT; the warning above says that
    // its words were lost.
    const bool accepted = result.code == 0;

    pqx::IApi* host = pqx::api::get().iapi;
    pqx::IMessageCenter* messageCenter = host ? host->findMessageCenter(kMessageCenter) : nullptr;
    assert(messageCenter);
    return messageCenter->createMessage(request->getReplyId(), m_name.c_str(), sizeof(accepted),
                                        &accepted, 0);
}

pqx::IMessage* LayerImageQualityModel::changeLayerImageQuality(const pqx::IMessage* report) {
    if (report->getDataSize() == 0 || report->getData() == nullptr) {
        LAYER_WARNING() << "[layer] data does not matches.";
        return nullptr;
    }
    const std::string text(static_cast<const char*>(report->getData()));

    LCD::AutoReport::LCDAutoReportData data;
    std::string err;
    if (!LCD::ProtoModel::decode(text, data, err)) {
        LAYER_WARNING() << "[layer] " << err.c_str();
        return nullptr;
    }
    if (data.tl.ErrorCode != 0) {
        LAYER_WARNING() << QString("[layer] auto report data error. error code : %1.")
                               .arg(static_cast<unsigned>(data.tl.ErrorCode));
        return nullptr;
    }

    LayerList layers;
    if (!LCD::ProtoModel::decode(data.body, layers, err)) {
        LAYER_WARNING() << err.c_str();
        return nullptr;
    }
    m_msgHandler->postMessage(kLayerImageQualityChanged, sizeof(layers), &layers, 0);
    return nullptr;
}

} // namespace layerimagequality

template <>
pqx::ComponentInfo pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::componentInfo{
    &pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::creator,
    &pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::deletor,
    &pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::getMessageHandler,
    "movra.lcd.model.layer.imagequality",
    "{\"end\":0 }\r\n",
};
