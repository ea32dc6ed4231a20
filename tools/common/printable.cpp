#include "tools/common/printable.h"

#include <cstdio>

namespace lcdtools {

namespace {

// The length of the well-formed UTF-8 sequence at `at`, or 0.
std::size_t sequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(at);
    std::size_t length = 0;
    unsigned char low = 0x80, high = 0xbf; // the second byte's range
    if (lead >= 0xc2 && lead <= 0xdf)
        length = 2;
    else if (lead >= 0xe0 && lead <= 0xef) {
        length = 3;
        low = lead == 0xe0 ? 0xa0 : 0x80;  // no overlong form
        high = lead == 0xed ? 0x9f : 0xbf; // no surrogate
    } else if (lead >= 0xf0 && lead <= 0xf4) {
        length = 4;
        low = lead == 0xf0 ? 0x90 : 0x80;
        high = lead == 0xf4 ? 0x8f : 0xbf; // nothing past U+10FFFF
    } else
        return 0;
    if (at + length > text.size() || byte(at + 1) < low || byte(at + 1) > high)
        return 0;
    for (std::size_t i = 2; i < length; ++i)
        if (byte(at + i) < 0x80 || byte(at + i) > 0xbf)
            return 0;
    return length;
}

void appendEscape(std::string& out, const char* format, unsigned value) {
    char escape[8];
    std::snprintf(escape, sizeof escape, format, value);
    out += escape;
}

} // namespace

std::string printable(std::string_view text, std::size_t maxBytes) {
    std::string out;
    std::size_t at = 0;
    while (at < text.size()) {
        const unsigned char c = static_cast<unsigned char>(text[at]);
        std::size_t length = c < 0x80 ? 1 : sequenceLength(text, at);
        if (at + (length ? length : 1) > maxBytes)
            break;
        if (c == '\t' || c == '\n' || c == '\r')
            out += c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
        else if (c < 0x20 || c == 0x7f || length == 0)
            appendEscape(out, "\\x%02x", c);
        else if (c == 0xc2 && static_cast<unsigned char>(text[at + 1]) < 0xa0)
            appendEscape(out, "\\u%04x", static_cast<unsigned char>(text[at + 1]));
        else
            out.append(text, at, length);
        at += length ? length : 1;
    }
    if (at < text.size())
        out += "... (" + std::to_string(text.size()) + " bytes)";
    return out;
}

} // namespace lcdtools
