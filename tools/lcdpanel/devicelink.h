// The panel's side of the host: the connection opened, the device's layers
// read and set requests sent, on a worker thread of its own and one call at
// a time, since each may block for the device's time-out; the window never
// waits. What comes back, and every change notification (which arrives on
// one of the host's threads), is handed to the thread of the link, the GUI
// thread, as a signal:
//
//   lcdclient::Connection connection;
//   connection.startDevice(options, &error);    // on the main thread, first
//   lcdpanel::DeviceLink link(connection, false);
//   connect(&link, &DeviceLink::answered, ...);
//   link.open();                                 // -> opened(""), or opened(why)
//   link.set(layers);                            // -> answered(layers, answer)
#pragma once

#include <QObject>
#include <QString>
#include <QThread>

#include <atomic>
#include <functional>
#include <memory>

#include "tools/client/connection.h"
#include "tools/client/setanswer.h"

namespace lcdpanel {

class DeviceLink : public QObject {
    Q_OBJECT
public:
    // `connection` has its device started and outlives the link. With
    // `verbose`, each exchange with the device is printed on stderr.
    DeviceLink(lcdclient::Connection& connection, bool verbose, QObject* parent = nullptr);
    // Waits for the call in flight, if any (at most the device's time-out),
    // then closes the session.
    ~DeviceLink() override;

    // Logs in unless a token is given, loads the plug-in and opens the
    // device's report stream; again after a failure.
    void open();
    void readLayers();
    // One set request of `layers` through the host and the plug-in.
    void set(const lcdclient::LayerList& layers);

    // The host with the plug-in, for other requesters of this process;
    // null until opened.
    lcdclient::Session* session();
    QString deviceUrl() const;
    bool simulated() const { return m_connection.simulated(); }

signals:
    void opened(const QString& error); // empty: open
    void layersRead(const lcdclient::LayerList& layers, const QString& error);
    void answered(const lcdclient::LayerList& sent, const lcdclient::SetAnswer& answer);
    // A 0xfc08040b notification: the layers the device reports changed.
    void changed(const lcdclient::LayerList& layers);
    void streamState(bool open, const QString& cause);
    // A warning of the plug-in outside any set request.
    void pluginMessage(const QString& text);

private:
    void work(std::function<void()> job);
    void toGui(std::function<void()> call);

    lcdclient::Connection& m_connection;
    QThread m_worker;
    std::unique_ptr<QObject> m_workContext;
    std::atomic<bool> m_open{false};
};

} // namespace lcdpanel
