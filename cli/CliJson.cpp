#include "CliJson.h"

#include "link/LinkCommands.h"
#include "model/FieldFacts.h"
#include "model/MapFacts.h"
#include "model/SettingNames.h"

#include <QJsonDocument>

#include <algorithm>

namespace {

QString Text(const std::string& s) { return QString::fromStdString(s); }

const char* KindName(ImageDifference::Kind kind)
{
    switch (kind) {
    case ImageDifference::Kind::Setting:
        return "setting";
    case ImageDifference::Kind::MapAxis:
        return "map-axis";
    case ImageDifference::Kind::MapCell:
        return "map-cell";
    case ImageDifference::Kind::Byte:
        break;
    }
    return "byte";
}

QJsonObject Difference(const ImageDifference& d)
{
    QJsonObject o { { "kind", KindName(d.kind) }, { "name", Text(d.name) }, { "first", Text(d.first) },
        { "second", Text(d.second) }, { "firstRaw", d.firstRaw }, { "secondRaw", d.secondRaw }, { "byte", d.byte } };
    if (d.fact) {
        o["field"] = d.fact->name;
        o["element"] = d.element;
    }
    if (const MapFact* m = MapFacts::Find(d.map)) {
        o["map"] = Text(MapFacts::Name(*m));
        if (d.row >= 0)
            o["row"] = d.row;
        if (d.column >= 0)
            o["column"] = d.column;
    }
    return o;
}

bool ShownAsText(const FieldFact& f) { return f.choices || f.kind == FieldKind::Lobe; }

QJsonObject Field(const ParamImage& img, const FieldFact& f)
{
    QJsonArray values, texts;
    for (int e = 0; e < f.count; ++e) {
        values.append(f.UserValue(img, e));
        if (ShownAsText(f))
            texts.append(Text(SettingNames::ValueText(f, img, e)));
    }
    QJsonObject o { { "field", f.name }, { "unit", Text(f.UnitIn(img)) }, { "values", values } };
    if (ShownAsText(f))
        o["texts"] = texts;
    return o;
}

QJsonObject Map(const ParamImage& img, const MapFact& m)
{
    QJsonArray rows, columns, cells;
    for (int c = 0; c < m.columns; ++c)
        columns.append(Text(MapFacts::ColumnLabel(m, img, c)));
    for (int r = 0; r < m.rows; ++r) {
        rows.append(Text(MapFacts::RowLabel(m, img, r)));
        QJsonArray row;
        for (int c = 0; c < m.columns; ++c)
            row.append(Text(MapFacts::CellText(m, img, r, c)));
        cells.append(row);
    }
    return { { "name", Text(MapFacts::Name(m)) }, { "field", m.cells->name }, { "rows", rows }, { "columns", columns },
        { "cells", cells } };
}

} // namespace

namespace CliJson {

bool TakeOption(std::vector<std::string>& args) { return std::erase(args, "--json") > 0; }

QJsonArray Differences(const std::vector<ImageDifference>& differences)
{
    QJsonArray a;
    for (const ImageDifference& d : differences)
        a.append(Difference(d));
    return a;
}

QJsonObject Settings(const ParamImage& image)
{
    QJsonArray fields, maps;
    for (const FieldFact& f : FieldFacts::All())
        fields.append(Field(image, f));
    for (const MapFact& m : MapFacts::All())
        maps.append(Map(image, m));
    return { { "fields", fields }, { "maps", maps } };
}

QJsonObject Identity(const IdentifyResult& r)
{
    QJsonObject o { { "found", r.found } };
    if (!r.found)
        return o;
    o["port"] = r.port;
    o["device"] = Text(r.device);
    o["name"] = Text(r.name);
    o["protocol"] = Text(r.protocol);
    o["maxFrameLength"] = r.maxFrameLength;
    o["dataBytesPerFrame"] = r.dataBytesPerFrame;
    return o;
}

void Print(const QJsonObject& document, std::ostream& out)
{
    out << QJsonDocument(document).toJson(QJsonDocument::Indented).toStdString();
}

} // namespace CliJson
