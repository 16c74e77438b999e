#include "pages/PageMisc.h"

#include "lang/LangString.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/MapEditor.h"
#include "model/BikePresets.h"
#include "model/FieldFacts.h"
#include "model/SelectionLists.h"
#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

namespace {

constexpr int MIN_INPUT_ITEMS = 5;

// The spin buttons of the page, top to bottom.
constexpr std::array<const FieldFact*, 6> SPIN_FIELDS = { &Fact("LIMITER"), &Fact("START_LIM"),
    &Fact("START_LIM_DELAY"), &Fact("CLUTCH_TIME"), &Fact("CLUTCH_PAUSE"), &Fact("RETARD") };

constexpr std::array<const FieldFact*, 2> INPUT_FIELDS = { &Fact("INPUT1"), &Fact("INPUT2") };
constexpr int SENSOR_TABLE_WIDTH = 200;
constexpr int SENSOR_TABLE_HEIGHT = 110;

} // namespace

PageMisc::PageMisc(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors, SensorReading sensorMv)
    : SettingsPage(binder, host, sheet), sensorMv_(std::move(sensorMv))
{
    auto* grid = new QGridLayout(sheet_);
    for (size_t i = 0; i < bindings_.size(); ++i)
        bindings_[i] = makeUpDownField(*SPIN_FIELDS[i]);
    for (size_t i = 0; i < bindings_.size(); ++i) {
        grid->addWidget(MakeCaptionLabel(*SPIN_FIELDS[i]), static_cast<int>(i), 0);
        grid->addWidget(bindings_[i].upDown, static_cast<int>(i), 1);
    }
    upDownLimiter_ = bindings_[0].upDown;
    upDownStartLimiter_ = bindings_[1].upDown;
    upDownStartLimiterDelay_ = bindings_[2].upDown;
    upDownClutchTime_ = bindings_[3].upDown;
    upDownClutchPause_ = bindings_[4].upDown;
    upDownRetard_ = bindings_[5].upDown;

    const FieldFact& sensor = Fact("TPSIAP_SENSOR");
    radioGroupTpsIap_ = MakeRadioGroup(sensor);
    for (const CodedItem& item : sensor.choices())
        radioGroupTpsIap_->addItem(QString::fromUtf8(LangText(item.text)), 0);
    for (size_t i = 0; i < inputGroups_.size(); ++i) {
        inputGroups_[i] = MakeRadioGroup(*INPUT_FIELDS[i]);
        grid->addWidget(inputGroups_[i], 6, static_cast<int>(i), 1, 1);
    }
    BuildSensorControls(grid, editors);
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(3, 1);
    BuildInputGroups();
}

// The sensor choice with its calibration table below it, in one column: showing a table never
// makes the page wider.
void PageMisc::BuildSensorControls(QGridLayout* grid, MapEditorList& editors)
{
    auto* column = new QVBoxLayout;
    column->addWidget(radioGroupTpsIap_, 0, Qt::AlignLeft);
    tpTable_ = editors.CreateProgramMap(MapKind::TpSensor, sheet_, SENSOR_TABLE_WIDTH, SENSOR_TABLE_HEIGHT);
    iapTable_ = editors.CreateProgramMap(MapKind::IapSensor, sheet_, SENSOR_TABLE_WIDTH, SENSOR_TABLE_HEIGHT);
    for (MapEditor* table : {tpTable_, iapTable_}) {
        // A calibration table has no speed axis: its one column gets the whole width, so the
        // voltages are not clipped.
        table->SetVisibleColumns(1);
        table->setMinimumSize(SENSOR_TABLE_WIDTH, SENSOR_TABLE_HEIGHT);
        column->addWidget(table);
    }
    auto* buttons = new QHBoxLayout;
    bitBtnTps0_ = new QPushButton("TP 0 %", sheet_);
    bitBtnTps0_->setObjectName("BitBtnTps0");
    bitBtnTps100_ = new QPushButton("TP 100 %", sheet_);
    bitBtnTps100_->setObjectName("BitBtnTps100");
    connect(bitBtnTps0_, &QPushButton::clicked, this, &PageMisc::BitBtnTps0Click);
    connect(bitBtnTps100_, &QPushButton::clicked, this, &PageMisc::BitBtnTps100Click);
    buttons->addWidget(bitBtnTps0_);
    buttons->addWidget(bitBtnTps100_);
    column->addLayout(buttons);
    column->addStretch(1);
    grid->addLayout(column, 0, 2, 8, 1);
}

