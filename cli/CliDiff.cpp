#include "CliCommand.h"

#include "CliJson.h"
#include "files/IgnCommands.h"
#include "model/ImageDefaults.h"
#include "model/ImageDiff.h"

#include <QString>

namespace {

// The exit codes of diff, as the system's diff has them.
constexpr int SAME = 0;
constexpr int DIFFERENT = 1;
constexpr int TROUBLE = 2;

} // namespace

int CliDiff(const std::vector<std::string>& args, CliIo& io)
{
    std::vector<std::string> files = args;
    const bool json = CliJson::TakeOption(files);
    if (files.size() != 2 || files[0].starts_with("--") || files[1].starts_with("--")) {
        io.err << "usage: vordax4-cli diff A.ign B.ign [--json]\n";
        return TROUBLE;
    }
    // Both files open over the start-up image, as the window opens them.
    ParamImage first = StartupImage();
    ParamImage second = first;
    if (!IgnCommands::Open(CliPath(files[0]), first, io.err)
        || !IgnCommands::Open(CliPath(files[1]), second, io.err))
        return CliBadInput(io, TROUBLE);
    const std::vector<ImageDifference> differences = ImageDiff::Compare(first, second);
    if (json) {
        CliJson::Print({ { "first", CliPath(files[0]) }, { "second", CliPath(files[1]) },
                           { "equal", differences.empty() }, { "differences", CliJson::Differences(differences) } },
            io.out);
    } else if (differences.empty()) {
        io.out << "no differences\n";
    } else {
        for (const ImageDifference& d : differences)
            io.out << ImageDiff::Line(d) << "\n";
    }
    return differences.empty() ? SAME : DIFFERENT;
}
