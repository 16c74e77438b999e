#include "archive/ArchivePath.h"

#include "archive/ArchiveEntry.h"

#include <QFileInfo>

std::vector<std::string> SplitArchivePath(const std::string& path)
{
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '\\') {
            if (!part.empty())
                parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    if (!part.empty())
        parts.push_back(part);
    return parts;
}

std::string DiskPath(const std::string& path)
{
#ifdef _WIN32
    return path;
#else
    std::string out = path;
    for (char& c : out)
        if (c == '\\')
            c = '/';
    return out;
#endif
}

bool IsValidArchiveName(const std::string& name)
{
    if (name.empty() || name.size() > static_cast<size_t>(ArchiveEntry::MAX_NAME) || name == "." || name == "..")
        return false;
    for (char c : name)
        if (c == '\\' || c == '/' || c == '\0')
            return false;
    return true;
}

bool IsDiskFile(const std::string& path) { return QFileInfo(QString::fromStdString(DiskPath(path))).isFile(); }
