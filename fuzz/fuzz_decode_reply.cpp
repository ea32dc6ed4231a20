// Arbitrary text as the device's reply to a set request.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "protocol/protomodel.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    LCD::ProtoModel::s_nullResponse reply;
    std::string err;
    // Every codec failure names its position.
    if (!LCD::ProtoModel::decode(text, reply, err) && err.rfind("error at line :", 0) != 0)
        std::abort();
    return 0;
}
