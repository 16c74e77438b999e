#include "archive/CrateStartup.h"

#include "model/ImageLayout.h"

#include <cstdio>

std::string StartupImportCommand()
{
    char folder[32];
    std::snprintf(folder, sizeof folder, "\\NEW_%i", PROGRAM_KEY);
    char command[64];
    std::snprintf(command, sizeof command, "IMPORT ..\\CRATE%s \"\"", folder);
    return command;
}

CrateLoadResult OpenProgramCrate(CCrate& crate, const std::string& executablePath)
{
    const CCrate::Output previous = crate.output();
    crate.setOutput({});
    const CrateLoadResult result = crate.Load(executablePath);
    if (crate.isOpen() && crate.isEmpty())
        crate.Command(StartupImportCommand());
    crate.setOutput(previous);
    return result;
}
