// A record declaration the codec must refuse, one fault per build: ctest
// builds it once per fault and expects the compiler to name the fault.
#include "json/ajson.h"

namespace faulty {

struct Channel {
    int R = 0;
    int G = 0;
    int B = 0;
};

} // namespace faulty

#if defined(RECORD_NAMES_A_MEMBER_TWICE)
AJSON(faulty::Channel, R, G, R)
#elif defined(RECORD_LEAVES_A_MEMBER_OUT)
AJSON(faulty::Channel, R, G)
#endif

int main() {}
