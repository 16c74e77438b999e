#pragma once

#include <QColor>

#include <cstdint>

// Colours are written 0x00BBGGRR; 0xFF0000nn names a system colour (0xFF00000F the button face).
QColor ToQColor(uint32_t colour);
