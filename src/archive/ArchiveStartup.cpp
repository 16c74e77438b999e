#include "archive/ArchiveStartup.h"

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

ArchiveLoadResult OpenProgramArchive(Archive& crate, const std::string& executablePath)
{
    const Archive::Output previous = crate.output();
    crate.SetOutput({});
    const ArchiveLoadResult result = crate.Load(executablePath);
    if (crate.isOpen() && crate.isEmpty())
        crate.Command(StartupImportCommand());
    crate.SetOutput(previous);
    return result;
}
