#include "pages/PagePowerOut.h"

#include "lang/LangString.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/MapEditor.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/MapFact.h"
#include "model/SelectionLists.h"
#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

namespace {

constexpr int TABLE_WIDTH = 330;
constexpr int TABLE_HEIGHT = 150;
constexpr int SPEED_POINTS = 3;
constexpr int LOAD_POINTS = 2;

struct UnusedSpin {
    const char* name;
    const char* label;
    int minimum, maximum, step;
};

// Offered by other unit families only.
constexpr std::array<UnusedSpin, 3> kUnused = { {
    { "POutPwm", "PWM [%]", 10, 100, 10 },
    { "POutFreq", "*Frequency [Hz]", 2, 20, 2 },
    { "POutPulse", "*Pulse [ms]", 5, 500, 5 },
} };

} // namespace

PagePowerOut::PagePowerOut(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors)
    : SettingsPage(binder, host, sheet)
{
    auto* grid = new QGridLayout(sheet_);
    for (int n = 0; n < OUTPUT_SLOTS; ++n) {
        BuildOutput(n, editors);
        grid->addWidget(outputs_[static_cast<size_t>(n)].box, n, 0);
    }
    secondTable_ = editors.CreateProgramMap(MapKind::PowerOutB, sheet_);
    secondTable_->hide();
    grid->addWidget(secondTable_, OUTPUT_SLOTS, 0);
    grid->setRowStretch(OUTPUT_SLOTS + 1, 1);
    grid->setColumnStretch(0, 1);
}

void PagePowerOut::BuildOutput(int n, MapEditorList& editors)
{
    Output& o = outputs_[static_cast<size_t>(n)];
    o.box = new QGroupBox(sheet_);
    o.box->setObjectName(QString("GroupBoxPOut%1").arg(n + 1));
    auto* grid = new QGridLayout(o.box);

    o.mode = new RadioGroup(QString::fromStdString(Fact("POWER_OUT_MODE").ControlName(n)), o.box);
    connect(o.mode, &RadioGroup::itemClicked, this, [this, n] {
        if (!binder_.updating())
            RadioGroupPOutClick(n);
    });
    FillModes(o);
    grid->addWidget(o.mode, 0, 0, 4, 1);

    o.hysteresis = MakeUpDown(Fact("POWER_OUT_HYST"), n);
    o.hysteresis->setParent(o.box);
    o.hysteresisLabel = MakeCaptionLabel(Fact("POWER_OUT_HYST"), n);
    o.hysteresisLabel->setParent(o.box);
    grid->addWidget(o.hysteresisLabel, 0, 1);
    grid->addWidget(o.hysteresis, 1, 1);
    for (size_t k = 0; k < kUnused.size(); ++k) {
        const UnusedSpin& u = kUnused[k];
        o.unused[k] = MakeUpDown(QString("%1%2").arg(u.name).arg(n + 1), u.minimum, u.maximum, u.step);
        o.unused[k]->setParent(o.box);
        o.unused[k]->hide();
        o.unusedLabels[k] = MakeLabel(QString("Label%1%2").arg(u.name).arg(n + 1));
        o.unusedLabels[k]->setParent(o.box);
        o.unusedLabels[k]->setText(u.label);
        o.unusedLabels[k]->hide();
    }

    o.table = editors.CreateProgramMap(MapKind::PowerOutA, o.box, TABLE_WIDTH, TABLE_HEIGHT, n + 1);
    o.table->setMinimumSize(TABLE_WIDTH, TABLE_HEIGHT);
    grid->addWidget(o.table, 0, 2, 4, 1);
    // The speed points sit close together on a proportional axis; every pixel of width helps.
    grid->setColumnStretch(2, 1);
    o.box->setVisible(Used(n));
}

void PagePowerOut::FillModes(Output& o)
{
    ControlBinder::Updating guard(binder_);
    const int selected = o.mode->itemIndex();
    o.mode->clearItems();
    for (const CodedItem& item : Fact("POWER_OUT_MODE").choices())
        o.mode->addItem(QString::fromUtf8(LangText(item.text)), item.code);
    o.mode->setItemIndex(selected);
}

