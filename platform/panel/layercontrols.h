// The settings of one layer as sliders with spin boxes, built from
// settingControls(), in group boxes as the record groups them:
//
//   lcdpanel::LayerControls controls;
//   controls.show(record);                 // the layer's values, no edited()
//   ... the user moves a slider: edited()
//   lcdhost::LayerRecord wanted = controls.record();
//
// Each slider and its spin box carry the member's dotted name as their
// object name ("hue", "contrast.R").
#pragma once

#include <QWidget>

#include <vector>

#include "platform/framework/lcdhost/layerfields.h"

class QSlider;
class QSpinBox;

namespace lcdpanel {

class LayerControls : public QWidget {
    Q_OBJECT
public:
    explicit LayerControls(QWidget* parent = nullptr);

    // Shows `record`'s values; values beyond a slider's range are shown at
    // its nearest end.
    void show(const lcdhost::LayerRecord& record);
    // The shown layer's record with the values the controls hold. A value
    // that the controls could not show stays as it was shown.
    lcdhost::LayerRecord record() const;

signals:
    // The user changed a value (while dragging too: once per step).
    void edited();

private:
    struct Row {
        std::size_t field;
        QSlider* slider;
        QSpinBox* spin;
    };
    std::vector<Row> m_rows;
    lcdhost::LayerRecord m_shown;
    bool m_showing = false;
};

} // namespace lcdpanel
