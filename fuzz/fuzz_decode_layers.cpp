// Arbitrary text as a layer list, into an empty list and into one that
// already holds an element (decoding appends), and read once more by
// scanning alone: what compact text lets the reader take in place must
// give exactly what the plain rules give.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/support/codec.h"

namespace {

using List = LCD::ProtoModel::Layer::LayerList;

using testsupport::decode_scanning;

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    List fresh;
    List held(1);
    held[0].layerId = -7;
    List scanned;
    std::string err1, err2, err3;
    const bool ok1 = LCD::ProtoModel::decode(text, fresh, err1);
    const bool ok2 = LCD::ProtoModel::decode(text, held, err2);
    const bool ok3 = decode_scanning(text, scanned, err3);
    // The same text gives the same verdict, and the held element is untouched.
    if (ok1 != ok2 || err1 != err2 || held.size() != fresh.size() + 1 || held[0].layerId != -7)
        std::abort();
    if (ok1 != ok3 || err1 != err3 || scanned.size() != fresh.size() ||
        (!fresh.empty() &&
         std::memcmp(fresh.data(), scanned.data(), fresh.size() * sizeof fresh[0]) != 0))
        std::abort();
    return 0;
}
