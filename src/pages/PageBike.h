#pragma once

#include "pages/SettingsPage.h"
#include "pages/UpDownField.h"

#include <array>
#include <vector>

class QGroupBox;

// The Bike page: the bike list with its presets, the tachometer output, the pick-up options and,
// for "Special setting", the trigger description with the lobe points of the four channels.
class PageBike : public SettingsPage {
    Q_OBJECT

public:
    PageBike(ControlBinder& binder, PageHost& host, QWidget* sheet);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override;

    // The handler of the bike list.
    void ComboBoxBikeChange();

private:
    struct LobePoint {
        UpDownSpinBox* upDown = nullptr;
        QCheckBox* secondEdge = nullptr;   // H2, "2nd Edge"
        QCheckBox* secondPickup = nullptr; // P2, "2nd Pick-up"
        QLabel* label = nullptr;
    };
    struct Channel {
        QGroupBox* box = nullptr;
        LobePoint start; // "Maximum advance", LOBE_START
        LobePoint end;   // "Start advance", LOBE_END
    };

    void BuildControls();
    // A spin button bound one to one to a field, kept in spins_.
    UpDownSpinBox* BoundUpDown(const FieldFact& f);
    void FillLists();
    void StoreLobe(const LobePoint& p, int address, int method);
    void LoadLobe(LobePoint& p, int address, int method, bool firstEdge);

    QComboBox* comboBoxBike_;
    QComboBox* comboBoxSynchro_;
    QComboBox* comboBoxNasobekPalcu_;
    UpDownSpinBox* upDownPocPalcu_;
    UpDownSpinBox* upDownPocKanalu_;
    UpDownSpinBox* upDownRevWoIgnition_;
    UpDownSpinBox* upDownRpmPulsu_;
    UpDownSpinBox* upDownRpmKorekce_;
    UpDownSpinBox* upDownKompenz_;
    RadioGroup* radioGroupPickup1Polarita_;
    RadioGroup* radioGroupPickup2Polarita_;
    QCheckBox* checkBoxZamenaPickup_;
    QCheckBox* checkBoxNehlidaPalec_;
    QCheckBox* checkBoxCrossBlock_;
    QCheckBox* checkBoxPredPalec_;
    QCheckBox* checkBoxSpecStart_;
    QCheckBox* checkBoxSpecDwellByStart_;
    std::array<QCheckBox*, 6> checkBoxes_{}; // the check boxes bound one to one to an image byte
    std::array<RadioGroup*, 2> polarityGroups_{};
    std::vector<UpDownField> spins_;
    QGroupBox* groupBoxSpecial_;
    QLabel* labelRevWoIgnition_;
    QLabel* labelRpmKorekce_;
    QLabel* labelPocPalcu_;
    QLabel* labelPocKanalu_;
    std::array<Channel, CHANNELS> channels_;
};
