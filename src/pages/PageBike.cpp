#include "pages/PageBike.h"

#include "lang/LangQString.h"
#include "model/BikePresets.h"
#include "model/FieldFacts.h"
#include "model/ImageValidation.h"
#include "model/LobeByte.h"
#include "model/SelectionLists.h"
#include "pages/RadioGroup.h"
#include "pages/UpDownSpinBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>

namespace {

bool in(int v, std::initializer_list<int> set) { return std::find(set.begin(), set.end(), v) != set.end(); }

// Families of synchronization methods that share visibility rules.
struct MethodClass {
    explicit MethodClass(int m)
        : method(m), A(in(m, {0, 4, 9, 17, 18})), B(in(m, {0, 19})), C(in(m, {6, 11, 12})), D(in(m, {7, 16})),
          E(in(m, {8, 14}))
    {
    }
    int method;
    bool A, B, C, D, E;
};

// The check boxes bound one to one to a byte, in the order the page lays them out.
constexpr std::array<const FieldFact*, 6> CHECK_FIELDS = { &Fact("PICKUPS_INTERCHANGE"), &Fact("NO_LOBE_CHECK"),
    &Fact("INTERLOCK_INPUT"), &Fact("SPARK_BEFORE_LOBE"), &Fact("SPECIAL_START"), &Fact("START_EXCITATION") };

// Trigger system 10 fires the cylinders together during the revolutions at start.
constexpr const char* COLLECTIVE_IGNITIONS
    = "###Revolutions with collective ignitions##Umdrehungen mit kollektiver Zündungen##Počet otáček s kolektivními zápaly";

} // namespace

PageBike::PageBike(ControlBinder& binder, PageHost& host, QWidget* sheet) : SettingsPage(binder, host, sheet)
{
    BuildControls();
    FillLists();
}

