// The fault that the simulated device plays on its next image-quality PUTs,
// set through the test control endpoint.
#pragma once

#include <mutex>
#include <string>

namespace LCD {
namespace Sim {

enum class FaultMode { None, Delay, Close, CloseMid, NonJson, Empty, Code, Http500, Huge };

struct Fault {
    FaultMode mode = FaultMode::None;
    int ms = 0;            // Delay
    int code = 0;          // Code
    std::size_t bytes = 0; // Huge
};

class FaultPlan {
public:
    // Reads a control body such as {"mode":"delay","ms":300,"count":2}; an
    // empty one means no fault. Returns false with a reason when it is not
    // a valid fault: a member missing, unknown or not of this mode, a
    // value out of range.
    bool set(const std::string& body, std::string& why);

    // The fault for the PUT now arriving; counts it against the limit.
    Fault next();

private:
    std::mutex m_mutex;
    Fault m_fault;
    long m_remaining = -1; // -1: until cleared
};

// The smallest "huge" reply: {"code":0,"message":""}.
constexpr std::size_t kHugeMinimumBytes = 23;

} // namespace Sim
} // namespace LCD
