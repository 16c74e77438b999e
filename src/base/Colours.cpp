#include "base/Colours.h"

#include <QGuiApplication>
#include <QPalette>

QColor ToQColor(uint32_t colour)
{
    if ((colour & 0xFF000000u) == 0xFF000000u) {
        const QPalette palette = QGuiApplication::palette();
        switch (colour & 0xFF) {
        case 0x01: return palette.color(QPalette::Window).darker(110); // the desktop's scroll-bar grey
        case 0x0F: return palette.color(QPalette::Button);
        case 0x12: return palette.color(QPalette::ButtonText);
        default: return palette.color(QPalette::Window);
        }
    }
    return QColor(colour & 0xFF, (colour >> 8) & 0xFF, (colour >> 16) & 0xFF);
}
