#pragma once

#include "model/ParamImage.h"

#include <QString>

#include <ostream>
#include <string>

// The parameter-file commands of the command-line tool. Each returns the process exit code (0 on
// success, 1 when the output cannot be written, 2 when the input cannot be read or is refused) and
// writes its messages to err; nothing is written when the input is refused.
class IgnCommands {
public:
    // "convert IN OUT": two-pass open of IN over the start-up defaults, validation, and IN
    // written to OUT as a version-93 file (so a version-80 file is upgraded).
    static int Convert(const QString& in, const QString& out, std::ostream& err);

    // "show FILE": every field with its name and value in user units, the maps as tables.
    static int Show(const QString& path, std::ostream& out, std::ostream& err);

    // How Open treats a file that lacks settings a current file holds: tolerant opens it with a
    // warning (the missing settings keep the bike's defaults), strict refuses it.
    enum class Completeness { Tolerant, Strict };

    // Opens path into image (two passes, validated); false with a message on err when the file
    // cannot be read or is not a parameter file of version 93 or 80.
    static bool Open(
        const QString& path, ParamImage& image, std::ostream& err, Completeness completeness = Completeness::Tolerant);

    // The listing of Show for an image.
    static std::string ShowText(const ParamImage& image);
};
