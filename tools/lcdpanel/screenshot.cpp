#include "tools/lcdpanel/screenshot.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QImageWriter>

#include <iostream>

#include "tools/common/printable.h"
#include "tools/lcdpanel/panelwindow.h"

namespace lcdpanel {

Screenshot::Screenshot(PanelWindow& window, std::string path)
    : m_window(window), m_path(std::move(path)) {
    connect(&m_window, &PanelWindow::pictureShown, this, [this] {
        const std::string suffix = format(m_path);
        const QString file = QString::fromStdString(m_path);
        if (!m_window.grab().save(file, suffix.empty() ? "PNG" : suffix.c_str()))
            fail("cannot save the screenshot to " + m_path);
        QCoreApplication::quit();
    });
    // Without the device's layers there will be no picture to wait for.
    const auto giveUp = [this](const QString& error) {
        if (error.isEmpty())
            return;
        fail(error.toStdString() + "; no screenshot made");
        QCoreApplication::quit();
    };
    connect(&m_window.link(), &DeviceLink::opened, this, giveUp);
    connect(&m_window.link(), &DeviceLink::layersRead, this,
            [giveUp](const lcdclient::LayerList& layers, const QString& error) {
                giveUp(!error.isEmpty() ? "cannot read the device's layers: " + error
                       : layers.empty() ? QString("the device has no layers")
                                        : QString());
            });
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, [this] {
        fail("no picture of the layer within " + std::to_string(kWaitMs / 1000) +
             " s, no screenshot made");
        QCoreApplication::quit();
    });
    m_timeout.start(kWaitMs);
}

void Screenshot::fail(const std::string& why) {
    if (!m_failed)
        std::cerr << "lcdpanel: " << lcdtools::printable(why, 4000) << "\n";
    m_failed = true;
}

std::string Screenshot::format(const std::string& path) {
    return QFileInfo(QString::fromStdString(path)).suffix().toLower().toStdString();
}

bool Screenshot::canWrite(const std::string& format) {
    return QImageWriter::supportedImageFormats().contains(QByteArray::fromStdString(format));
}

std::string Screenshot::formats() {
    return QImageWriter::supportedImageFormats().join(", ").toStdString();
}

} // namespace lcdpanel
