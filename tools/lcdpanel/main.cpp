// lcdpanel: the image-quality settings of a device's layers as a person
// sees them. It is a requester of the host application: it reads the
// device's layers, sends each change as a set request through the stand-in
// host and the loaded plug-in, follows the change notifications, and shows
// the device's picture of the layer. Without --device it starts a device
// simulator, as lcdhost does.
#include <QApplication>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <memory>
#include <unistd.h>

#include "tools/common/standardoutput.h"
#include "tools/lcdpanel/options.h"
#include "tools/lcdpanel/panelwindow.h"
#include "tools/lcdpanel/screenshot.h"
#include "tools/lcdpanel/stopsignals.h"

namespace {

lcdclient::Connection* g_connection = nullptr; // for the fatal message handler only
QtMessageHandler g_qtDefault = nullptr;

// Qt ends a program it cannot start (no display, no platform plug-in) with
// a fatal message and an abort; this one ends with its own line, status 1,
// and the simulator stopped.
void onQtMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtFatalMsg) {
        g_qtDefault(type, context, message);
        return;
    }
    std::fprintf(stderr, "lcdpanel: %s\n", message.toLocal8Bit().constData());
    if (g_connection)
        g_connection->stopDevice();
    ::_exit(1);
}

bool haveDisplay() {
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        if (const char* value = std::getenv(name); value != nullptr && *value != '\0')
            return true;
    return false;
}

} // namespace

int main(int argc, char** argv) {
    lcdpanel::Options options;
    if (const int status = lcdpanel::parseOptions(argc, argv, options); status >= 0)
        return status;
    if (!haveDisplay()) {
        std::cerr << "lcdpanel: no display: DISPLAY and WAYLAND_DISPLAY are not set "
                     "(QT_QPA_PLATFORM=offscreen runs without one)\n";
        return 1;
    }
    lcdpanel::StopSignals stop; // before any thread starts
    std::signal(SIGPIPE, SIG_IGN);
    try {
        // The simulator from the main thread, before Qt starts threads: it
        // ends when this thread ends.
        lcdclient::Connection connection;
        g_connection = &connection;
        std::string why;
        if (!connection.startDevice(options.connection, &why, [&] { return stop.pending(); })) {
            if (stop.pending())
                return 0;
            std::cerr << "lcdpanel: " << why << "\n";
            return 1;
        }
        std::cout << "device: " << connection.settings().url
                  << (connection.simulated() ? " (a device simulator started by lcdpanel)" : "")
                  << "\n";
        if (!lcdtools::standardoutput::finish("lcdpanel"))
            return 1;

        g_qtDefault = qInstallMessageHandler(onQtMessage);
        int qtArgc = 1; // the options are lcdpanel's, not Qt's
        QApplication application(qtArgc, argv);
        QApplication::setApplicationName("lcdpanel");
        QApplication::setApplicationVersion(LCD_VERSION);
        stop.quit(application);

        bool failed = false;
        {
            lcdpanel::PanelWindow window(connection, options.window);
            std::unique_ptr<lcdpanel::Screenshot> shot;
            if (!options.screenshot.empty())
                shot = std::make_unique<lcdpanel::Screenshot>(window, options.screenshot);
            window.show();
            window.start();
            application.exec();
            failed = shot && shot->failed();
        }
        connection.close();
        g_connection = nullptr;
        return failed ? 1 : 0;
    } catch (const std::exception& e) {
        std::cerr << "lcdpanel: stopped by an unexpected error: " << e.what() << "\n";
        return 1;
    }
}