void PageBike::BuildControls()
{
    auto* grid = new QGridLayout(sheet_);
    int row = 0;
    grid->addWidget(MakeCaptionLabel(Fact("BIKE")), row, 0);
    comboBoxBike_ = MakeComboBox(Fact("BIKE"));
    connect(comboBoxBike_, &QComboBox::activated, this, [this] { ComboBoxBikeChange(); });
    grid->addWidget(comboBoxBike_, row++, 1, 1, 3);

    auto* rpmBox = new QGroupBox(sheet_);
    rpmBox->setObjectName("GroupBoxRpm");
    auto* rpmGrid = new QGridLayout(rpmBox);
    upDownRpmPulsu_ = BoundUpDown(Fact("RPM_PULSES"));
    for (const CodedItem& special : Fact("RPM_PULSES").choices())
        upDownRpmPulsu_->setSpecialText(special.code, QString::fromUtf8(LangText(special.text)));
    upDownRpmKorekce_ = BoundUpDown(Fact("RPM_CORR"));
    labelRpmKorekce_ = MakeCaptionLabel(Fact("RPM_CORR"));
    rpmGrid->addWidget(MakeCaptionLabel(Fact("RPM_PULSES")), 0, 0);
    rpmGrid->addWidget(upDownRpmPulsu_, 0, 1);
    rpmGrid->addWidget(labelRpmKorekce_, 1, 0);
    rpmGrid->addWidget(upDownRpmKorekce_, 1, 1);
    grid->addWidget(rpmBox, row, 0, 1, 2);

    const FieldFact& polarity = Fact("PICKUP_POLARITY");
    for (int i = 0; i < polarity.count; ++i)
        polarityGroups_[static_cast<size_t>(i)] = MakeRadioGroup(polarity, i);
    for (const CodedItem& item : polarity.choices())
        for (RadioGroup* g : polarityGroups_)
            g->addItem(QString::fromUtf8(LangText(item.text)), 0);
    radioGroupPickup1Polarita_ = polarityGroups_[0];
    radioGroupPickup2Polarita_ = polarityGroups_[1];
    grid->addWidget(radioGroupPickup1Polarita_, row, 2);
    grid->addWidget(radioGroupPickup2Polarita_, row++, 3);

    for (size_t i = 0; i < CHECK_FIELDS.size(); ++i)
        checkBoxes_[i] = MakeCheckBox(*CHECK_FIELDS[i]);
    checkBoxZamenaPickup_ = checkBoxes_[0];
    checkBoxNehlidaPalec_ = checkBoxes_[1];
    checkBoxCrossBlock_ = checkBoxes_[2];
    checkBoxPredPalec_ = checkBoxes_[3];
    checkBoxSpecStart_ = checkBoxes_[4];
    checkBoxSpecDwellByStart_ = checkBoxes_[5];
    checkBoxSpecDwellByStart_->hide();
    for (QCheckBox* c : {checkBoxZamenaPickup_, checkBoxNehlidaPalec_, checkBoxCrossBlock_, checkBoxPredPalec_, checkBoxSpecStart_})
        grid->addWidget(c, row++, 0, 1, 4);

    upDownRevWoIgnition_ = BoundUpDown(Fact("REV_WO_IGNITION"));
    labelRevWoIgnition_ = MakeCaptionLabel(Fact("REV_WO_IGNITION"));
    grid->addWidget(labelRevWoIgnition_, row, 0);
    grid->addWidget(upDownRevWoIgnition_, row++, 1);

    groupBoxSpecial_ = new QGroupBox(sheet_);
    groupBoxSpecial_->setObjectName("GroupBoxSpecial");
    auto* special = new QGridLayout(groupBoxSpecial_);
    comboBoxSynchro_ = MakeComboBox(Fact("PICKUP_SYSTEM"));
    comboBoxNasobekPalcu_ = MakeComboBox(Fact("GEBER_MODE"));
    // The synchronisation methods differ only at their ends: each is shown whole, in every language.
    comboBoxSynchro_->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    for (QComboBox* c : {comboBoxSynchro_, comboBoxNasobekPalcu_})
        connect(c, &QComboBox::activated, this, [this, c] {
            if (!binder_.updating())
                host_.RequestCommit(c, PageHost::COMMIT_NOW);
            host_.FocusProgramAfterChange();
        });
    upDownPocPalcu_ = BoundUpDown(Fact("LOBE_COUNT"));
    upDownPocKanalu_ = BoundUpDown(Fact("CHANNEL_COUNT"));
    upDownKompenz_ = BoundUpDown(Fact("COMPENSATION"));
    labelPocPalcu_ = MakeCaptionLabel(Fact("LOBE_COUNT"));
    labelPocKanalu_ = MakeCaptionLabel(Fact("CHANNEL_COUNT"));
    special->addWidget(MakeCaptionLabel(Fact("PICKUP_SYSTEM")), 0, 0);
    special->addWidget(comboBoxSynchro_, 0, 1, 1, 3);
    special->addWidget(labelPocPalcu_, 1, 0);
    special->addWidget(upDownPocPalcu_, 1, 1);
    special->addWidget(labelPocKanalu_, 1, 2);
    special->addWidget(upDownPocKanalu_, 1, 3);
    special->addWidget(comboBoxNasobekPalcu_, 2, 0, 1, 2);
    special->addWidget(MakeCaptionLabel(Fact("COMPENSATION")), 2, 2);
    special->addWidget(upDownKompenz_, 2, 3);
    special->addWidget(MakeLabel("LabelLobe"), 3, 1);
    special->addWidget(MakeLabel("LabelHrana2"), 3, 2);
    special->addWidget(MakeLabel("LabelSnimac2"), 3, 3);

    for (int ch = 0; ch < CHANNELS; ++ch) {
        Channel& c = channels_[ch];
        const QString n = QString::number(ch + 1);
        c.box = new QGroupBox(groupBoxSpecial_);
        c.box->setObjectName("GroupBoxPalec" + n);
        auto* g = new QGridLayout(c.box);
        int r = 0;
        for (auto [point, fact] : {std::pair{&c.start, &Fact("LOBE_START")}, std::pair{&c.end, &Fact("LOBE_END")}}) {
            point->label = MakeCaptionLabel(*fact, ch);
            point->upDown = MakeUpDown(*fact, ch);
            // The flag boxes of a point share its name: UpDownPalec1Zac has CheckBoxPalec1ZacH2 and ...P2.
            const QString flags = "CheckBox" + UpDownStem(*fact, ch);
            point->secondEdge = MakeCheckBox(flags + "H2");
            point->secondPickup = MakeCheckBox(flags + "P2");
            g->addWidget(point->label, r, 0);
            g->addWidget(point->upDown, r, 1);
            g->addWidget(point->secondEdge, r, 2);
            g->addWidget(point->secondPickup, r++, 3);
        }
        special->addWidget(c.box, 4 + ch / 2, (ch % 2) * 2, 1, 2);
    }
    grid->addWidget(groupBoxSpecial_, row++, 0, 1, 4);
    grid->setRowStretch(row, 1);
}

