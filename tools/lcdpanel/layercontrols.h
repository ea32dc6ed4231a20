// The settings of one layer as sliders with spin boxes over the ranges the
// device simulator documents for its picture (the plug-in and the device's
// interface give the numbers no range of their own), in group boxes as the
// record groups them:
//
//   lcdpanel::LayerControls controls;
//   controls.show(record);                 // the layer's values, no edited()
//   ... the user moves a slider: edited()
//   lcdclient::LayerRecord wanted = controls.record();
//
// Each slider and its spin box carry the member's dotted name as their
// object name ("hue", "contrast.R").
#pragma once

#include <QWidget>

#include <vector>

#include "tools/client/layersummary.h"

class QSlider;
class QSpinBox;

namespace lcdpanel {

class LayerControls : public QWidget {
    Q_OBJECT
public:
    explicit LayerControls(QWidget* parent = nullptr);

    // Shows `record`'s values; values beyond a slider's range are shown at
    // its nearest end.
    void show(const lcdclient::LayerRecord& record);
    // The shown layer's record with the values the controls hold. A value
    // that the controls could not show stays as it was shown.
    lcdclient::LayerRecord record() const;

signals:
    // The user changed a value (while dragging too: once per step).
    void edited();

private:
    struct Row {
        const lcdtools::LayerSetting* setting;
        QSlider* slider;
        QSpinBox* spin;
    };
    std::vector<Row> m_rows;
    lcdclient::LayerRecord m_shown;
    bool m_showing = false;
};

} // namespace lcdpanel
