// A whole decimal number within bounds, as every program of ours reads one
// from a person (an option, a member value, a layer id in a path):
//
//   long long n;
//   lcdtools::parseWhole("-10", -180, 180, n);   // true, n == -10
//   lcdtools::parseWhole("1e3", 0, 5000, n);     // false: digits only
//
// An optional '-' and digits, nothing else: no blanks, no '+', no radix
// prefix.
#pragma once

#include <string>
#include <string_view>

namespace lcdtools {

// True when `text` is such a number from `low` to `high`; `value` is set
// only then.
bool parseWhole(std::string_view text, long long low, long long high, long long& value);

// The fault a message names when parseWhole refuses `text`, one wording
// for every program: "\"abc\" is not a 32-bit integer" when the bounds are
// those of a 32-bit integer, else "\"abc\" is not a whole number from 0 to
// 86400". The text is quoted printable.
std::string wholeNumberFault(std::string_view text, long long low, long long high);

} // namespace lcdtools
