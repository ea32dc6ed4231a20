// Set requests at the pace the device can take while a person drags a
// slider: at most one request in flight, at most one begun every interval
// (100 ms), and always the latest values. Records offered while a request
// is in flight or too soon after one wait, the newest of each layer
// replacing the older, and go together in the next request.
//
//   lcdpanel::ApplyPacer pacer([&](const LayerList& layers) { link.set(layers); });
//   pacer.offer(record);     // sent now, or when the interval is over
//   ... the answer came:
//   pacer.answered();        // sends what waits, if the interval is over
#pragma once

#include <QObject>
#include <QTimer>

#include <functional>
#include <map>

#include "tools/client/layersummary.h"
#include "tools/client/session.h"

namespace lcdpanel {

class ApplyPacer : public QObject {
    Q_OBJECT
public:
    using Send = std::function<void(const lcdclient::LayerList&)>;

    explicit ApplyPacer(Send send, int intervalMs = 100, QObject* parent = nullptr);

    void offer(const lcdclient::LayerRecord& record);
    void answered();

private:
    void sendIfDue();

    Send m_send;
    QTimer m_interval;
    bool m_inFlight = false;
    std::map<int, lcdclient::LayerRecord> m_waiting;
};

} // namespace lcdpanel
