#include "tools/common/wholenumber.h"

#include <charconv>
#include <climits>

#include "tools/common/printable.h"

namespace lcdtools {

bool parseWhole(std::string_view text, long long low, long long high, long long& value) {
    const std::size_t digitsFrom = !text.empty() && text[0] == '-' ? 1 : 0;
    if (text.size() == digitsFrom ||
        text.find_first_not_of("0123456789", digitsFrom) != std::string_view::npos)
        return false;
    long long parsed = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), parsed);
    if (failure != std::errc() || end != text.data() + text.size() || parsed < low || parsed > high)
        return false;
    value = parsed;
    return true;
}

std::string wholeNumberFault(std::string_view text, long long low, long long high) {
    const std::string quoted = "\"" + printable(text, 40) + "\" is not ";
    if (low == INT_MIN && high == INT_MAX)
        return quoted + "a 32-bit integer";
    return quoted + "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
}

} // namespace lcdtools
