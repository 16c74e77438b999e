#include "model/ui/PageMisc.h"

#include "lang/LangString.h"
#include "model/BikePresets.h"
#include "model/SelectionLists.h"
#include "model/ui/TRadioGroup.h"
#include "model/ui/TUpDown.h"

#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>

#include <algorithm>

namespace {

constexpr int MIN_INPUT_ITEMS = 5;

} // namespace

PageMisc::PageMisc(ControlBinder& binder, PageHost& host, QWidget* sheet) : SettingsPage(binder, host, sheet)
{
    auto* grid = new QGridLayout(sheet_);
    UpDownLimiter = makeUpDown("Limiter", 1000, 25000, 100);
    UpDownStartLimiter = makeUpDown("StartLimiter", 1000, 25000, 100);
    UpDownStartLimiterDelay = makeUpDown("StartLimiterDelay", 0, 5000, 100);
    UpDownClutchTime = makeUpDown("ClutchTime", 0, 2500, 10);
    UpDownClutchPause = makeUpDown("ClutchPause", 0, 2500, 10);
    UpDownRetard = makeUpDown("Retard", 0, 60);
    bindings_ = {{{UpDownLimiter, LIMITER, 100}, {UpDownStartLimiter, START_LIM, 100},
        {UpDownStartLimiterDelay, START_LIM_DELAY, 100}, {UpDownClutchTime, CLUTCH_TIME, 10},
        {UpDownClutchPause, CLUTCH_PAUSE, 10}, {UpDownRetard, RETARD, 1}}};
    const char* labels[] = {"LabelLimiter", "LabelStartLimiter", "LabelStartLimiterDelay", "LabelClutchTime",
        "LabelClutchPause", "LabelRetard"};
    for (size_t i = 0; i < bindings_.size(); ++i) {
        grid->addWidget(makeLabel(labels[i]), static_cast<int>(i), 0);
        grid->addWidget(bindings_[i].upDown, static_cast<int>(i), 1);
    }

    RadioGroupTpsIap = makeRadioGroup("RadioGroupTpsIap");
    for (const char* item : {"###No##Kein##Žádný", "TP", "IAP"})
        RadioGroupTpsIap->addItem(QString::fromUtf8(LangText(item)), 0);
    grid->addWidget(RadioGroupTpsIap, 0, 2, 3, 1);
    for (int i = 0; i < 2; ++i) {
        inputGroups_[static_cast<size_t>(i)] = makeRadioGroup(QString("RadioGroupInput%1").arg(i + 1));
        grid->addWidget(inputGroups_[static_cast<size_t>(i)], 6, i, 1, 1);
    }
    grid->setRowStretch(7, 1);
    grid->setColumnStretch(3, 1);
    BuildInputGroups();
}

void PageMisc::BuildInputGroups()
{
    ControlBinder::Updating guard(binder_);
    std::array<std::vector<CodedItem>, 2> items{InputItems(0), InputItems(1)};
    const size_t padded = std::max<size_t>({MIN_INPUT_ITEMS, items[0].size(), items[1].size()});
    for (size_t i = 0; i < inputGroups_.size(); ++i) {
        TRadioGroup* g = inputGroups_[i];
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
    for (const Binding& b : bindings_)
        binder_.UpDownToImage(b.upDown, FieldRef::byte(b.address), b.scale);
    // The dwell settings are not offered by this unit family and are kept at zero.
    std::fill(&img().Adrb(EXCITATION), &img().Adrb(DWELL + 4) + 1, uint8_t{0});
    binder_.RadioIndexToImage(RadioGroupTpsIap, FieldRef::byte(TPSIAP_SENSOR));
    binder_.ItemCodeToImage(inputGroups_[0], FieldRef::byte(INPUT1));
    binder_.ItemCodeToImage(inputGroups_[1], FieldRef::byte(INPUT2));
}

void PageMisc::Load()
{
    for (const Binding& b : bindings_)
        binder_.ImageToUpDown(b.upDown, FieldRef::byte(b.address), b.scale);
    binder_.ImageToRadioIndex(RadioGroupTpsIap, FieldRef::byte(TPSIAP_SENSOR));
    binder_.ImageToItemCode(inputGroups_[0], FieldRef::byte(INPUT1));
    binder_.ImageToItemCode(inputGroups_[1], FieldRef::byte(INPUT2));
    if (img().Adrb(LIMITER) != shownLimiter_ || img().Adrb(START_LIM) != shownStartLimiter_)
        host_.MarkEditorsForReload();
    shownLimiter_ = img().Adrb(LIMITER);
    shownStartLimiter_ = img().Adrb(START_LIM);
}

void PageMisc::UpdateVisibility()
{
    const FunctionUse use = ComputeFunctionUse(img());
    UpDownClutchTime->setUpDownVisible(use.quickshift);
    UpDownClutchPause->setUpDownVisible(use.quickshift);
    for (TUpDown* u : {UpDownStartLimiter, UpDownStartLimiterDelay}) {
        u->setEnabled(use.startLimiter);
        u->setUpDownVisible(use.startLimiter);
    }
    UpDownRetard->setEnabled(use.retard);
    UpDownRetard->setUpDownVisible(use.retard);
}
