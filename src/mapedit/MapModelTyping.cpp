#include "mapedit/MapModel.h"

#include "mapedit/FormatAxisValue.h"
#include "mapedit/MapRawValues.h"

#include <cmath>
#include <cstdlib>

namespace {

// Added before truncating, this offset rounds half away from zero.
double RoundingOffset(double number) { return number >= 0 ? 0.5 : -0.5; }

// Reads typed text as a number: the first comma is a decimal comma, spaces (thousands groups) and
// tabs are dropped, and anything else that is not part of the number refuses the whole text.
bool ParseTypedNumber(std::string text, double& number)
{
    const auto comma = text.find(',');
    if (comma != std::string::npos)
        text[comma] = '.';
    std::erase_if(text, [](char ch) { return ch == ' ' || ch == '\t'; });
    if (text.empty())
        return false;
    char* end = nullptr;
    number = std::strtod(text.c_str(), &end);
    return end == text.c_str() + text.size() && std::isfinite(number);
}

} // namespace

bool MapModel::BeginCellEdit(int column, int row, bool empty)
{
    if (sheetCount_ == 0)
        return false;
    MapSheet& s = Sheet();
    if (!s.Inside(column, row) || !s.AxisOf(column, row).editable)
        return false;
    const MapAxis& a = s.AxisOf(column, row);
    editing_ = true;
    editColumn_ = column;
    editRow_ = row;
    editText_ = empty ? std::string() : FormatAxisValue(s.Value(column, row), a.scale, nullptr, false);
    RequestRepaint(REPAINT);
    return true;
}

void MapModel::CancelCellEdit()
{
    editing_ = false;
    RequestRepaint(REPAINT);
}

void MapModel::CommitCellEdit()
{
    if (!editing_)
        return;
    // The edit closes either way; text that is no number leaves the old value.
    CancelCellEdit();
    double number;
    if (!ParseTypedNumber(editText_, number))
        return;
    MapSheet& s = Sheet();
    if (!s.Inside(editColumn_, editRow_))
        return;
    const MapAxis& a = s.AxisOf(editColumn_, editRow_);
    NoteChange(0, ChangeBegin);
    s.Value(editColumn_, editRow_) = TruncatedRaw(number / a.scale + RoundingOffset(number));
    NoteChange(MapSheet::MaskOf(editColumn_, editRow_), CHANGE_NOW);
}
