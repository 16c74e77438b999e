#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

// What the command line asks for. Only the first argument is a word of the program's own
// ("ENGLISH", "DEUTSCH", "CESKY", "nopatchcheck", compared exactly); options may follow anywhere.
// Other arguments name files to open: the first one ending in ".ign" as a parameter file, the
// first one ending in ".ignlog" as a recording for the player; anything else is ignored.
struct CommandLine {
    int language = -1; // -1: keep the saved language
    bool noPatchCheck = false;
    bool demo = false;
    bool help = false;
    bool version = false;
    std::string paramFile;
    std::string recordingFile;
    // Options neither the program nor Qt knows; the program refuses to start with them.
    std::vector<std::string> wrongOptions;

    static CommandLine Parse(const std::vector<std::string>& args); // args without the program name

    bool hasFiles() const { return !paramFile.empty() || !recordingFile.empty(); }
    // Help, the version or a wrong option: what to print and the exit code, all decided before
    // any window, display or port exists. Nothing when the program is to start.
    std::optional<int> AnswerWithoutWindow(std::ostream& out, std::ostream& err) const;
    // The usage text in the current language.
    static void PrintUsage(std::ostream& os);
};
