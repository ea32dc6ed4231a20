// lcdpanel as a person starts it: its command line, its own simulator,
// which never outlives it, and the screenshot the README shows.
#include <QImage>
#include <QImageReader>
#include <QtTest>

#include <csignal>

#include "tests/support/simulator_process.h"
#include "tools/lcdpanel/screenshot.h"

using testsupport::eventually;
using testsupport::Process;

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void usageErrorsAreOneLineAndAPointerToHelpWithStatusTwo() {
        const std::pair<std::vector<std::string>, std::string> cases[] = {
            {{"--bogus"}, "unknown option --bogus"},
            {{"extra"}, "unexpected argument \"extra\""},
            {{"--layer", "two"}, "--layer: \"two\" is not a 32-bit integer"},
            {{"--screenshot", ""}, "--screenshot: is empty"},
            {{"--screenshot", "a.doc"},
             "--screenshot: \"a.doc\": no .doc images can be written (but " +
                 lcdpanel::Screenshot::formats() + ")"},
            {{"--device", "http://h/x"},
             "--device: \"http://h/x\" has a path (/x); give http://HOST[:PORT] or "
             "https://HOST[:PORT]"},
        };
        for (const auto& [arguments, message] : cases) {
            Process panel(LCDPANEL_PATH, arguments);
            QCOMPARE(panel.wait(), 2);
            QCOMPARE(panel.err(), "lcdpanel: " + message + "\nTry 'lcdpanel --help'.\n");
            QVERIFY(panel.groupGone());
        }
        Process version(LCDPANEL_PATH, {"--version"});
        QCOMPARE(version.wait(), 0);
        QCOMPARE(version.out(), std::string("lcdpanel " LCD_VERSION "\n"));
    }

    void withoutADisplayItSaysSoAndStartsNothing() {
        Process panel(LCDPANEL_PATH, {}, {"QT_QPA_PLATFORM=", "DISPLAY=", "WAYLAND_DISPLAY="});
        QCOMPARE(panel.wait(), 1);
        QCOMPARE(panel.err(),
                 std::string("lcdpanel: no display: DISPLAY and WAYLAND_DISPLAY are "
                             "not set (QT_QPA_PLATFORM=offscreen runs without one)\n"));
        QVERIFY(panel.groupGone());
    }

    void itsOwnSimulatorEndsWithItHoweverItEnds() {
        for (const auto& [signal, status] : {std::pair{SIGTERM, 0}, std::pair{SIGKILL, 128 + 9}}) {
            Process panel(LCDPANEL_PATH, {});
            const std::string url = panel.firstUrl();
            QVERIFY2(panel.out().find(" (a device simulator started by lcdpanel)\n") !=
                         std::string::npos,
                     panel.out().c_str());
            QVERIFY(httplib::Client(url).Get("/sim/stats"));
            panel.signal(signal);
            QCOMPARE(panel.wait(10000), status);
            QVERIFY(eventually([&] { return panel.groupGone(); }));
            QVERIFY(!httplib::Client(url).Get("/sim/stats"));
        }
    }

    void theScreenshotIsTheWindowWithTheDevicesPictureOfTheLayerInItsSuffixsFormat() {
        const QString file = QDir::temp().filePath("lcdpanel-screenshot-test.jpg");
        QFile::remove(file);
        Process panel(LCDPANEL_PATH, {"--layer", "3", "--screenshot", file.toStdString()});
        QCOMPARE(panel.wait(), 0);
        QVERIFY(panel.groupGone());
        QCOMPARE(QImageReader(file).format(), QByteArray("jpeg"));
        const QImage shot(file);
        QFile::remove(file);
        QVERIFY(shot.width() > 800 && shot.height() > 400);
        // The picture area shows the test image's red bar, enlarged.
        int red = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                red += qRed(shot.pixel(x, y)) > 200 && qGreen(shot.pixel(x, y)) < 60 &&
                       qBlue(shot.pixel(x, y)) < 60;
        QVERIFY2(red >= 40 * 90, qPrintable(QString::number(red)));
    }

    void aScreenshotThePanelCannotMakeSaysWhyAtOnce() {
        testsupport::SimulatorProcess device;
        Process panel(LCDPANEL_PATH, {"--device", device.url, "--user", "admin", "--password",
                                      "nope", "--screenshot", "never.png"});
        QCOMPARE(panel.wait(20000), 1);
        QVERIFY2(panel.err().find("lcdpanel: login to " + device.url +
                                  " failed: the device refused the login: HTTP status 401, code "
                                  "10001 \"invalid username or password\"; no screenshot made\n") !=
                     std::string::npos,
                 panel.err().c_str());
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
