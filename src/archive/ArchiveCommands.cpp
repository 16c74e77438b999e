#include "archive/Archive.h"

#include "archive/ArchivePath.h"

#include <cctype>
#include <cstdio>

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// Arguments are separated by blanks or enclosed in double quotes ("" is an empty argument).
std::vector<std::string> SplitArguments(const std::string& text)
{
    std::vector<std::string> args;
    size_t i = 0;
    while (i < text.size()) {
        if (IsBlank(text[i])) {
            ++i;
            continue;
        }
        std::string arg;
        if (text[i] == '"') {
            const size_t close = text.find('"', i + 1);
            const size_t end = close == std::string::npos ? text.size() : close;
            arg = text.substr(i + 1, end - i - 1);
            i = close == std::string::npos ? text.size() : close + 1;
        } else {
            while (i < text.size() && !IsBlank(text[i]))
                arg += text[i++];
        }
        args.push_back(arg);
    }
    return args;
}

bool KeywordMatches(const std::string& line, size_t at, const char* keyword)
{
    size_t n = 0;
    for (; keyword[n]; ++n) {
        if (at + n >= line.size() || std::toupper(static_cast<unsigned char>(line[at + n])) != keyword[n])
            return false;
    }
    return at + n == line.size() || IsBlank(line[at + n]) || line[at + n] == '"';
}

std::string Arg(const std::vector<std::string>& args, size_t i) { return i < args.size() ? args[i] : std::string(); }

std::string Format(const char* format, int a, int b = 0)
{
    char buf[96];
    std::snprintf(buf, sizeof buf, format, a, b);
    return buf;
}

} // namespace

const Archive::CommandRow Archive::COMMANDS[] = {
    { "OPEN", &Archive::CmdOpen, false },
    { "CLEAR", &Archive::CmdClear, true },
    { "SAVE", &Archive::CmdSave, true },
    { "IMPORT", &Archive::CmdImport, true },
    { "EXPORT", &Archive::CmdExport, true },
    { "SET", &Archive::CmdSet, true },
    { "MKDIR", &Archive::CmdMkdir, true },
    { "DELETE", &Archive::CmdDelete, true },
    { "RENAME", &Archive::CmdRename, true },
};

void Archive::Report(const std::string& text, bool ok)
{
    lastOk_ = ok;
    if (output_)
        output_(text);
}

int Archive::Command(const std::string& line)
{
    if (output_)
        output_(line + "\n");
    size_t start = 0;
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    size_t end = line.size();
    while (end > start && (IsBlank(line[end - 1]) || line[end - 1] == '\r' || line[end - 1] == '\n'))
        --end;
    const std::string text = line.substr(0, end);
    for (const CommandRow& row : COMMANDS) {
        if (!KeywordMatches(text, start, row.keyword))
            continue;
        if (row.needsArchive && !open_) {
            Report(" (error)\n", false);
            return 0;
        }
        items_ = 0;
        return (this->*row.handler)(SplitArguments(text.substr(start + std::char_traits<char>::length(row.keyword))));
    }
    Report(" (unknown command)\n", false);
    return 0;
}

int Archive::CmdOpen(const std::vector<std::string>& args)
{
    const ArchiveLoadResult result = Load(Arg(args, 0));
    const bool ok = result == ArchiveLoadResult::Ok || result == ArchiveLoadResult::NotFound;
    Report(ok ? " (opened)\n" : " (error)\n", ok);
    return 5;
}

int Archive::CmdClear(const std::vector<std::string>&)
{
    root_ = ArchiveEntry::MakeDirectory("", Now());
    Report(" (cleared)\n", true);
    return 5;
}

int Archive::CmdSave(const std::vector<std::string>&)
{
    if (!Save()) {
        Report(" (error)\n", false);
        return 9;
    }
    uint64_t bytes = 0;
    auto count = [&](auto&& self, const ArchiveEntry& dir) -> void {
        for (const ArchiveEntry& child : dir.children) {
            bytes += ArchiveEntry::RECORD_SIZE + (child.directory ? 0 : child.storedLength());
            ++items_;
            if (child.directory)
                self(self, child);
        }
    };
    count(count, root_);
    Report(Format(" (stored %i bytes - %i items)\n", static_cast<int>(bytes), items_), true);
    return 9;
}

int Archive::CmdImport(const std::vector<std::string>& args)
{
    const std::string source = Arg(args, 0);
    const std::string archiveDir = Arg(args, 1);
    if (IsDiskFile(source)) {
        const bool ok = AddFile(archiveDir, source);
        Report(ok ? " (1 file added)\n" : " (error)\n", ok);
        return 1;
    }
    bool ok = false;
    items_ = ImportFolder(source, archiveDir, ok);
    Report(ok ? Format(" (%i files added)\n", items_) : " (error)\n", ok);
    return 1;
}

int Archive::CmdExport(const std::vector<std::string>& args)
{
    bool found = false;
    const bool ok = ExportFile(Arg(args, 0), Arg(args, 1), found);
    Report(ok ? " (1 files extracted)\n" : " (error)\n", ok);
    return found ? 2 : 0;
}

int Archive::CmdSet(const std::vector<std::string>& args)
{
    bool found = false;
    const bool ok = SetText(Arg(args, 0), Arg(args, 1), found);
    Report(ok ? " (file rewritten)\n" : " (error)\n", ok);
    return found ? 1 : 0;
}

int Archive::CmdMkdir(const std::vector<std::string>& args)
{
    const bool ok = MakeDirectory(Arg(args, 0));
    Report(ok ? " (directory created)\n" : " (error)\n", ok);
    return 1;
}

int Archive::CmdDelete(const std::vector<std::string>& args)
{
    const bool ok = Delete(Arg(args, 0));
    Report(ok ? " (1 files deleted)\n" : " (error)\n", ok);
    return 1;
}

int Archive::CmdRename(const std::vector<std::string>& args)
{
    const bool ok = Rename(Arg(args, 0), Arg(args, 1));
    Report(ok ? " (1 file renamed)\n" : " (error)\n", ok);
    return 1;
}
