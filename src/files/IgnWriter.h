#pragma once

#include "files/BuildStamp.h"
#include "files/IgnUnitInfo.h"
#include "model/ParamImage.h"

#include <QString>

#include <string>

// The current format version of parameter files.
constexpr int IGN_FILE_VERSION = 93;

// The complete text of a version-93 parameter file for the image: CR LF line breaks on every
// platform, no final line break. The caller validates the image first.
std::string IgnFileText(
    const ParamImage& image, const IgnUnitInfo& unit, const BuildStamp& stamp = BuildStamp::Program());

// Writes IgnFileText to path through a temporary file beside it, so a failed write is reported
// (error receives the reason) and leaves the previous file intact.
bool WriteIgnFile(const QString& path, const ParamImage& image, const IgnUnitInfo& unit, QString* error = nullptr,
    const BuildStamp& stamp = BuildStamp::Program());
