#pragma once

#include "model/ParamImage.h"

// Settings kept outside the image that validation brings into range at the same time.
struct OutsideSettings {
    int language = 0;     // 0 English, 1 German, 2 Czech
    int forcedPort = 0;   // -1 offline, 0 automatic, 1..255 a fixed port
    int nextScanPort = 1; // 1..255
};

enum class ClampWidth { Bytes, Words };

// Clamps a run of elements into [low, high] with an optional strict order.
// mode >= 99: signed comparison, order = sign(mode - 100); below 99: unsigned, order = sign(mode).
// Order +1 strictly ascending, -1 strictly descending, 0 none. Bytes always use step 1.
void ClampSeries(ParamImage& img, ClampWidth width, int mode, int address, int count, int low, int high, int step);

// Brings every field of the image into its limits; never refuses a value.
void ValidateImage(ParamImage& img, OutsideSettings* outside = nullptr);
