#include "pages/PageServo.h"

#include "mapedit/ui/MapEditorList.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/MapEditor.h"
#include "model/FieldFacts.h"
#include "pages/UpDownSpinBox.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>

namespace {

constexpr int MAP_WIDTH = 560;
constexpr int MAP_HEIGHT = 300;
// The map is tinted differently while it holds percent, so the two units are not mixed up.
constexpr uint32_t VOLTS_COLOR = 0xCEDBFF;
constexpr uint32_t PERCENT_COLOR = 0xCEF0D8;

constexpr std::array<const FieldFact*, 2> LEVEL_FIELDS = { &Fact("SERVO_HYSTER"), &Fact("SERVO_NO") };

} // namespace

PageServo::PageServo(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors)
    : SettingsPage(binder, host, sheet)
{
    auto* grid = new QGridLayout(sheet_);
    checkBoxServoEnable_ = MakeCheckBox(Fact("SERVO_ENABLE"));
    checkBoxServoProcenta_ = MakeCheckBox(Fact("SERVO_PERCENT"));
    grid->addWidget(checkBoxServoEnable_, 0, 0, 1, 2);
    grid->addWidget(checkBoxServoProcenta_, 0, 2, 1, 2);
    for (size_t i = 0; i < levels_.size(); ++i)
        levels_[i] = makeUpDownField(*LEVEL_FIELDS[i]);
    for (size_t i = 0; i < levels_.size(); ++i) {
        levelLabels_[i] = MakeCaptionLabel(*LEVEL_FIELDS[i]);
        grid->addWidget(levelLabels_[i], 1, 2 * static_cast<int>(i));
        grid->addWidget(levels_[i].upDown, 1, 2 * static_cast<int>(i) + 1);
    }
    map_ = editors.CreateProgramMap(MapKind::Servo, sheet_, MAP_WIDTH, MAP_HEIGHT);
    // The map never has more than ten speed columns; sharing the width among ten keeps the
    // speed headers ("10 000") readable.
    map_->SetVisibleColumns(MAP_DIM);
    map_->setMinimumSize(MAP_WIDTH, MAP_HEIGHT);
    grid->addWidget(map_, 2, 0, 1, 5);
    grid->setRowStretch(2, 1);
    grid->setColumnStretch(4, 1);
}

void PageServo::Store()
{
    // The check box and the editor's sheet switch both edit SERVO_ENABLE; whichever the user
    // changed since the last load wins.
    const bool enableEdited = checkBoxServoEnable_->isChecked() != (img().Adrb(SERVO_ENABLE) != 0);
    usedColumns_ = MapImageBinding::StoreServoMap(*map_, img());
    if (enableEdited)
        binder_.CheckBoxToImage(checkBoxServoEnable_, Fact("SERVO_ENABLE").Ref());
    StoreUpDownFields(binder_, levels_);
    const bool percent = checkBoxServoProcenta_->isChecked();
    if (percent != (img().Adrb(SERVO_PERCENT) != 0)) {
        map_->CancelCellEdit();
        ConvertCells(percent);
        binder_.CheckBoxToImage(checkBoxServoProcenta_, Fact("SERVO_PERCENT").Ref());
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
    binder_.ImageToCheckBox(checkBoxServoEnable_, Fact("SERVO_ENABLE").Ref());
    binder_.ImageToCheckBox(checkBoxServoProcenta_, Fact("SERVO_PERCENT").Ref());
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
    MapSheet& s = map_->SheetAt(0);
    if (s.axisData.color != color) {
        s.axisX.color = s.axisY.color = s.axisData.color = color;
        map_->RebuildLayout();
        map_->update();
    }
}