void PageBike::FillLists()
{
    ControlBinder::Updating guard(binder_);
    const int bike = comboBoxBike_->currentData().isValid() ? comboBoxBike_->currentData().toInt() : -1;
    comboBoxBike_->clear();
    for (const BikePreset& b : BikePresetTable())
        if (b.listText)
            comboBoxBike_->addItem(LangQString(b.listText), b.code);
    comboBoxSynchro_->clear();
    for (const CodedItem& m : SynchroMethodList())
        comboBoxSynchro_->addItem(LangQString(m.text), m.code);
    comboBoxNasobekPalcu_->clear();
    for (const CodedItem& m : GeberModeList())
        comboBoxNasobekPalcu_->addItem(LangQString(m.text), m.code);
    if (bike >= 0)
        comboBoxBike_->setCurrentIndex(comboBoxBike_->findData(bike));
}

void PageBike::Retranslate()
{
    FillLists();
    Load();
}

UpDownSpinBox* PageBike::BoundUpDown(const FieldFact& f)
{
    spins_.push_back(makeUpDownField(f));
    return spins_.back().upDown;
}

void PageBike::StoreLobe(const LobePoint& p, int address, int method)
{
    const int position = p.upDown->value();
    uint8_t b = static_cast<uint8_t>(position & 0x3F);
    if (LobeByte::Wide(method) && (position & 64))
        b |= 0x80;
    if (p.secondEdge->isChecked())
        b |= LobeByte::SECOND_EDGE;
    if (p.secondPickup->isChecked() && !LobeByte::Wide(method))
        b |= LobeByte::SECOND_PICKUP;
    img().Adrb(address) = b;
}

