#pragma once

#include "model/MapFact.h"

#include <span>
#include <string>

// The table of the image's maps and what is needed to name their cells and axis points without an
// editor: names, row and column labels, cell values, and whether a map is kept as one curve.
class MapFacts {
public:
    static std::span<const MapFact> All();
    static const MapFact* Find(MapId id);
    // The map whose cells the field holds, or nullptr.
    static const MapFact* OfCells(const FieldFact& f);
    // The map whose speed axis (speedAxis true) or load axis the field holds, or nullptr.
    static const MapFact* OfAxis(const FieldFact& f, bool* speedAxis = nullptr);

    static std::string Name(const MapFact& m, int language = -1);
    // "Speed point 3" or "Load point 3" of the map, after the map's name.
    static std::string AxisPointName(const MapFact& m, bool speedAxis, int point, int language = -1);

    // The labels the editor gives a row (load) and a column (speed) of img.
    static std::string RowLabel(const MapFact& m, const ParamImage& img, int row, int language = -1);
    static std::string ColumnLabel(const MapFact& m, const ParamImage& img, int column, int language = -1);

    // The cell's raw value (a grid's byte, a switching cell's bit) and its text as the editor shows it.
    static int CellValue(const MapFact& m, const ParamImage& img, int row, int column);
    static std::string CellText(const MapFact& m, const ParamImage& img, int row, int column, int language = -1);
    // The image element that holds the cell.
    static int CellElement(const MapFact& m, int row, int column);
    static int CellRow(const MapFact& m, int element)
    {
        return m.layout == MapLayout::Grid ? element / m.columns : element;
    }

    // Whether img keeps the map as one curve over speed (its curve row, for every load) or over
    // load (its curve column, for every speed); the kind byte and the load sensor say which.
    static bool IsSpeedCurve(const MapFact& m, const ParamImage& img);
    static bool IsLoadCurve(const MapFact& m, const ParamImage& img);
};
