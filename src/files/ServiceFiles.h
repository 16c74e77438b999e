#pragma once

#include "files/BuildStamp.h"
#include "files/IgnMessageSink.h"
#include "files/IgnUnitInfo.h"

#include <QString>

#include <functional>
#include <string>

// The file work of the two service commands of test mode: a default parameter file for every
// bike code, and a comparison of those files with an older set.
class ServiceFiles {
public:
    static constexpr int LAST_BIKE_CODE = 42;
    static constexpr int MAX_COMPARE_LINES = 3000;
    static constexpr int MAX_COMPARE_LINE = 299;

    // The text the bike list shows for a code (8-bit). The default takes the bike table in the
    // current language and, for a code without list entry, the code's number.
    using BikeText = std::function<std::string(int code)>;
    static std::string DefaultBikeText(int code);

    // The file name for a bike text: runs of blanks are dropped, a digit after such a run opens
    // "(" and one ")" closes the name: "3 Zylinder   1 Geber" gives "3 Zylinder (1 Geber)".
    static std::string FileName(const std::string& text);

    // "Save All New": for every code 0..42 the defaults of that bike written to
    // base/new_ign/<name>.ign. Files that cannot be written are reported through sink (the
    // open-file error). Returns how many files were written.
    static int SaveAllNew(const QString& base, const IgnUnitInfo& unit, const BuildStamp& stamp,
        const BikeText& bikeText, const IgnMessageSink& sink);

    // "Compare All New": base/new_ign/compare_all_new.txt lists, per bike, the lines that differ
    // between base/new_ign_old/<name>.ign and base/new_ign/<name>.ign (build stamps excluded).
    // Returns false when the result file cannot be written; otherwise sink gets the closing note.
    static bool CompareAllNew(const QString& base, const BikeText& bikeText, const IgnMessageSink& sink);
};