void PageBike::Store()
{
    ControlBinder& b = binder_;
    b.ItemCodeToImage(comboBoxBike_, Fact("BIKE").Ref());
    StoreUpDownFields(b, spins_);
    std::fill_n(&img().Adrb(COMPENSATION + 1), CHANNELS - 1, img().Adrb(COMPENSATION));
    for (size_t i = 0; i < polarityGroups_.size(); ++i)
        b.RadioIndexToImage(polarityGroups_[i], Fact("PICKUP_POLARITY").Ref(static_cast<int>(i)));
    for (size_t i = 0; i < CHECK_FIELDS.size(); ++i)
        b.CheckBoxToImage(checkBoxes_[i], CHECK_FIELDS[i]->Ref());
    b.ItemCodeToImage(comboBoxSynchro_, Fact("PICKUP_SYSTEM").Ref());

    const int method = img().Adrb(PICKUP_SYSTEM);
    for (int ch = 0; ch < CHANNELS; ++ch) {
        StoreLobe(channels_[ch].start, LOBE_START + ch, method);
        StoreLobe(channels_[ch].end, LOBE_END + ch, method);
    }
    if (method == 8 || method == 14) {
        const uint8_t edge = img().Adrb(LOBE_START) & LobeByte::SECOND_EDGE;
        for (int a = LOBE_START; a < LOBE_START + 2 * CHANNELS; ++a)
            img().Adrb(a) = static_cast<uint8_t>((img().Adrb(a) & ~LobeByte::SECOND_EDGE) | edge);
    }
    b.ItemCodeToImage(comboBoxNasobekPalcu_, Fact("GEBER_MODE").Ref());

    if (img().Adrb(BIKE) != BIKE_SPECIAL_SETTING) {
        ControlBinder::Updating guard(binder_);
        for (int a : {NO_LOBE_CHECK, INTERLOCK_INPUT, SPARK_BEFORE_LOBE})
            img().Adrb(a) = 0;
        for (QCheckBox* c : {checkBoxNehlidaPalec_, checkBoxCrossBlock_, checkBoxPredPalec_})
            c->setChecked(false);
    }
}

void PageBike::LoadLobe(LobePoint& p, int address, int method, bool firstEdge)
{
    const uint8_t b = img().Adrb(address);
    p.upDown->setRange(Fact("LOBE_START").minimum, std::max(1, int(img().Adrb(LOBE_COUNT))));
    p.upDown->setValue(LobeByte::Number(b, method));
    p.secondEdge->setChecked(firstEdge);
    p.secondPickup->setChecked(!LobeByte::Wide(method) && (b & LobeByte::SECOND_PICKUP));
}

void PageBike::Load()
{
    ControlBinder& b = binder_;
    ControlBinder::Updating guard(b);
    b.ImageToItemCode(comboBoxBike_, Fact("BIKE").Ref());
    for (size_t i = 0; i < polarityGroups_.size(); ++i)
        b.ImageToRadioIndex(polarityGroups_[i], Fact("PICKUP_POLARITY").Ref(static_cast<int>(i)));
    for (size_t i = 0; i < CHECK_FIELDS.size(); ++i)
        b.ImageToCheckBox(checkBoxes_[i], CHECK_FIELDS[i]->Ref());
    b.ImageToItemCode(comboBoxSynchro_, Fact("PICKUP_SYSTEM").Ref());
    b.ImageToItemCode(comboBoxNasobekPalcu_, Fact("GEBER_MODE").Ref());
    // The lobe count allows more lobes with some trigger systems; the range must be there before the value.
    for (const UpDownField& f : spins_)
        f.upDown->setRange(f.fact->minimum, f.fact->MaximumIn(img()));
    LoadUpDownFields(b, spins_);

    const int method = img().Adrb(PICKUP_SYSTEM);

    const bool shareFirstEdge = method == 8 || method == 14;
    const bool firstEdge = img().Adrb(LOBE_START) & LobeByte::SECOND_EDGE;
    for (int ch = 0; ch < CHANNELS; ++ch) {
        const auto edge = [&](int address) { return shareFirstEdge ? firstEdge : bool(img().Adrb(address) & LobeByte::SECOND_EDGE); };
        LoadLobe(channels_[ch].start, LOBE_START + ch, method, edge(LOBE_START + ch));
        LoadLobe(channels_[ch].end, LOBE_END + ch, method, edge(LOBE_END + ch));
    }
}

