#include "tools/lcdpanel/screenshot.h"

#include <QCoreApplication>

#include <iostream>

#include "tools/lcdpanel/panelwindow.h"

namespace lcdpanel {

Screenshot::Screenshot(PanelWindow& window, std::string path)
    : m_window(window), m_path(std::move(path)) {
    connect(&m_window, &PanelWindow::pictureShown, this, [this] {
        if (!m_window.grab().save(QString::fromStdString(m_path), "PNG"))
            fail("cannot save the screenshot to " + m_path);
        QCoreApplication::quit();
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
    std::cerr << "lcdpanel: " << why << "\n";
    m_failed = true;
}

} // namespace lcdpanel
