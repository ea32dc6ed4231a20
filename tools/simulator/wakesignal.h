// How one thread ends another's poll at once: a descriptor that polls
// readable from raise() until the polling thread clears it.
//
//   fds.push_back(pollfd{wake.fd(), POLLIN, 0});  ...  poll(...);  wake.clear();
//   wake.raise();   // from any thread
#pragma once

namespace LCD {
namespace Sim {

class WakeSignal {
public:
    WakeSignal();
    ~WakeSignal();
    WakeSignal(const WakeSignal&) = delete;
    WakeSignal& operator=(const WakeSignal&) = delete;

    int fd() const { return m_fd; }
    void raise();
    void clear();

private:
    int m_fd;
};

} // namespace Sim
} // namespace LCD