void PageBike::UpdateVisibility()
{
    const bool S = img().Adrb(BIKE) == BIKE_SPECIAL_SETTING;
    const MethodClass m(img().Adrb(PICKUP_SYSTEM));
    const bool method19 = m.method == 19;

    for (QWidget* w : std::initializer_list<QWidget*>{comboBoxSynchro_, upDownPocPalcu_, upDownPocKanalu_, comboBoxNasobekPalcu_, upDownKompenz_})
        w->setEnabled(S);
    groupBoxSpecial_->setEnabled(S || m.B);
    groupBoxSpecial_->setStyleSheet(S ? QString() : QString("QGroupBox { color: rgb(128,128,128); }"));

    radioGroupPickup2Polarita_->setVisible(m.A || m.B || m.C || m.method == 14);
    checkBoxNehlidaPalec_->setVisible(S && !m.E);
    checkBoxCrossBlock_->setVisible(S && m.B);
    checkBoxPredPalec_->setVisible(S && m.B);
    checkBoxSpecStart_->setVisible(S);

    labelPocPalcu_->setVisible(!m.D);
    upDownPocPalcu_->setVisible(!m.D);
    upDownPocPalcu_->setUpDownVisible(S && !m.D && !m.B);
    upDownPocPalcu_->setEnabled(S && !m.D && !m.B);
    labelPocKanalu_->setVisible(!m.D);
    upDownPocKanalu_->setVisible(!m.D);
    upDownPocKanalu_->setUpDownVisible((S || m.B) && !m.D);

    const int channelCount = img().Adrb(CHANNEL_COUNT);
    for (int ch = 0; ch < CHANNELS; ++ch) {
        Channel& c = channels_[ch];
        c.box->setVisible(channelCount >= ch + 1 && !m.D);
        for (LobePoint* p : {&c.start, &c.end}) {
            const bool isEnd = p == &c.end;
            const bool hidden = isEnd && method19;
            p->label->setVisible(!hidden);
            p->upDown->setVisible(!hidden);
            p->upDown->setEnabled(S && !m.B);
            p->upDown->setUpDownVisible(S && !m.B);
            p->secondPickup->setVisible((m.A || m.B) && !hidden);
            p->secondEdge->setVisible(!hidden);
            const bool firstMaxEdge = ch == 0 && !isEnd;
            p->secondEdge->setEnabled(S && (!m.E || firstMaxEdge));
            p->secondPickup->setEnabled(S && !m.E && m.method != 12);
        }
    }

    labelRevWoIgnition_->setText(LangQString(m.method == 10 ? COLLECTIVE_IGNITIONS : Fact("REV_WO_IGNITION").captionText));
    const bool tachoCorrection = img().Adrb(RPM_PULSES) < 240;
    labelRpmKorekce_->setVisible(tachoCorrection);
    upDownRpmKorekce_->setVisible(tachoCorrection);
}

void PageBike::ComboBoxBikeChange()
{
    if (binder_.updating())
        return;
    const int oldCode = img().Adrb(BIKE);
    binder_.ItemCodeToImage(comboBoxBike_, Fact("BIKE").Ref());
    const int code = img().Adrb(BIKE);

    PageHost::Answer answer = PageHost::ANSWER_NO;
    if (code != BIKE_SPECIAL_SETTING)
        answer = host_.AskYesNoCancel("###Do you want default setting?##Wollen Sie Standardeinstellungen öffnen?##Chcete nastavit základní hodnoty?");
    if (answer == PageHost::ANSWER_CANCEL) {
        img().Adrb(BIKE) = static_cast<uint8_t>(oldCode);
        binder_.ImageToItemCode(comboBoxBike_, Fact("BIKE").Ref());
        return;
    }
    binder_.ItemCodeToImage(comboBoxSynchro_, Fact("PICKUP_SYSTEM").Ref());
    if (code != BIKE_SPECIAL_SETTING) {
        std::fill_n(&img().Adrb(LOBE_START), 2 * CHANNELS, uint8_t{0});
        img().Adrb(GEBER_MODE) = 1;
        if (answer == PageHost::ANSWER_YES)
            host_.NewWithoutAsking();
    }
    ApplyBikePreset(img(), LoadGroups::All());
    host_.RefreshActivePage();
    host_.RequestCommit(comboBoxBike_, PageHost::COMMIT_NOW);
    host_.FocusProgramAfterChange();
}
