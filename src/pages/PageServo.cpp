#include "pages/PageServo.h"

#include "mapedit/ui/MapEditorList.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/TTab.h"
#include "pages/TUpDown.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace {

constexpr int MAP_WIDTH = 560;
constexpr int MAP_HEIGHT = 300;
// The map is tinted differently while it holds percent, so the two units are not mixed up.
constexpr uint32_t VOLTS_COLOR = 0xCEDBFF;
constexpr uint32_t PERCENT_COLOR = 0xCEF0D8;

} // namespace

PageServo::PageServo(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors)
    : SettingsPage(binder, host, sheet)
{
    auto* grid = new QGridLayout(sheet_);
    CheckBoxServoEnable = makeCheckBox("CheckBoxServoEnable");
    CheckBoxServoProcenta = makeCheckBox("CheckBoxServoProcenta");
    grid->addWidget(CheckBoxServoEnable, 0, 0, 1, 2);
    grid->addWidget(CheckBoxServoProcenta, 0, 2, 1, 2);
    levels_ = { { { makeUpDown("ServoHyster", 0, 1275, 5), FieldRef::byte(SERVO_HYSTER), 5, 0 },
        { makeUpDown("ServoNo", 0, 1250, 5), FieldRef::byte(SERVO_NO), 5, 0 } } };
    levelLabels_ = { makeLabel("LabelServoHyster"), makeLabel("LabelServoNo") };
    for (int i = 0; i < 2; ++i) {
        grid->addWidget(levelLabels_[static_cast<size_t>(i)], 1, 2 * i);
        grid->addWidget(levels_[static_cast<size_t>(i)].upDown, 1, 2 * i + 1);
    }
    map_ = editors.CreateProgramMap(MapKind::Servo, sheet_, MAP_WIDTH, MAP_HEIGHT);
    // The map never has more than ten speed columns; sharing the width among ten keeps the
    // speed headers ("10 000") readable.
    map_->visibleColumns = MAP_DIM;
    map_->setMinimumSize(MAP_WIDTH, MAP_HEIGHT);
    grid->addWidget(map_, 2, 0, 1, 5);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(4, 1);
}

void PageServo::Store()
{
    // The check box and the editor's sheet switch both edit SERVO_ENABLE; whichever the user
    // changed since the last load wins.
    const bool enableEdited = CheckBoxServoEnable->isChecked() != (img().Adrb(SERVO_ENABLE) != 0);
    usedColumns_ = MapImageBinding::StoreServoMap(*map_, img());
    if (enableEdited)
        binder_.CheckBoxToImage(CheckBoxServoEnable, FieldRef::byte(SERVO_ENABLE));
    StoreUpDownFields(binder_, levels_);
    const bool percent = CheckBoxServoProcenta->isChecked();
    if (percent != (img().Adrb(SERVO_PERCENT) != 0)) {
        map_->CancelCellEdit();
        ConvertCells(percent);
        binder_.CheckBoxToImage(CheckBoxServoProcenta, FieldRef::byte(SERVO_PERCENT));
    }
}

void PageServo::ConvertCells(bool toPercent)
{
    for (int i = 0; i < MAP_DIM * MAP_DIM; ++i) {
        uint8_t& cell = img().Adrb(SERVO_MV + i);
        cell = static_cast<uint8_t>(toPercent ? VoltsToPercent(cell) : PercentToVolts(cell));
    }
}

void PageServo::Load()
{
    binder_.ImageToCheckBox(CheckBoxServoEnable, FieldRef::byte(SERVO_ENABLE));
    binder_.ImageToCheckBox(CheckBoxServoProcenta, FieldRef::byte(SERVO_PERCENT));
    LoadUpDownFields(binder_, levels_);
    MapImageBinding::LoadServoMap(*map_, img(), usedColumns_);
    map_->update();
}

void PageServo::UpdateVisibility()
{
    const bool enabled = img().Adrb(SERVO_ENABLE) != 0;
    for (size_t i = 0; i < levels_.size(); ++i) {
        levels_[i].upDown->setVisible(enabled);
        levelLabels_[i]->setVisible(enabled);
    }
    const uint32_t color = img().Adrb(SERVO_PERCENT) ? PERCENT_COLOR : VOLTS_COLOR;
    CSheet& s = map_->sheets[0];
    if (s.axisData.color != color) {
        s.axisX.color = s.axisY.color = s.axisData.color = color;
        map_->RebuildLayout();
        map_->update();
    }
}
