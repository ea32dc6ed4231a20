// lcdpanel: the image-quality settings of a device's layers as a person
// sees them. It is a requester of the host application: it reads the
// device's layers, sends each change as a set request through the stand-in
// host and the loaded plug-in, follows the change notifications, and shows
// the device's picture of the layer. Without --device it starts a device
// simulator, as lcdhost does.
#include <CLI/CLI.hpp>

#include <QApplication>
#include <QPixmap>
#include <QSocketNotifier>
#include <QTimer>

#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>
#include <sys/signalfd.h>
#include <unistd.h>

#include "tools/common/commandline.h"
#include "tools/client/connection.h"
#include "tools/lcdpanel/panelwindow.h"

namespace {

// How long --screenshot waits for the layer's picture.
constexpr int kScreenshotWaitMs = 60000;

lcdclient::Connection* g_connection = nullptr;
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

bool haveEnvironment(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr && *value != '\0';
}

sigset_t stopSignals() {
    sigset_t set;
    sigemptyset(&set);
    sigaddset(&set, SIGINT);
    sigaddset(&set, SIGTERM);
    return set;
}

// SIGINT or SIGTERM has arrived (they are blocked, so they wait).
bool stopRequested() {
    sigset_t pending;
    sigpending(&pending);
    return sigismember(&pending, SIGINT) || sigismember(&pending, SIGTERM);
}

} // namespace

int main(int argc, char** argv) {
    CLI::App app{"Shows the image-quality settings of a device's layers, sends a person's changes "
                 "as set requests through the host and the plug-in, and shows the device's "
                 "picture of the layer.",
                 "lcdpanel"};
    app.allow_extras();
    app.set_version_flag("--version", std::string("lcdpanel ") + LCD_VERSION);
    lcdclient::ConnectionOptions connectionOptions;
    lcdclient::addConnectionOptions(app, connectionOptions);
    lcdpanel::PanelWindow::Options options;
    std::string screenshot;
    app.add_option("--layer", options.layer, "the layer shown first (default: the device's first)")
        ->type_name("N")
        ->check(lcdtools::commandline::wholeNumber(INT_MIN, INT_MAX));
    app.add_option("--screenshot", screenshot,
                   "saves the window as PNG to PATH once the layer's picture is shown, and ends")
        ->type_name("PATH");
    app.footer(app.get_footer() +
               "\nThe sliders' ranges are those the device simulator documents for its picture\n"
               "(lcd-device-sim --help). The picture is the simulator's GET\n"
               "/sim/layers/N/picture.png; a device without it shows none.\n"
               "\nExit status: 0 when the window was closed or SIGINT or SIGTERM ended the panel,\n"
               "1 when there is no display, the device simulator could not be started or the\n"
               "screenshot could not be made, 2 for a usage error.\n");
    const int parsed = lcdtools::commandline::parse(app, argc, argv);
    if (parsed >= 0)
        return parsed;
    options.verbose = connectionOptions.verbose;
    if (!haveEnvironment("DISPLAY") && !haveEnvironment("WAYLAND_DISPLAY") &&
        !haveEnvironment("QT_QPA_PLATFORM")) {
        std::cerr << "lcdpanel: no display: DISPLAY and WAYLAND_DISPLAY are not set "
                     "(QT_QPA_PLATFORM=offscreen runs without one)\n";
        return 1;
    }

    // Blocked before any thread starts, so that every thread leaves them
    // to the event loop, which reads them from a signalfd.
    const sigset_t stopSet = stopSignals();
    pthread_sigmask(SIG_BLOCK, &stopSet, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        // The simulator first, from the main thread, before Qt starts
        // threads: it ends when this thread ends.
        lcdclient::Connection connection;
        g_connection = &connection;
        std::string why;
        if (!connection.startDevice(connectionOptions, &why, stopRequested)) {
            if (stopRequested())
                return 0;
            std::cerr << "lcdpanel: " << why << "\n";
            return 1;
        }
        std::cout << "device: " << connection.settings().url
                  << (connection.simulated() ? " (a device simulator started by lcdpanel)" : "")
                  << std::endl;

        g_qtDefault = qInstallMessageHandler(onQtMessage);
        int qtArgc = 1; // the options are lcdpanel's, not Qt's
        QApplication application(qtArgc, argv);
        QApplication::setApplicationName("lcdpanel");
        QApplication::setApplicationVersion(LCD_VERSION);

        const int signalFd = ::signalfd(-1, &stopSet, SFD_CLOEXEC | SFD_NONBLOCK);
        QSocketNotifier signalNotifier(signalFd, QSocketNotifier::Read);
        QObject::connect(&signalNotifier, &QSocketNotifier::activated, &application,
                         [] { QApplication::quit(); });

        int status = 0;
        {
            lcdpanel::PanelWindow window(connection, options);
            QTimer screenshotTimeout;
            if (!screenshot.empty()) {
                QObject::connect(
                    &window, &lcdpanel::PanelWindow::pictureShown, &window,
                    [&window, &screenshot, &status] {
                        if (!window.grab().save(QString::fromStdString(screenshot), "PNG")) {
                            std::cerr << "lcdpanel: cannot save the screenshot to " << screenshot
                                      << "\n";
                            status = 1;
                        }
                        QApplication::quit();
                    });
                screenshotTimeout.setSingleShot(true);
                QObject::connect(&screenshotTimeout, &QTimer::timeout, &window, [&status] {
                    std::cerr << "lcdpanel: no picture of the layer within "
                              << kScreenshotWaitMs / 1000 << " s, no screenshot made\n";
                    status = 1;
                    QApplication::quit();
                });
                screenshotTimeout.start(kScreenshotWaitMs);
            }
            window.show();
            window.start();
            application.exec();
        }
        ::close(signalFd);
        connection.close();
        g_connection = nullptr;
        return status;
    } catch (const std::exception& e) {
        std::cerr << "lcdpanel: stopped by an unexpected error: " << e.what() << "\n";
        return 1;
    }
}
