#include "mapedit/SheetClipboard.h"

#include "lang/LangString.h"
#include "mapedit/MapModel.h"
#include "mapedit/FormatAxisValue.h"
#include "mapedit/MapEditorHost.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

const char* const DimensionMessage
    = "###Table dimensions are not eqal and there is unable to change it !\nInsertion canceled...##Gleichen Sie die "
      "Dimensionen der Tabelle und kann nicht geändert werden !\nInsertion abgesagt...##Neshodují se rozměry tabulky "
      "a nelze je změnit !\nVkládání zrušeno...";

std::string Value(const MapAxis& axis, int32_t raw)
{
    const int32_t shown = static_cast<int32_t>(raw / axis.quantum * axis.quantum);
    return FormatAxisValue(shown, axis.scale, nullptr, false);
}

// Cuts to the text buffer and applies the Czech decimal comma.
std::string Finish(std::string text)
{
    if (text.size() > SHEET_TEXT_LIMIT - 1)
        text.resize(SHEET_TEXT_LIMIT - 1);
    if (LanguageIndex == LANG_CZECH)
        std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string Join(const std::vector<std::string>& fields, const char* separator)
{
    std::string out;
    for (size_t i = 0; i < fields.size(); ++i) {
        if (i)
            out += separator;
        out += fields[i];
    }
    return out;
}

int32_t Rounded(double value)
{
    const double v = std::clamp(value + (value >= 0 ? 0.5 : -0.5), -2.0e9, 2.0e9);
    return static_cast<int32_t>(std::trunc(v));
}

bool IsDigit(char ch) { return ch >= '0' && ch <= '9'; }

// Walks a pasted text and reports every readable number with its (column, row) position
// counted from the start element.
template <class OnNumber>
void WalkText(const std::string& text, bool allowBraces, int startColumn, int startRow, OnNumber onNumber)
{
    int column = startColumn, row = startRow;
    std::string field;
    bool inNumber = false;
    auto flush = [&] {
        if (!field.empty()) {
            char* end = nullptr;
            const double v = std::strtod(field.c_str(), &end);
            if (end == field.c_str() + field.size() && std::isfinite(v))
                onNumber(column, row, v);
        }
        field.clear();
        inNumber = false;
    };
    auto nextField = [&] {
        flush();
        ++column;
    };
    auto nextRow = [&] {
        flush();
        ++row;
        column = startColumn;
    };
    auto keep = [&](char ch) {
        if ((IsDigit(ch) || ch == '-' || ch == '.') && field.size() < 64) {
            field += ch;
            inNumber = true;
        }
    };
    const size_t brace = allowBraces ? text.find('{') : std::string::npos;
    if (brace != std::string::npos) {
        for (size_t i = brace; i < text.size(); ++i) {
            const char ch = text[i];
            if (ch == ',' && inNumber)
                nextField();
            else if (ch == '}')
                nextRow();
            else if (ch != ',' && ch != '{' && ch != '}')
                keep(ch);
        }
        flush();
        return;
    }
    for (size_t i = 0; i < text.size(); ++i) {
        const char ch = text[i];
        if (ch == '\t') {
            nextField();
        } else if (ch == '\n') {
            nextRow();
        } else if (ch == ' ') {
            if (!inNumber)
                continue;
            const bool thousands = i + 3 < text.size() + 0 && IsDigit(text[i + 1]) && IsDigit(text[i + 2])
                && IsDigit(text[i + 3]) && (i + 4 >= text.size() || !IsDigit(text[i + 4]));
            if (thousands)
                continue;
            size_t j = i;
            while (j < text.size() && text[j] == ' ')
                ++j;
            i = j - 1;
            const bool beforeSeparator = j >= text.size() || text[j] == '\t' || text[j] == '\n' || text[j] == '\r';
            if (beforeSeparator)
                inNumber = false;
            else
                nextField();
        } else {
            keep(ch == ',' ? '.' : ch);
        }
    }
    flush();
}

} // namespace

