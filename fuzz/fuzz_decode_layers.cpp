// Arbitrary text as a layer list, into an empty list and into one that
// already holds an element (decoding appends).
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    using List = std::vector<LCD::ProtoModel::Layer::s_LayerImageQualityBody>;
    List fresh;
    List held(1);
    held[0].layerId = -7;
    std::string err1, err2;
    const bool ok1 = LCD::ProtoModel::decode(text, fresh, err1);
    const bool ok2 = LCD::ProtoModel::decode(text, held, err2);
    // The same text gives the same verdict, and the held element is untouched.
    if (ok1 != ok2 || err1 != err2 || held.size() != fresh.size() + 1 || held[0].layerId != -7)
        std::abort();
    return 0;
}
