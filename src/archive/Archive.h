#pragma once

#include "archive/ArchiveEntry.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

enum class ArchiveLoadResult { Ok, NotFound, CannotOpen, ReadError };

// The archive attached to the end of a host file: a tree of directories and files held in
// memory, loaded from and saved back into the host, and edited through a line-oriented
// command language (OPEN, CLEAR, SAVE, IMPORT, EXPORT, SET, MKDIR, DELETE, RENAME).
class Archive {
public:
    static constexpr int MARKER_SIZE = 32;
    static constexpr int BLOCK = 256;
    static constexpr uint32_t MAX_FILE = 5242880; // 5 MiB
    static constexpr uint32_t PLAIN_LIMIT = 100; // files up to this size are stored uncompressed
    static constexpr int MAX_DEPTH = 64; // deeper trees are refused, so recursion stays bounded

    // Where command echoes and reports go; the default writes to the standard output.
    using Output = std::function<void(const std::string&)>;

    Archive();

    // The 32-byte marker that opens an archive inside its host.
    static const std::vector<uint8_t>& Marker();

    ArchiveLoadResult Load(const std::string& hostPath);
    // Loads from the bytes of a whole host file; the host path stays as it is.
    ArchiveLoadResult LoadFromBytes(const uint8_t* data, size_t size);
    bool Save();

    // Executes one command line; returns 0 (unknown command, no archive open, failed EXPORT or
    // SET lookup), 1 (IMPORT, SET, MKDIR, DELETE, RENAME), 2 (EXPORT), 5 (OPEN, CLEAR) or 9 (SAVE).
    int Command(const std::string& line);
    // Whether the last command did what it was asked (its report was not " (error)").
    bool lastCommandOk() const { return lastOk_; }

    void SetOutput(Output output) { output_ = std::move(output); }
    const Output& output() const { return output_; }

    bool isOpen() const { return open_; }
    bool isEmpty() const { return root_.children.empty(); }
    const ArchiveEntry& root() const { return root_; }
    const std::string& hostPath() const { return hostPath_; }
    uint32_t archiveOffset() const { return offset_; }

    // Tree operations behind the commands; archive paths use "\\" and ignore a leading one.
    bool AddFile(const std::string& archiveDir, const std::string& diskFile);
    int ImportFolder(const std::string& diskFolder, const std::string& archiveDir, bool& ok);
    bool ExportFile(const std::string& archivePath, const std::string& diskFolder, bool& found);
    bool SetText(const std::string& archivePath, const std::string& text, bool& found);
    bool MakeDirectory(const std::string& archivePath);
    bool Delete(const std::string& archivePath);
    bool Rename(const std::string& oldPath, const std::string& newPath);
    const ArchiveEntry* Find(const std::string& archivePath) const;
    // The bytes of a file entry, decompressed; false when the stored data is corrupt.
    static bool Extract(const ArchiveEntry& file, std::vector<uint8_t>& out);

    // Present UTC time as a FILETIME.
    static uint64_t Now();

private:
    using Handler = int (Archive::*)(const std::vector<std::string>& args);
    struct CommandRow {
        const char* keyword;
        Handler handler;
        bool needsArchive;
    };
    static const CommandRow COMMANDS[];

    int CmdOpen(const std::vector<std::string>& args);
    int CmdClear(const std::vector<std::string>& args);
    int CmdSave(const std::vector<std::string>& args);
    int CmdImport(const std::vector<std::string>& args);
    int CmdExport(const std::vector<std::string>& args);
    int CmdSet(const std::vector<std::string>& args);
    int CmdMkdir(const std::vector<std::string>& args);
    int CmdDelete(const std::vector<std::string>& args);
    int CmdRename(const std::vector<std::string>& args);

    void Report(const std::string& text, bool ok);
    void Reset();
    ArchiveEntry* ResolveDirectory(const std::string& archivePath, bool create);
    bool StoreFile(ArchiveEntry& dir, const std::string& name, std::vector<uint8_t> bytes, uint64_t time, bool plain);
    int ImportTree(const std::string& diskFolder, ArchiveEntry& dir, int depth, bool& ok);
    bool WriteHost(const std::vector<uint8_t>& archive);

    std::string hostPath_;
    uint32_t offset_ = 0;
    int items_ = 0;
    ArchiveEntry root_;
    bool open_ = false;
    bool lastOk_ = true;
    Output output_;
};