void PagePowerOut::Retranslate()
{
    for (int n = 0; n < OUTPUT_SLOTS; ++n) {
        Output& o = outputs_[static_cast<size_t>(n)];
        FillModes(o);
        o.box->setTitle(Used(n) ? QString::fromUtf8(LangText(PowerOutGroupCaptions[n]))
                                : QString::fromUtf8(LangText(POWER_OUT_NAME)).replace("%d", QString::number(n + 1)));
    }
}

void PagePowerOut::Store()
{
    for (int n = 0; n < POWER_OUT_COUNT; ++n) {
        const Output& o = outputs_[static_cast<size_t>(n)];
        binder_.ItemCodeToImage(o.mode, Fact("POWER_OUT_MODE").Ref(n));
        binder_.UpDownToImage(o.hysteresis, Fact("POWER_OUT_HYST"), n);
        MapImageBinding::StorePowerOutMap(*o.table, img(), n);
    }
}

void PagePowerOut::Load()
{
    for (int n = 0; n < POWER_OUT_COUNT; ++n) {
        Output& o = outputs_[static_cast<size_t>(n)];
        binder_.ImageToItemCode(o.mode, Fact("POWER_OUT_MODE").Ref(n));
        binder_.ImageToUpDown(o.hysteresis, Fact("POWER_OUT_HYST"), n);
        MapImageBinding::LoadPowerOutMap(*o.table, img(), n);
        o.table->update();
    }
}

void PagePowerOut::RadioGroupPOutClick(int output)
{
    if (!Used(output))
        return;
    // Clicking the mode already chosen must not reset a table the user has edited.
    const Output& o = outputs_[static_cast<size_t>(output)];
    const int index = o.mode->itemIndex();
    if (index >= 0 && o.mode->code(index) == img().Adrb(POWER_OUT_MODE + output))
        return;
    Store();
    PowerOutDefaults(img(), output, PowerOutDefaultForm::ModeChanged);
    ValidateImage(img(), nullptr);
    Load();
    UpdateVisibility();
    // The commit stores the page as now loaded, validates and takes the undo step.
    host_.RequestCommit(outputs_[static_cast<size_t>(output)].mode, PageHost::COMMIT_NOW);
}

void PagePowerOut::UpdateVisibility()
{
    for (int n = 0; n < OUTPUT_SLOTS; ++n) {
        Output& o = outputs_[static_cast<size_t>(n)];
        o.box->setVisible(Used(n));
        if (Used(n))
            UpdateOutput(n);
    }
    secondTable_->hide();
}

void PagePowerOut::UpdateOutput(int n)
{
    Output& o = outputs_[static_cast<size_t>(n)];
    const int mode = img().Adrb(POWER_OUT_MODE + n);
    const int sensor = img().Adrb(TPSIAP_SENSOR);
    if (mode == o.shownMode && sensor == o.shownSensor)
        return;
    o.shownMode = mode;
    o.shownSensor = sensor;
    const bool withTable = mode == POWER_OUT_GEAR_SHIFT_LIGHT || mode == POWER_OUT_SPECIAL;
    o.table->setVisible(withTable);
    o.hysteresis->setVisible(withTable);
    o.hysteresisLabel->setVisible(withTable);
    // The gear shift light switches by speed alone; the special mode also by load when a sensor exists.
    MapSheet& s = o.table->SheetAt(0);
    s.axisX.count = mode == POWER_OUT_GEAR_SHIFT_LIGHT ? 1 : SPEED_POINTS;
    s.axisY.count = LOAD_POINTS;
    s.axisY.off = mode == POWER_OUT_GEAR_SHIFT_LIGHT || sensor == 0 ? 1 : 0;
    o.table->SelectSheet(0);
    o.table->RebuildLayout();
    o.table->update();
}
