#pragma once

#include "pages/SettingsPage.h"
#include "pages/UpDownField.h"

#include <array>

class MapEditorList;
class MapEditor;

// The Servo page: the exhaust servo switch, its hysteresis and off level, and the servo map,
// which holds voltages or percent.
class PageServo : public SettingsPage {
    Q_OBJECT

public:
    PageServo(ControlBinder& binder, PageHost& host, QWidget* sheet, MapEditorList& editors);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;

    MapEditor* mapEditor() const { return map_; }

    // The servo map cells between volts (x20 mV) and percent, rounded half up.
    static int VoltsToPercent(int cell) { return (4 * cell + 5) / 10; }
    static int PercentToVolts(int cell) { return (25 * cell + 5) / 10; }

private:
    void ConvertCells(bool toPercent);

    MapEditor* map_ = nullptr;
    QCheckBox* checkBoxServoEnable_ = nullptr;
    QCheckBox* checkBoxServoProcenta_ = nullptr;
    std::array<UpDownField, 2> levels_ {};
    std::array<QLabel*, 2> levelLabels_ {};
    int usedColumns_ = MAP_DIM;
};
