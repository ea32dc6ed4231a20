// lcdhost's name for lcdcomm::deviceSaid, until it calls that itself.
#pragma once

#include "platform/communicator/lcdcomm.h"

namespace lcdcomm::detail {

using lcdcomm::deviceSaid;

} // namespace lcdcomm::detail
