// The device's auto-reports: each an envelope with its own sequence
// number, written to every open event stream in the order of the numbers.
//
//   reports.publish(0, "[{\"layerId\":3,...}]");   // the body: a layer list as text
#pragma once

#include <cstddef>
#include <mutex>
#include <string>

#include "tools/simulator/eventhub.h"

namespace LCD {
namespace Sim {

class AutoReports {
public:
    explicit AutoReports(EventHub& hub) : m_hub(hub) {}

    // A report with this error code and body. Returns the streams it went to.
    std::size_t publish(unsigned long errorCode, std::string body);
    // `text` as the data of a report event, envelope or not.
    std::size_t publishRaw(const std::string& text);
    // Reports published so far.
    unsigned long count() const;

private:
    EventHub& m_hub;
    mutable std::mutex m_mutex; // numbering and publishing in one order
    unsigned long m_seq = 0;
    unsigned long m_count = 0;
};

} // namespace Sim
} // namespace LCD
