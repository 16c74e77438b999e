#pragma once

#include "TempDir.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "model/ImageValidation.h"

#include <sstream>
#include <string>
#include <vector>

inline std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

inline bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

// A configuration that passes the image checks and survives a trip through a parameter file,
// different for every seed.
inline ParamImage FileImage(int seed, const ScopedWorkDir& dir)
{
    ParamImage image;
    for (int a = 0; a < RS_LEN_EXE; ++a)
        image.Adrb(a) = uint8_t(a * 7 + seed);
    ValidateImage(image);
    const QString path = QString::fromStdString(dir.file("seed.ign"));
    std::ostringstream err;
    WriteIgnFile(path, image, IgnUnitInfo {});
    ParamImage opened;
    IgnCommands::Open(path, opened, err);
    return opened;
}
