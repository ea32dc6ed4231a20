#include "tools/client/streamnews.h"

#include "tools/common/printable.h"

namespace lcdclient {

std::string StreamNews::lost(const std::string& cause, Clock::time_point now) {
    const bool proven = m_openSince && now - *m_openSince >= kProven;
    m_openSince.reset();
    m_lost = true;
    m_lossTold = proven || cause != m_lastCauseTold;
    if (!m_lossTold)
        return "";
    m_lastCauseTold = cause;
    return "stream lost, reconnecting (" + lcdtools::printable(cause) + ")";
}

std::string StreamNews::opened(Clock::time_point now) {
    m_openSince = now;
    const bool tell = m_lost && m_lossTold;
    m_lost = false;
    return tell ? "stream open again" : "";
}

} // namespace lcdclient
