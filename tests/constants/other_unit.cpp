// A second unit that includes the table: the header must link into a program
// more than once.
#include "protocol/constants.h"

const char* otherUnitSetPath() {
    return LCD::Proto::Constants::PUTLAYERIMAGEQUALITY;
}
