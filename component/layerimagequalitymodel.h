// The model behind the image-quality settings of display layers.
//
// It joins the host's global message handler as "layerimagequalitymodelmsg"
// and handles two messages:
//   0xfc050410  set request: the layer list is PUT to the device; the answer
//               is one byte, true when the device accepted it;
//   0x0008110d  device auto-report: the reported layers are posted on as
//               0xfc08040b.
// The object is never changed after construction, so both handlers may run on
// several host threads at once.
#pragma once

#include <cstdint>
#include <string>

#include "component/componenttmpl.h"
#include "host/messageids.h"
#include "host/pqx.h"

namespace layerimagequality {

using LCD::MessageId::kAutoReportLayerImageQuality;
using LCD::MessageId::kLayerImageQualityChanged;
using LCD::MessageId::kSetLayerImageQuality;

class LayerImageQualityModel {
public:
    // Finds the global message handler through the host API and registers
    // the model; a host without one stops the process (assertion).
    LayerImageQualityModel();
    virtual ~LayerImageQualityModel();

    // Registers the two handlers; called once, by the constructor.
    void initialize();

    pqx::IMessage* setLayerImageQuality(const pqx::IMessage* request);
    pqx::IMessage* changeLayerImageQuality(const pqx::IMessage* report);

private:
    pqx::IMessageHandler* m_msgHandler;
    std::string m_name;
};

} // namespace layerimagequality

template <>
pqx::ComponentInfo pqx::ComponentTmpl<layerimagequality::LayerImageQualityModel>::componentInfo;
