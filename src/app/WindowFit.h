#pragma once

#include <QRect>

#include <span>

// Brings a saved window rectangle onto the monitors that exist now: the monitor it sticks out
// of least (the first on a tie) takes it; a window larger than that monitor is shrunk to it,
// then moved inside and cut to it. A rectangle already inside a monitor, or an empty monitor
// list, leaves it unchanged.
QRect FitWindowRect(const QRect& window, std::span<const QRect> monitors);
