// lcdpanel as a person starts it: its command line, its own simulator,
// which never outlives it, and the screenshot the README shows.
#include <QImage>
#include <QtTest>

#include <csignal>

#include "tests/support/simulator_process.h"

using testsupport::eventually;
using testsupport::Process;

class ProgramTest : public QObject {
    Q_OBJECT
private slots:
    void usageErrorsAreOneLineAndAPointerToHelpWithStatusTwo() {
        const std::pair<std::vector<std::string>, std::string> cases[] = {
            {{"--bogus"}, "unknown option --bogus"},
            {{"extra"}, "unexpected argument \"extra\""},
            {{"--layer", "two"},
             "--layer: \"two\" is not a whole number from -2147483648 to "
             "2147483647"},
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

    void theScreenshotIsTheWindowWithTheDevicesPictureOfTheLayer() {
        const QString file = QDir::temp().filePath("lcdpanel-screenshot-test.png");
        QFile::remove(file);
        Process panel(LCDPANEL_PATH, {"--layer", "3", "--screenshot", file.toStdString()});
        QCOMPARE(panel.wait(), 0);
        QVERIFY(panel.groupGone());
        const QImage shot(file);
        QFile::remove(file);
        QVERIFY(shot.width() > 800 && shot.height() > 400);
        // The picture area shows the test image's red bar, enlarged.
        int red = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                red += shot.pixel(x, y) == qRgb(255, 0, 0);
        QVERIFY2(red >= 40 * 90, qPrintable(QString::number(red)));
    }
};

QTEST_MAIN(ProgramTest)
#include "program_test.moc"
