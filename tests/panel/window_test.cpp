// lcdpanel's window driven as a person drives it, against a device
// simulator: a set goes through the host and the plug-in and is stored
// exactly, the status line says what came of it, notifications move the
// controls and the device's picture, and a set that fails changes nothing.
#include <QCheckBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpression>
#include <QSlider>
#include <QSpinBox>
#include <QtTest>

#include <future>
#include <memory>

#include "platform/communicator/lcdcomm.h"
#include "tests/support/simulator_process.h"
#include "tools/lcdpanel/panelwindow.h"
#include "tools/simulator/layerrecords.h"
#include "tools/simulator/picture.h"

using testsupport::SimulatorProcess;

class WindowTest : public QObject {
    Q_OBJECT

    SimulatorProcess m_device;
    std::unique_ptr<lcdclient::Connection> m_connection;
    std::unique_ptr<lcdpanel::PanelWindow> m_window;

    template <class T>
    T* child(const char* name) {
        T* found = m_window->findChild<T*>(name);
        if (!found)
            qFatal("no widget %s", name);
        return found;
    }
    QString status() { return child<QLabel>("status")->text(); }
    void choose(int layerId) {
        const auto items = child<QListWidget>("layers")->findItems(QString("Layer %1").arg(layerId),
                                                                   Qt::MatchExactly);
        QCOMPARE(items.size(), 1);
        child<QListWidget>("layers")->setCurrentItem(items[0]);
    }
    void apply() { QTest::mouseClick(child<QPushButton>("apply"), Qt::LeftButton); }
    // The device's layer `id`, as its list (in the order of the ids) says.
    nlohmann::json stored(int id) {
        return m_device.get("/movra/v1/layers/list-detail")["data"][id - 1];
    }
    QImage shown() { return child<QLabel>("picture")->pixmap(Qt::ReturnByValue).toImage(); }
    // The picture area's pixel at the centre of a part of the test image.
    QRgb shownAt(LCD::Sim::PicturePart part) {
        const QImage image = shown();
        const double scale = double(image.width()) / LCD::Sim::kPictureWidth;
        return image.isNull() ? 0 : image.pixel(LCD::Sim::pictureRect(part).center() * scale);
    }
    static bool near(QRgb a, QRgb b) {
        return qAbs(qRed(a) - qRed(b)) <= 3 && qAbs(qGreen(a) - qGreen(b)) <= 3 &&
               qAbs(qBlue(a) - qBlue(b)) <= 3;
    }

private slots:
    // A panel of its own for each case, on the one device.
    void init() {
        lcdclient::ConnectionOptions options;
        options.device = m_device.url;
        options.token = SimulatorProcess::kToken;
        options.haveToken = true;
        m_connection = std::make_unique<lcdclient::Connection>();
        std::string why;
        QVERIFY2(m_connection->startDevice(options, &why), why.c_str());
        m_window = std::make_unique<lcdpanel::PanelWindow>(*m_connection,
                                                           lcdpanel::PanelWindow::Options{});
        m_window->show();
        m_window->start();
        QTRY_COMPARE(status(), QString("8 layers read"));
    }
    void cleanup() {
        m_window.reset();
        m_connection.reset();
    }

    void theDevicesPictureOfANeutralLayerIsItsTestImageAndALayerItLacksHasNone() {
        httplib::Client device(m_device.url);
        const auto neutral = device.Get("/sim/layers/1/picture.png");
        QVERIFY(neutral && neutral->status == 200);
        QCOMPARE(QImage::fromData(QByteArray::fromStdString(neutral->body), "PNG")
                     .convertToFormat(QImage::Format_RGB32),
                 LCD::Sim::testImage().convertToFormat(QImage::Format_RGB32));
        for (const char* id : {"0", "9", "-1", "123456789"}) {
            const auto none =
                device.Get(("/sim/layers/" + std::string(id) + "/picture.png").c_str());
            QVERIFY(none && none->status == 404);
        }
    }

    void theHueOfLayerTwoIsStoredExactlyAndItsNotificationUpdatesThePanelAndItsPicture() {
        choose(2);
        QTRY_COMPARE(shownAt(LCD::Sim::PicturePart::RedBar), qRgb(255, 0, 0));
        child<QSlider>("hue")->setValue(120);
        QCOMPARE(child<QSpinBox>("hue")->value(), 120);
        QVERIFY(child<QPushButton>("revert")->isEnabled());
        apply();
        QTRY_COMPARE(status(), QString("layer 2: accepted"));
        nlohmann::json wanted = LCD::Sim::defaultLayerRecord(2);
        wanted["imageQuality"]["hue"] = 120;
        QVERIFY2(stored(2) == wanted, stored(2).dump().c_str());
        // The notification: the panel holds the device's values, and the
        // picture is fetched again.
        QTRY_VERIFY(!child<QPushButton>("revert")->isEnabled());
        QCOMPARE(child<QLabel>("deviceValues")->text(), QString("On the device: layer 2: hue 120"));
        // A third of a turn: red becomes green, blue red.
        QTRY_VERIFY(near(shownAt(LCD::Sim::PicturePart::RedBar), qRgb(0, 255, 0)));
        QVERIFY(near(shownAt(LCD::Sim::PicturePart::BlueBar), qRgb(255, 0, 0)));
        child<QSlider>("saturation")->setValue(0);
        apply();
        QTRY_VERIFY(shown().allGray());
    }

