// The whole plug-in through the stand-in host: a set request of a layer
// list and a claimed payload size from the input, answered by a device
// whose reply text is the input's, and an auto-report of any text. A set
// whose payload size is the list's is answered with one byte, whatever the
// reply; any other is not answered. The plug-in's warnings are dropped.
#include <QtGlobal>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/messageids.h"
#include "host/pqxplugin.h"
#include "platform/framework/host.h"
#include "protocol/layerimagequality.h"
#include "tests/support/fake_communicator.h"

extern "C" const pqx::PluginInfo* pluginfo();
extern "C" void pluginit(pqx::IApi* api);

namespace {

using Layers = std::vector<LCD::ProtoModel::Layer::s_LayerImageQualityBody>;

struct Loaded {
    pqxhost::Host host{1};
    void* component; // lives as long as the process
    Loaded() {
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
        pluginit(&host);
        component = pluginfo()->componentTable[0]->creator();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static Loaded loaded;
    if (size < 2)
        return 0;
    // Up to 7 layers whose first members come from the input; then the
    // reply and the report, split at the first NUL.
    Layers layers(data[0] % 8);
    for (std::size_t i = 0; i < layers.size(); ++i)
        std::memcpy(&layers[i], data, std::min(size, sizeof layers[i]));
    const std::string rest(reinterpret_cast<const char*>(data) + 2, size - 2);
    fake_comm::calls().clear();
    fake_comm::script().reply = rest.substr(0, rest.find('\0'));
    static const std::uint32_t sizes[] = {sizeof(Layers), 0, 1, sizeof(Layers) + 1, 0xffffffffu};
    const std::uint32_t claimed = sizes[data[1] % 5];
    const pqxhost::Answer answer =
        loaded.host.sendRequest(LCD::MessageId::kSetLayerImageQuality, &layers, claimed);
    if ((answer.status == pqxhost::Answer::Status::answered && answer.payload.size() == 1) !=
        (claimed == sizeof layers))
        std::abort();
    loaded.host.deliverText(LCD::MessageId::kAutoReportLayerImageQuality,
                            rest.substr(std::min(rest.size(), rest.find('\0') + 1)));
    loaded.host.waitIdle();
    return 0;
}
