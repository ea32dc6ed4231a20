#include "tools/lcdpanel/devicepicture.h"

#include <QNetworkProxy>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QUrl>

#include "tools/client/exchangelog.h"

namespace lcdpanel {

DevicePicture::DevicePicture(const QString& deviceUrl, int timeoutMs, bool verbose, QObject* parent)
    : QObject(parent), m_deviceUrl(deviceUrl), m_timeoutMs(timeoutMs), m_verbose(verbose) {
    // The device is reached directly, as the communicator reaches it.
    m_network.setProxy(QNetworkProxy::NoProxy);
}

QString DevicePicture::path(int layerId) {
    return QString("/sim/layers/%1/picture.png").arg(layerId);
}

void DevicePicture::fetch(int layerId) {
    if (m_underWay) {
        m_next = layerId;
        return;
    }
    start(layerId);
}

void DevicePicture::start(int layerId) {
    m_underWay = true;
    QNetworkRequest request(QUrl(m_deviceUrl + path(layerId)));
    // Without a time-out of the device's own: Qt's default, 30 s.
    if (m_timeoutMs > 0)
        request.setTransferTimeout(m_timeoutMs);
    else
        request.setTransferTimeout();
    m_began.start();
    QNetworkReply* reply = m_network.get(request);
    connect(reply, &QNetworkReply::finished, this,
            [this, reply, layerId] { finished(reply, layerId); });
}

void DevicePicture::finished(QNetworkReply* reply, int layerId) {
    reply->deleteLater();
    m_underWay = false;
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    const QByteArray bytes = reply->readAll();
    if (m_verbose) {
        // As the communicator's exchanges are shown, the picture's bytes by their size.
        lcdcomm::Exchange shown;
        shown.method = "GET";
        shown.path = path(layerId).toStdString();
        shown.status = status;
        shown.error = reply->errorString().toStdString();
        shown.reply = std::to_string(bytes.size()) + " bytes of " +
                      reply->header(QNetworkRequest::ContentTypeHeader).toString().toStdString();
        shown.ms = static_cast<double>(m_began.nsecsElapsed()) / 1e6;
        lcdclient::exchangelog::print(shown);
    }
    QImage image;
    if (reply->error() == QNetworkReply::NoError && status == 200)
        image.loadFromData(bytes, "PNG");
    if (!image.isNull()) {
        emit arrived(layerId, image);
    } else {
        const QString answer = status == 200 ? QString("not a PNG image")
                               : status != 0 ? QString("HTTP status %1").arg(status)
                                             : reply->errorString();
        emit missing(layerId, QString("GET %1: %2").arg(path(layerId), answer));
    }
    if (m_next != 0) {
        const int next = m_next;
        m_next = 0;
        start(next);
    }
}

} // namespace lcdpanel