std::string SelectionText(const MapModel& tab)
{
    const MapSheet& s = tab.Sheet();
    const MapSelection& sel = s.selection;
    std::string text;
    if (sel.kind == SEL_CELLS) {
        int c0 = TAB_MAX_X, c1 = -1, r0 = TAB_MAX_Y, r1 = -1;
        for (int r = 0; r < s.axisY.count; ++r)
            for (int c = 0; c < s.axisX.count; ++c) {
                if (!sel.IsSelected(c, r) || (s.axisX.off && c != s.axisX.offIndex)
                    || (s.axisY.off && r != s.axisY.offIndex))
                    continue;
                c0 = std::min(c0, c), c1 = std::max(c1, c), r0 = std::min(r0, r), r1 = std::max(r1, r);
            }
        std::vector<std::string> lines;
        for (int r = r0; r <= r1; ++r) {
            std::vector<std::string> fields;
            for (int c = c0; c <= c1; ++c)
                fields.push_back(sel.IsSelected(c, r) ? Value(s.axisData, s.Cell(c, r)) : std::string());
            lines.push_back(Join(fields, "\t"));
        }
        text = Join(lines, "\n");
    } else if (sel.kind == SEL_COLUMNS || sel.kind == SEL_ROWS) {
        const bool columns = sel.kind == SEL_COLUMNS;
        const MapAxis& a = columns ? s.axisX : s.axisY;
        int first = -1, last = -1;
        for (int i = 0; i < a.count; ++i)
            if (columns ? sel.IsSelected(i, -1) : sel.IsSelected(-1, i)) {
                if (first < 0)
                    first = i;
                last = i;
            }
        std::vector<std::string> fields;
        for (int i = first; first >= 0 && i <= last; ++i) {
            const bool on = columns ? sel.IsSelected(i, -1) : sel.IsSelected(-1, i);
            fields.push_back(on ? Value(a, a.values[i]) : std::string());
        }
        text = Join(fields, columns ? "\t" : "\n");
    }
    return Finish(text);
}

std::string TablePlainText(const MapModel& tab)
{
    const MapSheet& s = tab.Sheet();
    const int columns = s.DataColumns();
    const int rows = s.DataRows();
    auto xField = [&](int c) { return c < s.axisX.count ? Value(s.axisX, s.axisX.values[c]) : std::string(); };
    auto yField = [&](int r) { return r < s.axisY.count ? Value(s.axisY, s.axisY.values[r]) : std::string(); };
    std::vector<std::string> lines;
    if (s.axisX.off) {
        for (int r = 0; r < rows; ++r)
            lines.push_back(yField(r) + "\t" + Value(s.axisData, s.Cell(s.axisX.offIndex, r)));
        return Finish(Join(lines, "\n"));
    }
    std::vector<std::string> header;
    for (int c = 0; c < columns; ++c)
        header.push_back(xField(c));
    if (s.axisY.off) {
        std::vector<std::string> cells;
        for (int c = 0; c < columns; ++c)
            cells.push_back(Value(s.axisData, s.Cell(c, s.axisY.offIndex)));
        return Finish(Join(header, "\t") + "\n" + Join(cells, "\t"));
    }
    lines.push_back(std::string(1, '\t').append(Join(header, "\t")));
    for (int r = 0; r < rows; ++r) {
        std::string line = yField(r);
        for (int c = 0; c < columns; ++c)
            line.append(1, '\t').append(Value(s.axisData, s.Cell(c, r)));
        lines.push_back(line);
    }
    return Finish(Join(lines, "\n"));
}

std::string TableSheetText(const MapModel& tab)
{
    const MapSheet& s = tab.Sheet();
    const int columns = s.DataColumns();
    const int rows = s.DataRows();
    std::string text;
    text += std::string("Label:\t") + s.label + "\n";
    text += std::string("LabelX:\t") + s.axisX.name + "\n";
    text += std::string("LabelY:\t") + s.axisY.name + "\n";
    text += std::string("LabelData:\t") + s.axisData.name + "\n";
    text += "SizeX:\t" + std::to_string(s.axisX.count) + "\n";
    text += "SizeY:\t" + std::to_string(s.axisY.count) + "\n";
    text += std::string("OnlyXY:\t") + (s.axisX.off ? "X" : s.axisY.off ? "Y" : "") + "\n";
    for (int c = 0; c < columns; ++c)
        text.append(1, '\t').append(c < s.axisX.count ? Value(s.axisX, s.axisX.values[c]) : std::string());
    for (int r = 0; r < rows; ++r) {
        text.append(1, '\n').append(r < s.axisY.count ? Value(s.axisY, s.axisY.values[r]) : std::string());
        for (int c = 0; c < columns; ++c)
            text.append(1, '\t').append(Value(s.axisData, s.Cell(c, r)));
    }
    return Finish(text);
}

