#include "tools/lcdpanel/layercontrols.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <cstring>

#include "tools/common/layersettings.h"

namespace lcdpanel {

namespace {

// Groups fill the first column, then the second, so that the two columns
// are about as tall.
constexpr int kGroupsPerColumn = 3;
// Wide enough to move a setting by a step or two with the mouse.
constexpr int kSliderWidth = 150;

} // namespace

LayerControls::LayerControls(QWidget* parent) : QWidget(parent) {
    auto* columns = new QHBoxLayout(this);
    columns->setContentsMargins(0, 0, 0, 0);
    QVBoxLayout* column = nullptr;
    QGroupBox* box = nullptr;
    QGridLayout* grid = nullptr;
    int groups = 0;
    const char* group = "";
    for (const lcdtools::LayerSetting& c : lcdtools::kLayerSettings) {
        if (std::strcmp(c.group, group) != 0) {
            group = c.group;
            box = new QGroupBox(QString::fromUtf8(group), this);
            grid = new QGridLayout(box);
            grid->setColumnStretch(1, 1);
            if (groups++ % kGroupsPerColumn == 0) {
                if (column)
                    column->addStretch(1);
                column = new QVBoxLayout;
                columns->addLayout(column, 1);
            }
            column->addWidget(box);
        }
        auto* slider = new QSlider(Qt::Horizontal, box);
        auto* spin = new QSpinBox(box);
        slider->setRange(c.low, c.high);
        slider->setMinimumWidth(kSliderWidth);
        spin->setRange(c.low, c.high);
        slider->setPageStep(std::max(1, (c.high - c.low) / 20));
        // A value typed in counts once it is complete, not digit by digit.
        spin->setKeyboardTracking(false);
        slider->setObjectName(QString::fromUtf8(c.name));
        spin->setObjectName(QString::fromUtf8(c.name));
        slider->setToolTip(QString("%1 (%2..%3)").arg(c.name).arg(c.low).arg(c.high));
        const int row = grid->rowCount();
        auto* label = new QLabel(QString::fromUtf8(c.label), box);
        grid->addWidget(label, row, 0);
        grid->addWidget(slider, row, 1);
        grid->addWidget(spin, row, 2);
        connect(slider, &QSlider::valueChanged, spin, &QSpinBox::setValue);
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), slider, &QSlider::setValue);
        // Every change passes through the spin box, the slider's too.
        const std::size_t index = m_rows.size();
        connect(spin, QOverload<int>::of(&QSpinBox::valueChanged), this, [this, index] {
            if (m_showing)
                return;
            m_rows[index].chosen = true;
            emit edited();
        });
        m_rows.push_back({&c, label, slider, spin, false});
    }
    column->addStretch(1);
}

void LayerControls::show(const lcdclient::LayerRecord& record) {
    m_shown = record;
    m_showing = true;
    for (Row& row : m_rows) {
        const int value = row.setting->in(m_shown);
        const bool outside = value < row.setting->low || value > row.setting->high;
        row.spin->setValue(std::clamp(value, row.setting->low, row.setting->high));
        row.chosen = false;
        const QString label = QString::fromUtf8(row.setting->label);
        row.label->setText(outside ? QString("%1 (device: %2)").arg(label).arg(value) : label);
        row.label->setToolTip(outside ? QString("the device holds %1, outside %2..%3; the "
                                                "controls show the nearest end")
                                            .arg(value)
                                            .arg(row.setting->low)
                                            .arg(row.setting->high)
                                      : QString());
    }
    m_showing = false;
}

lcdclient::LayerRecord LayerControls::record() const {
    lcdclient::LayerRecord record = m_shown;
    for (const Row& row : m_rows)
        if (row.chosen)
            row.setting->of(record) = row.spin->value();
    return record;
}

QString LayerControls::outsideRanges(const lcdclient::LayerRecord& record) {
    QStringList outside;
    for (const lcdtools::LayerSetting& s : lcdtools::kLayerSettings)
        if (s.in(record) < s.low || s.in(record) > s.high)
            outside
                << QString("%1 %2 (%3..%4)").arg(s.name).arg(s.in(record)).arg(s.low).arg(s.high);
    return outside.join(", ");
}

} // namespace lcdpanel
