#include "tools/simulator/wakesignal.h"

#include <sys/eventfd.h>
#include <unistd.h>

#include <cstdint>

namespace LCD {
namespace Sim {

WakeSignal::WakeSignal() : m_fd(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {}

WakeSignal::~WakeSignal() {
    ::close(m_fd);
}

void WakeSignal::raise() {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t n = ::write(m_fd, &one, sizeof one);
}

void WakeSignal::clear() {
    std::uint64_t count = 0;
    [[maybe_unused]] const ssize_t n = ::read(m_fd, &count, sizeof count);
}

} // namespace Sim
} // namespace LCD
