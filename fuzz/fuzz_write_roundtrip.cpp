// Arbitrary text as a layer list: the verdict, error text and records are
// the same into an empty list, into one that already holds an element
// (decoding appends and leaves it alone) and by the plain scanning rules
// alone, which compact text lets the reader pass by in place. Whatever
// decodes must encode and decode back to the same values, stored whole or
// written piece by piece; and any bytes written as a JSON string must read
// back to text that writes the same string again.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "protocol/layerimagequality.h"
#include "protocol/protomodel.h"
#include "tests/support/codec.h"
#include "tests/support/layer_records.h"

using layer_records::List;
using layer_records::same_records;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);

    List first, held(1), scanned;
    held[0].layerId = -7;
    std::string err, err2, err3;
    const bool decoded = LCD::ProtoModel::decode(text, first, err);
    if (LCD::ProtoModel::decode(text, held, err2) != decoded || err2 != err ||
        held.size() != first.size() + 1 || held[0].layerId != -7)
        std::abort();
    if (testsupport::decode_scanning(text, scanned, err3) != decoded || err3 != err ||
        !same_records(scanned, first))
        std::abort();
    if (decoded) {
        const std::string body = testsupport::json_of(first);
        // Records stored whole give the bytes and the buffer of their pieces.
        ajson::ajson_string_stream<> whole(1024);
        ajson::lite_write<ajson::ajson_string_stream<>> w1(whole);
        ajson::json_impl<List>::write(w1, first);
        testsupport::pieces_only<> pieces(1024);
        ajson::lite_write<testsupport::pieces_only<>> w2(pieces);
        ajson::json_impl<List>::write(w2, first);
        if (std::string(pieces.data(), pieces.size()) != body ||
            pieces.capacity() != whole.capacity())
            std::abort();
        List second;
        if (!LCD::ProtoModel::decode(body, second, err) || !same_records(first, second))
            std::abort();
        if (testsupport::json_of(second) != body)
            std::abort();
    }

    const std::string json = testsupport::json_of(text);
    for (const char c : json)
        if (static_cast<unsigned char>(c) >= 0x80)
            std::abort(); // the writer's output is pure ASCII
    std::string back;
    if (!ajson::escape_string(back, json.data() + 1, json.size() - 2))
        std::abort();
    if (testsupport::json_of(back) != json)
        std::abort();
    return 0;
}
