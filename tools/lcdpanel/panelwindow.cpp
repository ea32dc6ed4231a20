#include "tools/lcdpanel/panelwindow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPixmap>
#include <QPushButton>
#include <QSignalBlocker>
#include <QStatusBar>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <iostream>
#include <unordered_map>

#include "tools/common/printable.h"

#include "tools/lcdpanel/layercontrols.h"

namespace lcdpanel {

namespace {

// The device's picture is shown half as large again as it is drawn, each
// pixel as it is (no smoothing): a person judges its colours.
constexpr int kPictureWidth = 480;
constexpr int kPictureHeight = 270;

QString layerNames(const lcdclient::LayerList& layers) {
    QStringList ids;
    for (const auto& layer : layers)
        ids << QString::number(layer.layerId);
    return (layers.size() == 1 ? "layer " : "layers ") + ids.join(", ");
}

} // namespace

PanelWindow::PanelWindow(lcdclient::Connection& connection, const Options& options, QWidget* parent)
    : QMainWindow(parent), m_options(options), m_link(connection, options.verbose),
      m_pacer([this](const lcdclient::LayerList& layers) { m_link.set(layers); }),
      m_picture(m_link.deviceUrl(), static_cast<int>(connection.settings().timeoutMs),
                options.verbose) {
    build();
    connect(&m_link, &DeviceLink::opened, this, &PanelWindow::opened);
    connect(&m_link, &DeviceLink::layersRead, this, &PanelWindow::layersRead);
    connect(&m_link, &DeviceLink::answered, this, &PanelWindow::answered);
    connect(&m_link, &DeviceLink::changed, this, &PanelWindow::changed);
    connect(&m_link, &DeviceLink::streamState, this, [this](bool open, const QString& cause) {
        // The stream tells a loss, and the opening after it, at a person's
        // pace; its first opening is no news.
        if (open && !m_streamLost)
            return;
        setStatus(open
                      ? QString("the device's report stream is open again")
                      : "the device's report stream was lost, reconnecting (" +
                            QString::fromStdString(lcdtools::printable(cause.toStdString())) + ")");
        // Changes made while it was lost were not reported.
        if (open)
            m_link.readLayers();
        m_streamLost = !open;
    });
    connect(&m_link, &DeviceLink::pluginMessage, this,
            [this](const QString& text) { setStatus("plug-in: " + text); });
    connect(&m_picture, &DevicePicture::arrived, this, &PanelWindow::pictureArrived);
    connect(&m_picture, &DevicePicture::missing, this, &PanelWindow::pictureMissing);
    setWindowTitle(QString("lcdpanel - %1%2")
                       .arg(m_link.deviceUrl(),
                            m_link.simulated() ? " (a device simulator started by lcdpanel)" : ""));
    showState();
}

void PanelWindow::build() {
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);

    m_list = new QListWidget(central);
    m_list->setObjectName("layers");
    m_list->setFixedWidth(110);
    connect(m_list, &QListWidget::currentRowChanged, this, &PanelWindow::select);
    columns->addWidget(m_list);

    m_controls = new LayerControls(central);
    m_controls->setEnabled(false);
    connect(m_controls, &LayerControls::edited, this, &PanelWindow::edited);
    columns->addWidget(m_controls, 1);

    auto* right = new QVBoxLayout;
    m_pictureLabel = new QLabel(central);
    m_pictureLabel->setObjectName("picture");
    m_pictureLabel->setFixedSize(kPictureWidth, kPictureHeight);
    m_pictureLabel->setAlignment(Qt::AlignCenter);
    m_pictureLabel->setWordWrap(true);
    // What the device says is shown as it is, never read as markup.
    m_pictureLabel->setTextFormat(Qt::PlainText);
    m_pictureLabel->setFrameShape(QFrame::StyledPanel);
    right->addWidget(m_pictureLabel);
    m_deviceValues = new QLabel(central);
    m_deviceValues->setObjectName("deviceValues");
    m_deviceValues->setWordWrap(true);
    m_deviceValues->setTextFormat(Qt::PlainText);
    m_deviceValues->setMaximumWidth(kPictureWidth);
    right->addWidget(m_deviceValues);

    auto* buttons = new QHBoxLayout;
    m_apply = new QPushButton("Apply", central);
    m_apply->setObjectName("apply");
    m_apply->setDefault(true);
    connect(m_apply, &QPushButton::clicked, this, [this] { m_pacer.offer(m_controls->record()); });
    m_revert = new QPushButton("Revert", central);
    m_revert->setObjectName("revert");
    m_revert->setToolTip("show the device's values of the layer again");
    connect(m_revert, &QPushButton::clicked, this, &PanelWindow::revert);
    m_whileDragging = new QCheckBox("Apply while dragging", central);
    m_whileDragging->setObjectName("applyWhileDragging");
    m_whileDragging->setToolTip("send each change as it is made, at most every 100 ms");
    buttons->addWidget(m_apply);
    buttons->addWidget(m_revert);
    buttons->addWidget(m_whileDragging);
    buttons->addStretch(1);
    right->addLayout(buttons);

    m_reconnect = new QPushButton("Connect again", central);
    m_reconnect->setObjectName("reconnect");
    m_reconnect->hide();
    connect(m_reconnect, &QPushButton::clicked, this, &PanelWindow::start);
    right->addWidget(m_reconnect, 0, Qt::AlignLeft);
    right->addStretch(1);
    columns->addLayout(right);
    setCentralWidget(central);

    m_status = new QLabel(this);
    m_status->setObjectName("status");
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_status->setTextFormat(Qt::PlainText);
    statusBar()->addWidget(m_status, 1);
}

void PanelWindow::start() {
    m_reconnect->hide();
    setStatus("connecting to " + m_link.deviceUrl());
    m_link.open();
}

