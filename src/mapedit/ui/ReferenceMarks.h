#pragma once

#include <QString>

class MapTableView;
class MapEditor;
class QPainter;

// How the table shows a reference configuration: a corner mark on every shown cell or header
// whose value differs from the reference's, and the reference's value in its tool tip. The marks
// are a filled corner with a white edge, so they stay plain on every heat colour.
class ReferenceMarks {
public:
    static void Paint(QPainter& p, const MapEditor& tab, const MapTableView& table);
    // The tool tip of an element: the reference's value where it differs, else empty.
    static QString Tip(const MapEditor& tab, int column, int row);
};