void PageMisc::TakeTpPoint(int cell)
{
    const std::optional<int> mv = sensorMv_ ? sensorMv_() : std::nullopt;
    if (!mv)
        return;
    MapSheet& s = tpTable_->SheetAt(0);
    s.Cell(s.axisX.offIndex, cell) = std::clamp(*mv, s.axisData.minValue, s.axisData.maxValue);
    host_.RequestCommit(cell == 0 ? bitBtnTps0_ : bitBtnTps100_, PageHost::COMMIT_NOW);
}

void PageMisc::Retranslate()
{
    BuildInputGroups();
    const auto sensors = Fact("TPSIAP_SENSOR").choices();
    for (size_t i = 0; i < sensors.size(); ++i)
        radioGroupTpsIap_->setItemText(static_cast<int>(i), QString::fromUtf8(LangText(sensors[i].text)));
}

void PageMisc::BuildInputGroups()
{
    ControlBinder::Updating guard(binder_);
    std::array<std::vector<CodedItem>, 2> items{InputItems(0), InputItems(1)};
    const size_t padded = std::max<size_t>({MIN_INPUT_ITEMS, items[0].size(), items[1].size()});
    for (size_t i = 0; i < inputGroups_.size(); ++i) {
        RadioGroup* g = inputGroups_[i];
        const int selected = g->itemIndex();
        g->clearItems();
        for (const CodedItem& item : items[i])
            g->addItem(QString::fromUtf8(LangText(item.text)), item.code);
        for (size_t k = items[i].size(); k < padded; ++k) {
            g->addItem(QString(), -2);
            g->button(static_cast<int>(k))->hide();
        }
        g->setItemIndex(selected);
    }
}

PageMisc::FunctionUse PageMisc::ComputeFunctionUse(const ParamImage& img)
{
    FunctionUse use;
    use.special = img.Adrb(BIKE) == BIKE_SPECIAL_SETTING;
    for (int address : {INPUT1, INPUT2}) {
        const int code = img.Adrb(address);
        use.killSwitch |= code == 1;
        use.blocking |= code == 2;
        use.quickshift |= code == 3 || code == 4;
        use.retard |= code == 5;
        use.startLimiter |= code == 6;
        use.tachoLambda |= code == 11;
    }
    return use;
}

void PageMisc::Store()
{
    StoreUpDownFields(binder_, bindings_);
    // The dwell settings are not offered by this unit family and are kept at zero.
    std::fill(&img().Adrb(EXCITATION), &img().Adrb(DWELL + 4) + 1, uint8_t{0});
    binder_.RadioIndexToImage(radioGroupTpsIap_, Fact("TPSIAP_SENSOR").Ref());
    for (size_t i = 0; i < inputGroups_.size(); ++i)
        binder_.ItemCodeToImage(inputGroups_[i], INPUT_FIELDS[i]->Ref());
    MapImageBinding::StoreTpSensor(*tpTable_, img());
    MapImageBinding::StoreIapSensor(*iapTable_, img());
}

void PageMisc::Load()
{
    LoadUpDownFields(binder_, bindings_);
    binder_.ImageToRadioIndex(radioGroupTpsIap_, Fact("TPSIAP_SENSOR").Ref());
    for (size_t i = 0; i < inputGroups_.size(); ++i)
        binder_.ImageToItemCode(inputGroups_[i], INPUT_FIELDS[i]->Ref());
    MapImageBinding::LoadTpSensor(*tpTable_, img());
    MapImageBinding::LoadIapSensor(*iapTable_, img());
    tpTable_->update();
    iapTable_->update();
    if (img().Adrb(LIMITER) != shownLimiter_ || img().Adrb(START_LIM) != shownStartLimiter_)
        host_.MarkEditorsForReload();
    shownLimiter_ = img().Adrb(LIMITER);
    shownStartLimiter_ = img().Adrb(START_LIM);
}

void PageMisc::UpdateVisibility()
{
    const FunctionUse use = ComputeFunctionUse(img());
    upDownClutchTime_->setUpDownVisible(use.quickshift);
    upDownClutchPause_->setUpDownVisible(use.quickshift);
    for (UpDownSpinBox* u : {upDownStartLimiter_, upDownStartLimiterDelay_}) {
        u->setEnabled(use.startLimiter);
        u->setUpDownVisible(use.startLimiter);
    }
    upDownRetard_->setEnabled(use.retard);
    upDownRetard_->setUpDownVisible(use.retard);
    const int sensor = img().Adrb(TPSIAP_SENSOR);
    for (QWidget* w : std::initializer_list<QWidget*>{tpTable_, bitBtnTps0_, bitBtnTps100_})
        w->setVisible(sensor == 1);
    iapTable_->setVisible(sensor == 2);
}
