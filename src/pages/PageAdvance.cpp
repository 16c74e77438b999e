#include "pages/PageAdvance.h"

#include "lang/LangString.h"
#include "lang/RuntimeTexts.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/MapImageBinding.h"
#include "mapedit/ui/MapEditor.h"
#include "model/FieldFacts.h"
#include "pages/UpDownSpinBox.h"

#include <QGridLayout>
#include <QLabel>

namespace {

constexpr int CORRECTION_TEXT = 68;
constexpr int MAP_WIDTH = 560;
constexpr int MAP_HEIGHT = 300;

} // namespace

PageAdvance::PageAdvance(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors)
    : SettingsPage(binder, host, sheet)
{
    auto* grid = new QGridLayout(sheet_);
    map_ = editors.CreateProgramMap(MapKind::Advance, sheet_, MAP_WIDTH, MAP_HEIGHT);
    // The map never has more than ten speed columns; sharing the width among ten keeps the
    // speed headers ("10 000") readable.
    map_->SetVisibleColumns(MAP_DIM);
    map_->setMinimumSize(MAP_WIDTH, MAP_HEIGHT);
    grid->addWidget(map_, 0, 0, 1, 4);

    upDownBaseAdv_ = MakeUpDown(Fact("BASE_ADV"));
    grid->addWidget(MakeCaptionLabel(Fact("BASE_ADV")), 1, 0);
    grid->addWidget(upDownBaseAdv_, 1, 1);

    labelKorAdv_ = MakeLabel("LabelKorAdv");
    grid->addWidget(labelKorAdv_, 2, 0, 1, 2);
    for (int k = 0; k < CHANNELS; ++k) {
        const auto i = static_cast<size_t>(k);
        corrections_[i] = makeUpDownField(Fact("CORR_ADVANCE"), k);
        correctionLabels_[i] = MakeLabel(QString("LabelKorAdv%1").arg(k + 1));
        correctionLabels_[i]->setText(QString::number(k + 1));
        grid->addWidget(correctionLabels_[i], 3 + k, 0, Qt::AlignRight);
        grid->addWidget(corrections_[i].upDown, 3 + k, 1);
    }
    // The map takes the room a larger window gives: its graph grows with it.
    grid->setRowStretch(0, 1);
    grid->setColumnStretch(3, 1);
}

void PageAdvance::Store()
{
    // The spin button wins over the editor when the user changed it; otherwise the editor's base
    // advance (moved on its own display) is kept.
    const bool baseEdited = upDownBaseAdv_->value() != img().Adrb(BASE_ADV);
    usedColumns_ = MapImageBinding::StoreAdvanceMap(*map_, img());
    if (img().Adrb(TPSIAP_SENSOR) == 0)
        img().Adrb(ADV_MAPA) = 0; // without a load sensor the map is one curve over speed
    StoreUpDownFields(binder_, corrections_);
    if (baseEdited)
        binder_.UpDownToImage(upDownBaseAdv_, Fact("BASE_ADV"));
    map_->SetBaseAdvance(img().Adrb(BASE_ADV));
}

void PageAdvance::Load()
{
    LoadUpDownFields(binder_, corrections_);
    binder_.ImageToUpDown(upDownBaseAdv_, Fact("BASE_ADV"));
    MapImageBinding::LoadAdvanceMap(*map_, img(), usedColumns_);
    map_->update();
    if (img().Adrb(BASE_ADV) != shownBaseAdvance_)
        host_.MarkEditorsForReload();
    shownBaseAdvance_ = img().Adrb(BASE_ADV);
}

void PageAdvance::UpdateVisibility()
{
    const int channels = img().Adrb(CHANNEL_COUNT);
    for (int k = 1; k < CHANNELS; ++k) {
        const bool shown = channels >= k + 1;
        corrections_[static_cast<size_t>(k)].upDown->setVisible(shown);
        correctionLabels_[static_cast<size_t>(k)]->setVisible(shown);
    }
    Retranslate();
}

void PageAdvance::Retranslate()
{
    labelKorAdv_->setText(QString::fromStdString(RuntimeTexts::TextIn(CORRECTION_TEXT, LanguageIndex)));
}
