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

class QLabel;
class QSlider;
class QSpinBox;

namespace lcdpanel {

class LayerControls : public QWidget {
    Q_OBJECT
public:
    explicit LayerControls(QWidget* parent = nullptr);

    // Shows `record`'s values; a value beyond a slider's range is shown at
    // its nearest end, with the device's value beside the setting's name.
    void show(const lcdclient::LayerRecord& record);
    // The shown record with the values the person chose in the controls;
    // every other member as shown, an out-of-range one too: the panel
    // never writes a value the person did not choose.
    lcdclient::LayerRecord record() const;

    // The members of `record` outside the controls' ranges:
    // "hue 2147483647 (-180..180), gamma 5000 (10..1000)"; empty for none.
    static QString outsideRanges(const lcdclient::LayerRecord& record);

signals:
    // The user changed a value (while dragging too: once per step).
    void edited();

private:
    struct Row {
        const lcdtools::LayerSetting* setting;
        QLabel* label;
        QSlider* slider;
        QSpinBox* spin;
        bool chosen; // the person changed it since the record was shown
    };
    std::vector<Row> m_rows;
    lcdclient::LayerRecord m_shown;
    bool m_showing = false;
};

} // namespace lcdpanel
