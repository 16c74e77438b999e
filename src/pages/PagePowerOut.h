#pragma once

#include "pages/SettingsPage.h"

#include <array>

class MapEditorList;
class QGroupBox;
class MapEditor;

// The Power out page: two switched outputs, each with its mode, hysteresis and switching table.
// The controls of outputs 3 and 4, the PWM, frequency and pulse settings and the second table
// exist for the unit families that have them; here they stay hidden and are never stored.
class PagePowerOut : public SettingsPage {
    Q_OBJECT

public:
    static constexpr int OUTPUT_SLOTS = 4;

    PagePowerOut(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override;

    // A mode chosen by the user: the gear shift light gets its default table, the others keep theirs.
    void RadioGroupPOutClick(int output);

    MapEditor* mapEditor(int output) const { return outputs_[static_cast<size_t>(output)].table; }

private:
    struct Output {
        QGroupBox* box = nullptr;
        RadioGroup* mode = nullptr;
        UpDownSpinBox* hysteresis = nullptr;
        QLabel* hysteresisLabel = nullptr;
        MapEditor* table = nullptr;
        std::array<UpDownSpinBox*, 3> unused {}; // PWM, frequency, pulse
        std::array<QLabel*, 3> unusedLabels {};
        int shownMode = -1;
        int shownSensor = -1;
    };

    void BuildOutput(int n, MapEditorList& editors);
    void FillModes(Output& o);
    void UpdateOutput(int n);
    static bool Used(int n) { return n < POWER_OUT_COUNT; }

    std::array<Output, OUTPUT_SLOTS> outputs_ {};
    MapEditor* secondTable_ = nullptr;
};