    void aSetByAnotherRequesterOfTheHostMovesTheControlsButNotTheEditsNotYetApplied() {
        choose(3);
        lcdclient::LayerList layers(2);
        layers[0].layerId = 3;
        layers[0].imageQuality.hue = -45;
        layers[0].imageQuality.contrast.G = 70;
        layers[1].layerId = 4;
        layers[1].imageQuality.gamma = 180;
        const auto sendFromElsewhere = [&] {
            lcdclient::Session* host = m_window->link().session();
            return std::async(std::launch::async, [host, layers] { return host->set(layers); });
        };
        auto answer = sendFromElsewhere();
        QTRY_COMPARE(child<QSlider>("hue")->value(), -45);
        QCOMPARE(child<QSpinBox>("contrast.G")->value(), 70);
        QCOMPARE(answer.get().payload, std::vector<unsigned char>{1});

        child<QSpinBox>("saturation")->setValue(10);
        layers[0].imageQuality.hue = 30;
        answer = sendFromElsewhere();
        QTRY_COMPARE(child<QLabel>("deviceValues")->text(),
                     QString("On the device: layer 3: hue 30, contrast.G 70\n"
                             "The controls hold changes not yet applied."));
        QCOMPARE(child<QSpinBox>("hue")->value(), -45);
        QCOMPARE(child<QSpinBox>("saturation")->value(), 10);
        QTest::mouseClick(child<QPushButton>("revert"), Qt::LeftButton);
        QCOMPARE(child<QSpinBox>("hue")->value(), 30);
        QCOMPARE(child<QSpinBox>("saturation")->value(), 50);
        choose(4);
        QCOMPARE(child<QSpinBox>("gamma")->value(), 180);
    }

    void aSetThatIsRefusedOrNotAnsweredSaysWhyAndChangesNothing() {
        const lcdcomm::Settings reachable = lcdcomm::settings();
        lcdcomm::Settings wrongToken = reachable, unreachable = reachable;
        wrongToken.token = "not-the-token";
        unreachable.url = "http://127.0.0.1:9";
        lcdclient::LayerList unknown(1);
        unknown[0].layerId = 99;
        const struct {
            lcdcomm::Settings settings;
            int layer;
            const char* status; // a pattern
        } cases[] = {
            {wrongToken, 5,
             R"(layer 5: refused by the device \(HTTP status 401, code 10002 "unauthorized"\))"},
            {unreachable, 5, R"(layer 5: no answer \(connection refused \(.+\)\))"},
            {reachable, 99, R"(layer 99: refused by the device \(code 20002 "unknown layer 99"\))"},
        };
        for (const auto& c : cases) {
            const nlohmann::json before = m_device.get("/movra/v1/layers/list-detail");
            if (c.layer == 99) // a list the device no longer matches
                m_window->showLayers(unknown);
            choose(c.layer);
            lcdcomm::configure(c.settings);
            child<QSlider>("hue")->setValue(33);
            apply();
            QTRY_VERIFY2(
                QRegularExpression("^" + QString(c.status) + "$").match(status()).hasMatch(),
                qPrintable(status()));
            lcdcomm::configure(reachable);
            QVERIFY(m_device.get("/movra/v1/layers/list-detail") == before);
            QTest::qWait(200); // no notification comes
            QVERIFY(child<QPushButton>("revert")->isEnabled());
            QTest::mouseClick(child<QPushButton>("revert"), Qt::LeftButton);
            QCOMPARE(child<QSpinBox>("hue")->value(), 0);
        }
        QTRY_VERIFY(child<QLabel>("picture")->text().startsWith(
            "No picture of layer 99: GET /sim/layers/99/picture.png: HTTP status 404.\n"));
    }

    void aDeviceValueOutsideAControlsRangeIsShownAsSuchAndNeverWrittenClamped() {
        lcdclient::LayerList odd(1);
        odd[0].layerId = 7;
        odd[0].imageQuality.hue = 2147483647;
        odd[0].imageQuality.gamma = 5000;
        m_window->showLayers(odd);
        QCOMPARE(child<QSpinBox>("hue")->value(), 180);
        QVERIFY(!child<QPushButton>("revert")->isEnabled());
        QVERIFY(child<QLabel>("deviceValues")
                    ->text()
                    .endsWith("\nOutside the controls' ranges: hue 2147483647 (-180..180), gamma "
                              "5000 (10..1000)"));
        httplib::Client(m_device.url).Delete("/sim/requests");
        child<QSpinBox>("gamma")->setValue(300); // chosen; the hue is not
        apply();
        QTRY_VERIFY(status().startsWith("layer 7: "));
        const auto body = nlohmann::json::parse(
            m_device.get("/sim/requests")[0]["body"].get<std::string>())[0]["imageQuality"];
        QCOMPARE(body["hue"].get<int>(), 2147483647);
        QCOMPARE(body["gamma"].get<int>(), 300);
    }

    void draggingWithApplyWhileDraggingSendsAtMostOneSetEvery100MsAndTheLastValue() {
        choose(6);
        child<QCheckBox>("applyWhileDragging")->setChecked(true);
        httplib::Client(m_device.url).Delete("/sim/requests");
        QElapsedTimer clock;
        clock.start();
        for (int value = 11; value <= 50; ++value) {
            child<QSlider>("eyeCare")->setValue(value);
            QTest::qWait(8);
        }
        QTRY_COMPARE(stored(6)["imageQuality"]["eyeCare"].get<int>(), 50);
        const qint64 spanMs = clock.elapsed();
        int sets = 0;
        const nlohmann::json requests = m_device.get("/sim/requests");
        for (const auto& request : requests)
            sets += request["method"] == "PUT";
        QVERIFY2(sets >= 2 && sets <= spanMs / 100 + 1,
                 qPrintable(QString("%1 sets in %2 ms").arg(sets).arg(spanMs)));
    }
};

QTEST_MAIN(WindowTest)
#include "window_test.moc"
