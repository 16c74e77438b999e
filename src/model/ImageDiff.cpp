#include "model/ImageDiff.h"

#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "model/MapFacts.h"
#include "model/SettingNames.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace {

constexpr const char* ALL_LOADS = "###all loads##alle Lasten##všechna zatížení";
constexpr const char* ALL_SPEEDS = "###all speeds##alle Drehzahlen##všechny otáčky";
constexpr int CELL_BITS = 0x0F;

using Kind = ImageDifference::Kind;

// Walks the differing bytes of two images and collects what they belong to.
class Collector {
public:
    Collector(const ParamImage& first, const ParamImage& second, int language)
        : a_(first)
        , b_(second)
        , language_(language)
    {
    }

    std::vector<ImageDifference> Run()
    {
        for (int byte = 0; byte < RS_LEN_EXE; ++byte) {
            if (a_.Adrb(byte) == b_.Adrb(byte) || done_[static_cast<size_t>(byte)])
                continue;
            const FieldFacts::Place p = FieldFacts::AtByte(byte);
            if (!p.fact) {
                AddByte(byte);
                continue;
            }
            const int first = p.fact->FirstByte() + p.element * p.fact->Width();
            for (int k = 0; k < p.fact->Width(); ++k)
                done_[static_cast<size_t>(first + k)] = true;
            AddElement(*p.fact, p.element);
        }
        std::stable_sort(found_.begin(), found_.end(), Before);
        return std::move(found_);
    }

private:
    static bool Before(const ImageDifference& x, const ImageDifference& y)
    {
        const auto key = [](const ImageDifference& d) {
            const bool plainByte = d.kind == Kind::Byte;
            const long row = plainByte ? 0 : d.fact - FieldFacts::All().data();
            return std::make_tuple(plainByte, row, plainByte ? d.byte : d.element, d.column);
        };
        return key(x) < key(y);
    }

    ImageDifference& Add(Kind kind, const FieldFact* fact, int element, int byte)
    {
        ImageDifference& d = found_.emplace_back();
        d.kind = kind;
        d.fact = fact;
        d.element = element;
        d.byte = byte;
        return d;
    }

    void AddByte(int byte)
    {
        const FieldFacts::Place p = FieldFacts::AtByte(byte);
        ImageDifference& d = Add(Kind::Byte, p.fact, p.element, byte);
        d.name = SettingNames::Numbered("###byte %d##Byte %d##bajt %d", byte, language_);
        d.firstRaw = a_.Adrb(byte);
        d.secondRaw = b_.Adrb(byte);
        d.first = std::to_string(d.firstRaw);
        d.second = std::to_string(d.secondRaw);
    }

    void AddElement(const FieldFact& f, int element)
    {
        bool speedAxis = false;
        if (const MapFact* m = MapFacts::OfCells(f))
            AddCells(*m, element);
        else if (const MapFact* axis = MapFacts::OfAxis(f, &speedAxis))
            AddAxisPoint(*axis, speedAxis, element);
        else
            AddSetting(f, element);
    }

    void AddSetting(const FieldFact& f, int element)
    {
        const std::string name = SettingNames::Name(f, element, language_);
        const int first = f.FirstByte() + element * f.Width();
        if (name.empty()) {
            for (int byte = first; byte < first + f.Width(); ++byte)
                if (a_.Adrb(byte) != b_.Adrb(byte))
                    AddByte(byte);
            return;
        }
        ImageDifference& d = Add(Kind::Setting, &f, element, first);
        d.name = name;
        SetValues(d, f, element);
    }

    void AddAxisPoint(const MapFact& m, bool speedAxis, int point)
    {
        const FieldFact& f = speedAxis ? *m.speedPoints : *m.loadPoints;
        ImageDifference& d = Add(Kind::MapAxis, &f, point, f.FirstByte() + point * f.Width());
        d.map = m.id;
        (speedAxis ? d.column : d.row) = point;
        d.name = MapFacts::AxisPointName(m, speedAxis, point, language_);
        SetValues(d, f, point);
    }

    void SetValues(ImageDifference& d, const FieldFact& f, int element) const
    {
        d.firstRaw = f.Ref(element).Read(a_);
        d.secondRaw = f.Ref(element).Read(b_);
        d.first = SettingNames::ValueText(f, a_, element, language_);
        d.second = SettingNames::ValueText(f, b_, element, language_);
    }

    void AddCells(const MapFact& m, int element)
    {
        const int row = MapFacts::CellRow(m, element);
        if (m.layout == MapLayout::Grid) {
            AddCell(m, row, element % m.columns);
            return;
        }
        const int byte = m.cells->FirstByte() + element;
        for (int column = 0; column < m.columns; ++column)
            AddCell(m, row, column);
        if ((a_.Adrb(byte) ^ b_.Adrb(byte)) & ~CELL_BITS)
            AddByte(byte);
    }

    int Cell(const ParamImage& img, const MapFact& m, int row, int column) const
    {
        return MapFacts::CellValue(m, img, row, column);
    }

    void AddCell(const MapFact& m, int row, int column)
    {
        if (Cell(a_, m, row, column) == Cell(b_, m, row, column))
            return;
        // While both images keep the map as one curve, the curve's line stands for every load (speed);
        // the other lines are kept by the unit but not shown, and keep their own labels.
        const bool allLoads = row == m.curveRow && MapFacts::IsSpeedCurve(m, a_) && MapFacts::IsSpeedCurve(m, b_);
        const bool allSpeeds = column == m.curveColumn && MapFacts::IsLoadCurve(m, a_) && MapFacts::IsLoadCurve(m, b_);
        const int element = MapFacts::CellElement(m, row, column);
        ImageDifference& d = Add(Kind::MapCell, m.cells, element, m.cells->FirstByte() + element);
        d.map = m.id;
        d.row = row;
        d.column = column;
        d.name = MapFacts::Name(m, language_) + ", "
            + (allLoads ? LangText(ALL_LOADS, language_) : MapFacts::RowLabel(m, a_, row, language_)) + ", "
            + (allSpeeds ? LangText(ALL_SPEEDS, language_) : MapFacts::ColumnLabel(m, a_, column, language_));
        d.firstRaw = Cell(a_, m, row, column);
        d.secondRaw = Cell(b_, m, row, column);
        d.first = MapFacts::CellText(m, a_, row, column, language_);
        d.second = MapFacts::CellText(m, b_, row, column, language_);
    }

    const ParamImage& a_;
    const ParamImage& b_;
    int language_;
    std::array<bool, RS_LEN_EXE> done_ {};
    std::vector<ImageDifference> found_;
};

} // namespace

std::vector<ImageDifference> ImageDiff::Compare(const ParamImage& first, const ParamImage& second, int language)
{
    return Collector(first, second, language).Run();
}

std::string ImageDiff::Line(const ImageDifference& d) { return d.name + ": " + d.first + " -> " + d.second; }
