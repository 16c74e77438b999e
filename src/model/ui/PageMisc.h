#pragma once

#include "model/ui/SettingsPage.h"

#include <array>

class QPushButton;

// The Miscellaneous page (which also carries the load sensor of the hidden Sensors page):
// limiters, quickshift, retard, the multifunction inputs and the load sensor choice.
class PageMisc : public SettingsPage {
    Q_OBJECT

public:
    PageMisc(ControlBinder& binder, PageHost& host, QWidget* sheet);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override { BuildInputGroups(); }

    // Which functions the two multifunction inputs use; recomputed before every update.
    struct FunctionUse {
        bool special = false, killSwitch = false, blocking = false, quickshift = false, retard = false,
             startLimiter = false, tachoLambda = false;
    };
    static FunctionUse ComputeFunctionUse(const ParamImage& img);

    // Fills both input radio groups from the input function table in the current language.
    void BuildInputGroups();

private:
    struct Binding {
        TUpDown* upDown;
        int address;
        int scale;
    };

    TUpDown* UpDownLimiter;
    TUpDown* UpDownStartLimiter;
    TUpDown* UpDownStartLimiterDelay;
    TUpDown* UpDownClutchTime;
    TUpDown* UpDownClutchPause;
    TUpDown* UpDownRetard;
    TRadioGroup* RadioGroupTpsIap;
    std::array<TRadioGroup*, 2> inputGroups_{};
    std::array<Binding, 6> bindings_;
    int shownLimiter_ = -1;
    int shownStartLimiter_ = -1;
};
