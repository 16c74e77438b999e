#pragma once

#include "mapedit/ProgramMaps.h"
#include "model/ParamImage.h"

class MapModel;

// How the owner copies the program's maps between the ParamImage and their editors: Load* after
// the image changed (then the editor repaints), Store* from OnMapChanged. The editor itself never
// touches the image.
namespace MapImageBinding {

// The fixed throttle points of the load axis with a TP sensor, in percent.
extern const int TpLoadPoints[MAP_DIM];

// Advance map: engine-speed columns from RPM_ADV (usedColumns of them), cells from ADVANCE - 100,
// the load axis chosen by TPSIAP_SENSOR and shown when ADV_MAPA asks for it; also the base
// advance and the limiter markers.
void LoadAdvanceMap(MapModel& tab, const ParamImage& img, int usedColumns);
// Returns the number of used columns, which the owner keeps.
int StoreAdvanceMap(const MapModel& tab, ParamImage& img);

// Servo map: SERVO_RPM, SERVO_IAP, SERVO_MV, SERVO_MAPA, SERVO_ENABLE; volts or percent by
// SERVO_PERCENT.
void LoadServoMap(MapModel& tab, const ParamImage& img, int usedColumns);
int StoreServoMap(const MapModel& tab, ParamImage& img);

// The two calibration points of the TP sensor (TPS) and of the IAP sensor (IAP_SENSOR).
void LoadTpSensor(MapModel& tab, const ParamImage& img);
void StoreTpSensor(const MapModel& tab, ParamImage& img);
void LoadIapSensor(MapModel& tab, const ParamImage& img);
void StoreIapSensor(const MapModel& tab, ParamImage& img);

// Switching map of power output 0 or 1: POWER_OUT_RPM, POWER_OUT_TP and the cell bits of
// POWER_OUT_CELLS (bit j of byte 145 + 3 n + i is speed region j of load region i).
void LoadPowerOutMap(MapModel& tab, const ParamImage& img, int output);
void StorePowerOutMap(const MapModel& tab, ParamImage& img, int output);

// Loads a map of kind, defined in tab already, as its page does with every column the image
// holds; output is the power output 0 or 1. False for a map no image loads (lambda, the second
// power-output table).
bool LoadProgramMap(MapModel& tab, MapKind kind, const ParamImage& img, int output = 0);

} // namespace MapImageBinding
