// lcdpanel --screenshot: the window saved once the shown layer's picture is
// there, in the format its suffix names (PNG without one), then the event
// loop ends. When the panel cannot get that far (the login refused, the
// device unreachable, its layers unreadable) the cause is said at once.
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

    // The image format `path`'s suffix names, in lower case; "" for none.
    static std::string format(const std::string& path);
    static bool canWrite(const std::string& format);
    // The formats that can be written: "bmp, jpeg, jpg, png, ...".
    static std::string formats();

private:
    void fail(const std::string& why);

    PanelWindow& m_window;
    std::string m_path;
    QTimer m_timeout;
    bool m_failed = false;
};

} // namespace lcdpanel
