// A second unit that includes the table, to show each unit has its own copy.
#include "protocol/constants.h"

const char* const* otherUnitSetPathAddress() {
  return &LCD::Proto::Constants::PUTLAYERIMAGEQUALITY;
}

const char* otherUnitSetPath() { return LCD::Proto::Constants::PUTLAYERIMAGEQUALITY; }
