// lcdpanel's window: the device's layers on the left, the chosen layer's
// settings in the middle, the device's picture of it on the right, the
// answer of the last set request in the status line.
//
//   lcdpanel::PanelWindow window(connection, {});   // the device started
//   window.show();
//   window.start();                                // connects, reads the layers
//
// "Apply" sends the layer's whole record as a set request through the host
// and the plug-in; with "Apply while dragging" every change is sent, paced
// by ApplyPacer. Each change notification updates the layers it names: the
// controls follow unless the person has edits of that layer not yet on the
// device ("Revert" drops them), and the picture is fetched again.
//
// Widgets a test or a script looks for, by object name: "layers" (the
// list), "apply", "revert", "applyWhileDragging", "reconnect", "picture",
// "deviceValues" (what the device holds), "status", and each setting's slider and spin box by the
// member's dotted name ("hue", "contrast.R").
#pragma once

#include <QMainWindow>

#include <vector>

#include "tools/client/connection.h"
#include "tools/lcdpanel/applypacer.h"
#include "tools/lcdpanel/devicelink.h"
#include "tools/lcdpanel/devicepicture.h"

class QCheckBox;
class QLabel;
class QListWidget;
class QPushButton;

namespace lcdpanel {

class LayerControls;

class PanelWindow : public QMainWindow {
    Q_OBJECT
public:
    struct Options {
        int layer = 0; // the layer shown first; 0: the device's first
        bool verbose = false;
    };

    PanelWindow(lcdclient::Connection& connection, const Options& options,
                QWidget* parent = nullptr);

    void start();

    // Lists `layers` as the device's (what reading them does). The shown
    // layer stays shown when it is among them, with the person's edits.
    void showLayers(const lcdclient::LayerList& layers);

    DeviceLink& link() { return m_link; }

signals:
    // The picture area shows the layer's picture, or says why it has none.
    void pictureShown(int layerId);

private:
    void build();
    void select(int row);
    void opened(const QString& error);
    void layersRead(const lcdclient::LayerList& layers, const QString& error);
    void answered(const lcdclient::LayerList& sent, const lcdclient::SetAnswer& answer);
    void changed(const lcdclient::LayerList& layers);
    void edited();
    void revert();
    void pictureArrived(int layerId, const QImage& image);
    void pictureMissing(int layerId, const QString& why);
    void setStatus(const QString& text);
    void showState();
    bool shownEdited() const;
    int shownId() const;

    Options m_options;
    DeviceLink m_link;
    ApplyPacer m_pacer;
    DevicePicture m_picture;
    bool m_connected = false;
    bool m_streamLost = false;
    // The device's layers as last read or reported, in the list's order.
    std::vector<lcdclient::LayerRecord> m_device;
    int m_shown = -1; // row of the shown layer

    QListWidget* m_list = nullptr;
    LayerControls* m_controls = nullptr;
    QLabel* m_pictureLabel = nullptr;
    QLabel* m_deviceValues = nullptr;
    QLabel* m_status = nullptr;
    QPushButton* m_apply = nullptr;
    QPushButton* m_revert = nullptr;
    QPushButton* m_reconnect = nullptr;
    QCheckBox* m_whileDragging = nullptr;
};

} // namespace lcdpanel
