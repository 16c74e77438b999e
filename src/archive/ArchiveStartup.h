#pragma once

#include "archive/Archive.h"

#include <string>

// The import command start-up runs on an empty archive: the development folder
// "..\\CRATE\\NEW_93" (relative to the working folder) goes into the archive root.
std::string StartupImportCommand();

// Start-up use of the archive: loads the archive attached to the program's own executable and,
// when it has no entries, imports the development folder into it. Nothing is reported to the
// user; a missing folder leaves the archive empty. Returns the load result.
ArchiveLoadResult OpenProgramArchive(Archive& crate, const std::string& executablePath);
