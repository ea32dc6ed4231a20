// Text that came from outside (a device, a file a person gave) made safe to
// put on a terminal, on one line and at a bounded length:
//
//   lcdtools::printable("ok\x1b[2J\n");        // "ok\x1b[2J\n", the bytes written out as escapes
//   lcdtools::printable(std::string(5000, 'x'), 100);   // 100 x, then "... (5000 bytes)"
//
// Well-formed UTF-8 stays as it is, but for the C1 controls (U+0080 to
// U+009F, which some terminals obey), shown as \u0080 ... \u009f. Tab, line
// feed and carriage return become \t, \n and \r; every other control byte
// and every byte that is not part of well-formed UTF-8 becomes \xHH.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace lcdtools {

// How much of a text from outside a message quotes at most, by default.
constexpr std::size_t kQuotedBytes = 200;

// At most `maxBytes` of `text` (cut at a character, never inside one),
// escaped; a cut text ends in "... (N bytes)" with its whole length.
std::string printable(std::string_view text, std::size_t maxBytes = kQuotedBytes);

} // namespace lcdtools
