// The device's picture of a layer: GET /sim/layers/{id}/picture.png from
// the device, which the device simulator serves (its test image with the
// layer's settings applied). A real device has no such endpoint; then
// missing() says so. A plain HTTP GET on the GUI thread's event loop,
// never waited for:
//
//   lcdpanel::DevicePicture picture("http://127.0.0.1:8900", 5000, verbose);
//   connect(&picture, &DevicePicture::arrived, ...);   // (layer, image)
//   picture.fetch(2);
//
// Fetches asked for while one is under way wait for it, and only the last
// is made: a picture is always of the latest settings asked for. With
// `verbose`, each GET is shown on stderr as -v shows the communicator's.
#pragma once

#include <QElapsedTimer>
#include <QImage>
#include <QNetworkAccessManager>
#include <QObject>
#include <QString>

class QNetworkReply;

namespace lcdpanel {

class DevicePicture : public QObject {
    Q_OBJECT
public:
    DevicePicture(const QString& deviceUrl, int timeoutMs, bool verbose, QObject* parent = nullptr);

    void fetch(int layerId);

    // The path of a layer's picture on the device.
    static QString path(int layerId);

signals:
    void arrived(int layerId, const QImage& image);
    void missing(int layerId, const QString& why);

private:
    void start(int layerId);
    void finished(QNetworkReply* reply, int layerId);

    QString m_deviceUrl;
    int m_timeoutMs;
    bool m_verbose;
    QElapsedTimer m_began;
    QNetworkAccessManager m_network;
    bool m_underWay = false;
    int m_next = 0; // the layer to fetch next, 0: none
};

} // namespace lcdpanel
