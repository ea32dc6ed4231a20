#include "tools/lcdpanel/devicelink.h"

#include <exception>

#include "tools/client/devicelayers.h"
#include "tools/client/exchangelog.h"
#include "tools/client/pluginwarnings.h"

namespace lcdpanel {

DeviceLink::DeviceLink(lcdclient::Connection& connection, bool verbose, QObject* parent)
    : QObject(parent), m_connection(connection), m_workContext(std::make_unique<QObject>()) {
    lcdclient::exchangelog::install(verbose);
    lcdclient::pluginwarnings::install(false, [this](const std::string& text) {
        const QString message = QString::fromStdString(text);
        toGui([this, message] { emit pluginMessage(message); });
    });
    m_worker.setObjectName("lcdpanel host calls");
    m_workContext->moveToThread(&m_worker);
    m_worker.start();
}

DeviceLink::~DeviceLink() {
    m_worker.quit();
    m_worker.wait();
    m_workContext.reset();
    // No callback of the session runs once it is closed.
    m_connection.close();
    lcdclient::pluginwarnings::install(false);
}

void DeviceLink::work(std::function<void()> job) {
    QMetaObject::invokeMethod(
        m_workContext.get(),
        [job = std::move(job)] {
            try {
                job();
            } catch (const std::exception&) {
                // Each job reports its own failures; nothing may escape
                // into the event loop.
            }
        },
        Qt::QueuedConnection);
}

void DeviceLink::toGui(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

void DeviceLink::open() {
    work([this] {
        m_open = false;
        std::string why;
        bool ok = false;
        try {
            ok = m_connection.open(
                true,
                [this](const lcdclient::LayerList& layers) {
                    toGui([this, layers] { emit changed(layers); });
                },
                &why,
                [this](bool open, const std::string& cause) {
                    const QString text = QString::fromStdString(cause);
                    toGui([this, open, text] { emit streamState(open, text); });
                });
        } catch (const std::exception& e) {
            why = e.what();
        }
        m_open = ok;
        const QString error = ok ? QString() : QString::fromStdString(why);
        toGui([this, error] { emit opened(error); });
    });
}

void DeviceLink::readLayers() {
    work([this] {
        lcdclient::LayerList layers;
        std::string why;
        bool ok = false;
        try {
            ok = lcdclient::readDeviceLayers(layers, &why);
        } catch (const std::exception& e) {
            why = e.what();
        }
        const QString error = ok ? QString() : QString::fromStdString(why);
        toGui([this, layers, error] { emit layersRead(layers, error); });
    });
}

void DeviceLink::set(const lcdclient::LayerList& layers) {
    work([this, layers] {
        lcdclient::SetAnswer answer;
        if (!m_open) {
            answer.reason = "not connected to the device";
        } else {
            try {
                answer = lcdclient::sendSet(m_connection.session(), layers);
            } catch (const std::exception& e) {
                answer.reason = e.what();
            }
        }
        toGui([this, layers, answer] { emit answered(layers, answer); });
    });
}

lcdclient::Session* DeviceLink::session() {
    return m_open ? &m_connection.session() : nullptr;
}

QString DeviceLink::deviceUrl() const {
    return QString::fromStdString(m_connection.settings().url);
}

} // namespace lcdpanel
