#pragma once

#include <QColor>

#include <cstdint>

// Colours are written 0x00BBGGRR; 0xFF0000nn names a system colour of the palette (0xFF00000F the
// button face, 0xFF000012 the text on it), so a dark desktop theme stays readable.
QColor ToQColor(uint32_t colour);
