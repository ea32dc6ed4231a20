// SIGINT and SIGTERM as lcdpanel ends on them: blocked in every thread from
// the start, so that they wait until the event loop reads them and quits.
//
//   lcdpanel::StopSignals stop;        // first thing, before any thread starts
//   ... stop.pending() while the simulator starts ...
//   QApplication application(...);
//   stop.quit(application);            // the event loop ends when one arrives
#pragma once

#include <QSocketNotifier>

#include <memory>
#include <signal.h>

class QCoreApplication;

namespace lcdpanel {

class StopSignals {
public:
    StopSignals();
    ~StopSignals();
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

    // One of them has arrived and waits.
    bool pending() const;
    void quit(QCoreApplication& application);

private:
    sigset_t m_set;
    int m_fd = -1;
    std::unique_ptr<QSocketNotifier> m_notifier;
};

} // namespace lcdpanel
