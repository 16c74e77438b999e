#pragma once

#include <string>
#include <vector>

// What the command line asks for. Only the first argument is a word of the program's own
// ("ENGLISH", "DEUTSCH", "CESKY", "nopatchcheck", compared exactly); options starting with
// "--" may follow anywhere.
struct CommandLine {
    int language = -1; // -1: keep the saved language
    bool noPatchCheck = false;
    bool demo = false;
    std::vector<std::string> unknownOptions;

    static CommandLine Parse(const std::vector<std::string>& args); // args without the program name
};
