#pragma once

#include "model/ImageLayout.h"

#include <array>
#include <cstdint>

// One flag per image byte: changed since the unit was last read or programmed.
using ChangedMap = std::array<uint8_t, RS_LEN_EXE>;
