#pragma once

#include <string>
#include <vector>

// Archive paths: components separated by "\\"; a leading separator and empty components are
// ignored, so "\\a\\b", "a\\b" and "a\\\\b" name the same entry.
std::vector<std::string> SplitArchivePath(const std::string& path);

// A disk path as given to IMPORT or EXPORT, with "\\" turned into the platform's separator.
std::string DiskPath(const std::string& path);

// Whether a name can be an entry's name: 1..52 characters, no separator, not "." or "..".
bool IsValidArchiveName(const std::string& name);

// Whether a disk path (as DiskPath turns it) names an existing file.
bool IsDiskFile(const std::string& path);
