#include "app/CommandLine.h"

#include "lang/LangString.h"

CommandLine CommandLine::Parse(const std::vector<std::string>& args)
{
    CommandLine cl;
    if (!args.empty()) {
        const std::string& first = args.front();
        if (first == "ENGLISH")
            cl.language = LANG_ENGLISH;
        else if (first == "DEUTSCH")
            cl.language = LANG_GERMAN;
        else if (first == "CESKY")
            cl.language = LANG_CZECH;
        else if (first == "nopatchcheck")
            cl.noPatchCheck = true;
    }
    for (const std::string& a : args) {
        if (a == "--demo")
            cl.demo = true;
        else if (a.rfind("--", 0) == 0)
            cl.unknownOptions.push_back(a);
    }
    return cl;
}
