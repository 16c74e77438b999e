#pragma once

#include "pages/SettingsPage.h"
#include "pages/UpDownField.h"

#include <array>
#include <functional>
#include <optional>

class MapEditorList;
class QGridLayout;
class QPushButton;
class MapEditor;

// The Miscellaneous page (which also carries the load sensor of the hidden Sensors page):
// limiters, quickshift, retard, the multifunction inputs and the load sensor choice.
class PageMisc : public SettingsPage {
    Q_OBJECT

public:
    // The present load-sensor voltage of the monitor in mV; empty while no unit is connected and
    // no recording plays, so a calibration button cannot store a meaningless zero.
    using SensorReading = std::function<std::optional<int>()>;

    PageMisc(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors, SensorReading sensorMv);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override;

    // Which functions the two multifunction inputs use; recomputed before every update.
    struct FunctionUse {
        bool special = false, killSwitch = false, blocking = false, quickshift = false, retard = false,
             startLimiter = false, tachoLambda = false;
    };
    static FunctionUse ComputeFunctionUse(const ParamImage& img);

    // Fills both input radio groups from the input function table in the current language.
    void BuildInputGroups();

    // "TP 0 %" and "TP 100 %": the present sensor voltage becomes the calibration point.
    void BitBtnTps0Click() { TakeTpPoint(0); }
    void BitBtnTps100Click() { TakeTpPoint(1); }

    MapEditor* tpSensorEditor() const { return tpTable_; }
    MapEditor* iapSensorEditor() const { return iapTable_; }

private:
    void BuildSensorControls(QGridLayout* grid, MapEditorList& editors);
    void TakeTpPoint(int cell);

    UpDownSpinBox* upDownLimiter_;
    UpDownSpinBox* upDownStartLimiter_;
    UpDownSpinBox* upDownStartLimiterDelay_;
    UpDownSpinBox* upDownClutchTime_;
    UpDownSpinBox* upDownClutchPause_;
    UpDownSpinBox* upDownRetard_;
    RadioGroup* radioGroupTpsIap_;
    std::array<RadioGroup*, 2> inputGroups_{};
    std::array<UpDownField, 6> bindings_;
    MapEditor* tpTable_ = nullptr;
    MapEditor* iapTable_ = nullptr;
    QPushButton* bitBtnTps0_ = nullptr;
    QPushButton* bitBtnTps100_ = nullptr;
    SensorReading sensorMv_;
    int shownLimiter_ = -1;
    int shownStartLimiter_ = -1;
};