bool PasteSelectionText(MapModel& tab, const std::string& text)
{
    MapSheet& s = tab.Sheet();
    MapSelection& sel = s.selection;
    if (sel.count == 0 || sel.boxX0 < -1 || sel.boxY0 < -1)
        return false;
    const int startColumn = sel.boxX0, startRow = sel.boxY0;
    if (!s.Inside(startColumn, startRow) || !s.AxisOf(startColumn, startRow).editable)
        return false;
    const int boxX1 = sel.boxX1, boxY1 = sel.boxY1;
    auto target = [&](int c, int r) {
        if (!s.Inside(c, r))
            return false;
        if ((startRow == -1) != (r == -1) || (startColumn == -1) != (c == -1))
            return false;
        if (r >= 0 && s.axisY.off && (r != s.axisY.offIndex || s.axisY.offIndex < startRow || s.axisY.offIndex > boxY1))
            return false;
        if (c >= 0 && s.axisX.off
            && (c != s.axisX.offIndex || s.axisX.offIndex < startColumn || s.axisX.offIndex > boxX1))
            return false;
        return true;
    };
    tab.NoteChange(0, ChangeBegin);
    const int sc = sel.startColumn, sr = sel.startRow;
    sel.Clear();
    sel.startColumn = sc, sel.startRow = sr;
    int mask = 0;
    WalkText(text, true, startColumn, startRow, [&](int c, int r, double v) {
        if (!target(c, r))
            return;
        const MapAxis& a = s.AxisOf(c, r);
        double raw = v / a.scale;
        if (r >= 0 && c >= 0 && raw > 5.0 * a.maxValue)
            raw *= 0.001;
        s.Value(c, r) = Rounded(raw);
        sel.SetMark(c, r, MARK_DRAG);
        mask |= MapSheet::MaskOf(c, r);
    });
    sel.Commit();
    if (mask & AXIS_X)
        s.axisX.lastMoved = -3;
    if (mask & AXIS_Y)
        s.axisY.lastMoved = -3;
    tab.NoteChange(mask, ChangeEnd);
    return mask != 0;
}

bool PasteTableText(MapModel& tab, const std::string& text)
{
    MapSheet& s = tab.Sheet();
    bool matchX = false, matchY = false, matchData = false;
    int sizeX = 0, sizeY = 0;
    bool offX = false, offY = false;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find('\n', pos);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(pos, end - pos);
        if (line.empty() || line[0] == '\t' || line.size() > 64)
            break;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const size_t tab_ = line.find('\t');
        const std::string key = line.substr(0, tab_);
        const std::string value = tab_ == std::string::npos ? std::string() : line.substr(tab_ + 1);
        if (key == "LabelX:")
            matchX = value == s.axisX.name;
        else if (key == "LabelY:")
            matchY = value == s.axisY.name;
        else if (key == "LabelData:")
            matchData = value == s.axisData.name;
        else if (key == "SizeX:")
            sizeX = std::atoi(value.c_str());
        else if (key == "SizeY:")
            sizeY = std::atoi(value.c_str());
        else if (key == "OnlyXY:")
            offX = value == "X", offY = value == "Y";
        pos = end + 1;
    }
    if (sizeX <= 0 || sizeY <= 0 || !(matchX || matchY || matchData))
        return false;
    const bool needX = sizeX != s.axisX.count, needY = sizeY != s.axisY.count;
    if ((needX && !(s.axisX.editable && s.axisX.resizable && matchX && matchData))
        || (needY && !(s.axisY.editable && s.axisY.resizable && matchY && matchData))) {
        if (tab.Host())
            tab.Host()->ShowMapMessage(tab, LangText(DimensionMessage));
        return false;
    }
    offX = (offX && s.axisX.offMode != MapAxis::OFF_NEVER) || s.axisX.offMode == MapAxis::OFF_ALWAYS;
    offY = (offY && s.axisY.offMode != MapAxis::OFF_NEVER) || s.axisY.offMode == MapAxis::OFF_ALWAYS;
    tab.NoteChange(0, ChangeBegin);
    s.axisX.count = std::clamp(sizeX, s.axisX.minCount, s.axisX.maxCount);
    s.axisY.count = std::clamp(sizeY, s.axisY.minCount, s.axisY.maxCount);
    int mask = 0;
    if (offX && !s.axisX.off)
        s.axisX.off = 1, mask |= AXIS_X;
    if (offY && !s.axisY.off)
        s.axisY.off = 1, mask |= AXIS_Y;
    const bool writeX = s.axisX.editable && matchX, writeY = s.axisY.editable && matchY;
    const bool writeData = s.axisData.editable && matchData;
    WalkText(pos < text.size() ? text.substr(pos) : std::string(), false, -1, -1, [&](int c, int r, double v) {
        if (!s.Inside(c, r))
            return;
        const bool allowed = r < 0 ? writeX : c < 0 ? writeY : writeData;
        if (!allowed)
            return;
        s.Value(c, r) = Rounded(v / s.AxisOf(c, r).scale);
        mask |= MapSheet::MaskOf(c, r);
    });
    s.axisX.lastMoved = s.axisY.lastMoved = -3;
    tab.RebuildLayout();
    s.selection.Clear();
    tab.NoteChange(mask | (needX ? AXIS_X : 0) | (needY ? AXIS_Y : 0), ChangeEnd);
    return true;
}

std::string FilterEditPaste(const std::string& text)
{
    std::string out;
    for (char ch : text) {
        if (ch == '\n' || ch == '\t')
            break;
        if (ch == ',')
            ch = '.';
        if (IsDigit(ch) || ch == '-' || ch == '.' || ch == ' ')
            out += ch;
    }
    return out;
}
