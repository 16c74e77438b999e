#pragma once

#include <QRect>

class QPainter;

// The pictures of the editor's buttons, drawn as small vector icons so that they stay sharp at
// any size; each reads clearly at 24 pixels.
enum class ToolbarIcon {
    None,
    Copy, // CLBRD_COPY (CLBRD_COPY0 when disabled)
    CopySheet, // CLBRD_COPYSHEET
    Paste, // CLBRD_PAST (CLBRD_PAST0 when disabled)
    PasteSheet, // CLBRD_PASTSHEET: the whole-table format is on the clipboard
    Table, // BTTAB
    Graph2D, // BT2D
    Graph3D, // BT3D
    ToGraph, // BT_G: switch a map without toolbar to its graph
    ToTable, // BT_T: and back to its table
};

// Draws icon centred in rect; a disabled icon is drawn in greys.
void DrawToolbarIcon(QPainter& painter, ToolbarIcon icon, const QRect& rect, bool enabled);
