#pragma once

#include "model/ImageDifference.h"
#include "model/ParamImage.h"

#include <QJsonArray>
#include <QJsonObject>

#include <ostream>
#include <string>
#include <vector>

struct IdentifyResult;

// What the commands print with --json: the same content as their text, as one JSON document on
// out, for scripts.
namespace CliJson {

// Takes --json out of args; true when it was there.
bool TakeOption(std::vector<std::string>& args);

QJsonArray Differences(const std::vector<ImageDifference>& differences);
// Every field with its user values and, for choices and check boxes, their texts; every map with
// its row and column labels and its cells in user units.
QJsonObject Settings(const ParamImage& image);
QJsonObject Identity(const IdentifyResult& result);

void Print(const QJsonObject& document, std::ostream& out);

} // namespace CliJson
