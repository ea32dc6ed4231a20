// lcdpanel --screenshot: the window saved as PNG once the shown layer's
// picture is there, then the event loop ends.
//
//   lcdpanel::Screenshot shot(window, "shot.png");
//   application.exec();
//   return shot.failed() ? 1 : 0;   // the cause is on stderr
#pragma once

#include <QObject>
#include <QTimer>

#include <string>

namespace lcdpanel {

class PanelWindow;

class Screenshot : public QObject {
    Q_OBJECT
public:
    // How long it waits for the layer's picture.
    static constexpr int kWaitMs = 60000;

    Screenshot(PanelWindow& window, std::string path);
    bool failed() const { return m_failed; }

private:
    void fail(const std::string& why);

    PanelWindow& m_window;
    std::string m_path;
    QTimer m_timeout;
    bool m_failed = false;
};

} // namespace lcdpanel
