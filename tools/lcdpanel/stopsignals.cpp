#include "tools/lcdpanel/stopsignals.h"

#include <QCoreApplication>

#include <csignal>
#include <pthread.h>
#include <sys/signalfd.h>
#include <unistd.h>

namespace lcdpanel {

StopSignals::StopSignals() {
    sigemptyset(&m_set);
    sigaddset(&m_set, SIGINT);
    sigaddset(&m_set, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &m_set, nullptr);
}

StopSignals::~StopSignals() {
    m_notifier.reset();
    if (m_fd >= 0)
        ::close(m_fd);
}

bool StopSignals::pending() const {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGINT) || sigismember(&pending, SIGTERM);
}

void StopSignals::quit(QCoreApplication& application) {
    m_fd = ::signalfd(-1, &m_set, SFD_CLOEXEC | SFD_NONBLOCK);
    m_notifier = std::make_unique<QSocketNotifier>(m_fd, QSocketNotifier::Read);
    QObject::connect(m_notifier.get(), &QSocketNotifier::activated, &application,
                     [] { QCoreApplication::quit(); });
}

} // namespace lcdpanel
