#include "tools/lcdpanel/applypacer.h"

namespace lcdpanel {

ApplyPacer::ApplyPacer(Send send, int intervalMs, QObject* parent)
    : QObject(parent), m_send(std::move(send)) {
    m_interval.setSingleShot(true);
    // Never early: a coarse timer may fire up to 5 % before its time.
    m_interval.setTimerType(Qt::PreciseTimer);
    m_interval.setInterval(intervalMs);
    connect(&m_interval, &QTimer::timeout, this, &ApplyPacer::sendIfDue);
}

void ApplyPacer::offer(const lcdclient::LayerRecord& record) {
    m_waiting[record.layerId] = record;
    sendIfDue();
}

void ApplyPacer::answered() {
    m_inFlight = false;
    sendIfDue();
}

void ApplyPacer::sendIfDue() {
    if (m_inFlight || m_interval.isActive() || m_waiting.empty())
        return;
    lcdclient::LayerList layers;
    for (const auto& waiting : m_waiting)
        layers.push_back(waiting.second);
    m_waiting.clear();
    m_inFlight = true;
    m_interval.start();
    m_send(layers);
}

} // namespace lcdpanel
