// Arbitrary text as a device auto-report, taken the way the model takes it:
// the envelope first, then, when its error code is 0, the body as a layer list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/autoreport.h"
#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    LCD::AutoReport::LCDAutoReportData report;
    std::string err;
    if (!LCD::ProtoModel::decode(text, report, err)) {
        if (err.rfind("error at line :", 0) != 0)
            std::abort();
        return 0;
    }
    if (report.tl.ErrorCode != 0)
        return 0;
    std::vector<LCD::ProtoModel::Layer::s_LayerImageQualityBody> layers;
    if (!LCD::ProtoModel::decode(report.body, layers, err) && err.rfind("error at line :", 0) != 0)
        std::abort();
    return 0;
}
