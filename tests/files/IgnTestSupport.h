#pragma once

#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/ParamImage.h"

#include <fstream>
#include <sstream>
#include <string>

inline std::string ReadWholeFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// A golden text kept readable: every line between two "|" marks, joined with CR LF.
inline std::string GoldenText(const std::string& path)
{
    std::istringstream in(ReadWholeFile(path));
    std::string line, text;
    bool first = true;
    while (std::getline(in, line)) {
        const size_t a = line.find('|'), b = line.rfind('|');
        if (a == std::string::npos || b == a)
            continue;
        if (!first)
            text += "\r\n";
        text += line.substr(a + 1, b - a - 1);
        first = false;
    }
    return text;
}