void PanelWindow::opened(const QString& error) {
    if (!error.isEmpty()) {
        setStatus(error);
        m_reconnect->show();
        return;
    }
    m_connected = true;
    m_link.readLayers();
}

void PanelWindow::layersRead(const lcdclient::LayerList& layers, const QString& error) {
    if (!error.isEmpty()) {
        setStatus("cannot read the device's layers: " + error);
        return;
    }
    showLayers(layers);
    // The device's address is the window's title; the status stays the
    // same from one run to the next.
    QString read = QString("%1 layers read").arg(layers.size());
    if (m_options.layer != 0 && shownId() != m_options.layer)
        read += QString("; it has no layer %1").arg(m_options.layer);
    setStatus(read);
}

void PanelWindow::showLayers(const lcdclient::LayerList& layers) {
    const int wasShown = shownId();
    const bool keepEdits = shownEdited();
    m_device.assign(layers.begin(), layers.end());
    int row = -1;
    for (std::size_t i = 0; i < m_device.size(); ++i) {
        const int id = m_device[i].layerId;
        if (id == (wasShown != 0 ? wasShown : m_options.layer))
            row = static_cast<int>(i);
    }
    if (row < 0 && !m_device.empty())
        row = 0;
    {
        const QSignalBlocker quiet(m_list);
        m_list->clear();
        for (const auto& layer : m_device)
            m_list->addItem(QString("Layer %1").arg(layer.layerId));
        m_list->setCurrentRow(row);
    }
    if (row >= 0 && m_device[static_cast<std::size_t>(row)].layerId == wasShown && keepEdits) {
        m_shown = row;
        showState();
        return;
    }
    select(row);
}

void PanelWindow::select(int row) {
    m_shown = row;
    m_controls->setEnabled(row >= 0);
    if (row >= 0) {
        m_controls->show(m_device[static_cast<std::size_t>(row)]);
        m_picture.fetch(shownId());
    }
    showState();
}

void PanelWindow::edited() {
    showState();
    if (m_whileDragging->isChecked())
        m_pacer.offer(m_controls->record());
}

void PanelWindow::revert() {
    if (m_shown >= 0)
        m_controls->show(m_device[static_cast<std::size_t>(m_shown)]);
    showState();
}

void PanelWindow::answered(const lcdclient::LayerList& sent, const lcdclient::SetAnswer& answer) {
    m_pacer.answered();
    if (m_options.verbose)
        for (const std::string& warning : answer.warnings)
            std::cerr << "lcdpanel: plug-in: " << lcdtools::printable(warning) << "\n";
    setStatus(layerNames(sent) + ": " + QString::fromStdString(answer.text()));
}

void PanelWindow::changed(const lcdclient::LayerList& layers) {
    // One look-up table and one update of the shown layer per report, however
    // long the report: a device may send some 350,000 records in one.
    const bool followEdits = !shownEdited();
    std::unordered_map<int, std::size_t> index;
    for (std::size_t i = 0; i < m_device.size(); ++i)
        index.emplace(m_device[i].layerId, i);
    bool listed = true, shownChanged = false;
    for (const auto& layer : layers) {
        const auto at = index.find(layer.layerId);
        if (at == index.end()) {
            listed = false;
            continue;
        }
        m_device[at->second] = layer;
        shownChanged = shownChanged || static_cast<int>(at->second) == m_shown;
    }
    if (shownChanged) {
        if (followEdits)
            m_controls->show(m_device[static_cast<std::size_t>(m_shown)]);
        m_picture.fetch(shownId());
    }
    // A layer the list does not have: the device's layers are read anew.
    if (!listed)
        m_link.readLayers();
    showState();
}

void PanelWindow::pictureArrived(int layerId, const QImage& image) {
    if (layerId != shownId())
        return;
    m_pictureLabel->setPixmap(QPixmap::fromImage(image.scaled(
        kPictureWidth, kPictureHeight, Qt::IgnoreAspectRatio, Qt::FastTransformation)));
    emit pictureShown(layerId);
}

void PanelWindow::pictureMissing(int layerId, const QString& why) {
    if (layerId != shownId())
        return;
    m_pictureLabel->setText(QString("No picture of layer %1: %2.\n\nThe device simulator draws "
                                    "each layer with its settings; a device without its /sim/ "
                                    "endpoints shows none here.")
                                .arg(layerId)
                                .arg(why));
    emit pictureShown(layerId);
}

void PanelWindow::setStatus(const QString& text) {
    m_status->setText(text);
}

void PanelWindow::showState() {
    m_apply->setEnabled(m_connected && m_shown >= 0);
    const bool edited = shownEdited();
    m_revert->setEnabled(edited);
    if (m_shown < 0) {
        m_deviceValues->clear();
        return;
    }
    // What differs from the defaults, as lcdhost get says it.
    const lcdclient::LayerRecord& held = m_device[static_cast<std::size_t>(m_shown)];
    const QString outside = LayerControls::outsideRanges(held);
    m_deviceValues->setText(
        QString("On the device: %1%2%3")
            .arg(QString::fromStdString(lcdclient::summary(held)))
            .arg(outside.isEmpty() ? "" : "\nOutside the controls' ranges: " + outside)
            .arg(edited ? "\nThe controls hold changes not yet applied." : ""));
}

bool PanelWindow::shownEdited() const {
    return m_shown >= 0 && !lcdclient::sameRecord(m_controls->record(),
                                                  m_device[static_cast<std::size_t>(m_shown)]);
}

int PanelWindow::shownId() const {
    return m_shown >= 0 ? m_device[static_cast<std::size_t>(m_shown)].layerId : 0;
}

} // namespace lcdpanel
