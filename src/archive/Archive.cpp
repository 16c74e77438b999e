#include "archive/Archive.h"

#include "archive/ArchivePath.h"
#include "base/AtomicFile.h"
#include "base/InputFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr qint64 SCAN_CHUNK = 256 * 1024;
constexpr uint64_t FILETIME_UNIX_EPOCH_MS = 11644473600000ULL;

uint64_t FileTimeFromMs(qint64 msSinceEpoch)
{
    const qint64 ms = std::max<qint64>(msSinceEpoch + static_cast<qint64>(FILETIME_UNIX_EPOCH_MS), 0);
    return static_cast<uint64_t>(ms) * 10000;
}

QDateTime DateTimeFromFileTime(uint64_t fileTime)
{
    const auto ms = static_cast<qint64>(fileTime / 10000) - static_cast<qint64>(FILETIME_UNIX_EPOCH_MS);
    return QDateTime::fromMSecsSinceEpoch(ms, Qt::UTC);
}

uint64_t FileTimeOf(const QFileInfo& info)
{
    const QDateTime t = info.lastModified();
    return t.isValid() ? FileTimeFromMs(t.toMSecsSinceEpoch()) : Archive::Now();
}

QString QPath(const std::string& path) { return QString::fromStdString(DiskPath(path)); }

// Reads the tree that follows the marker. Every length is checked against the bytes that are
// left before anything is allocated, so a corrupt archive cannot make us allocate more than the
// file holds.
class TreeReader {
public:
    TreeReader(const uint8_t* data, size_t size)
        : data_(data)
        , size_(size)
    {
    }

    bool readRoot(ArchiveEntry& root)
    {
        const uint8_t* record = nullptr;
        if (!take(ArchiveEntry::RECORD_SIZE, record) || !ArchiveEntry::ReadRecord(record, root) || !root.directory)
            return false;
        return readDirectory(root, 0);
    }

private:
    bool take(size_t n, const uint8_t*& out)
    {
        if (n > size_ - pos_)
            return false;
        out = data_ + pos_;
        pos_ += n;
        return true;
    }

    bool readDirectory(ArchiveEntry& dir, int depth)
    {
        if (depth > Archive::MAX_DEPTH)
            return false;
        const size_t count = dir.recordCount;
        const uint8_t* block = nullptr;
        if (!take(count * ArchiveEntry::RECORD_SIZE, block))
            return false;
        dir.children.resize(count);
        const size_t groups = (count + ArchiveEntry::GROW_ENTRIES - 1) / ArchiveEntry::GROW_ENTRIES;
        dir.length = static_cast<uint32_t>(std::max<size_t>(groups, 1) * ArchiveEntry::GROW_BYTES);
        for (size_t i = 0; i < count; ++i)
            if (!ArchiveEntry::ReadRecord(block + i * ArchiveEntry::RECORD_SIZE, dir.children[i]))
                return false;
        for (ArchiveEntry& child : dir.children) {
            const bool ok = child.directory ? readDirectory(child, depth + 1) : readFile(child);
            if (!ok)
                return false;
        }
        return true;
    }

    bool readFile(ArchiveEntry& file)
    {
        if (file.length > Archive::MAX_FILE || file.compressedLength > file.length || file.recordCount != 0)
            return false;
        const uint8_t* bytes = nullptr;
        if (!take(file.storedLength(), bytes))
            return false;
        file.data.assign(bytes, bytes + file.storedLength());
        return true;
    }

    const uint8_t* data_;
    size_t size_;
    size_t pos_ = 0;
};

// Depth-first offsets: a directory's child block, then each child's contents in order.
uint64_t Layout(ArchiveEntry& dir, uint64_t pos)
{
    dir.offset = static_cast<uint32_t>(pos);
    pos += dir.children.size() * ArchiveEntry::RECORD_SIZE;
    for (ArchiveEntry& child : dir.children) {
        if (child.directory) {
            pos = Layout(child, pos);
        } else {
            child.offset = static_cast<uint32_t>(pos);
            pos += child.storedLength();
        }
    }
    return pos;
}

void Serialize(const ArchiveEntry& dir, std::vector<uint8_t>& out)
{
    for (const ArchiveEntry& child : dir.children) {
        const size_t at = out.size();
        out.resize(at + ArchiveEntry::RECORD_SIZE);
        child.WriteRecord(out.data() + at);
    }
    for (const ArchiveEntry& child : dir.children) {
        if (child.directory)
            Serialize(child, out);
        else
            out.insert(out.end(), child.data.begin(), child.data.end());
    }
}

int Height(const ArchiveEntry& e)
{
    int h = 0;
    for (const ArchiveEntry& c : e.children)
        if (c.directory)
            h = std::max(h, 1 + Height(c));
    return h;
}

bool Contains(const ArchiveEntry& tree, const ArchiveEntry* node)
{
    if (&tree == node)
        return true;
    for (const ArchiveEntry& c : tree.children)
        if (Contains(c, node))
            return true;
    return false;
}

void DefaultOutput(const std::string& text)
{
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fflush(stdout);
}

} // namespace

Archive::Archive()
    : output_(DefaultOutput)
{
    Reset();
}

const std::vector<uint8_t>& Archive::Marker()
{
    // Assembled at run time so the whole marker never appears in the program's own file, where
    // the search would find it instead of the archive.
    static const std::vector<uint8_t> marker = [] {
        const char* text = "##CRATE_HEADER##";
        std::vector<uint8_t> m(MARKER_SIZE);
        for (int i = 0; i < 16; ++i)
            m[i] = static_cast<uint8_t>(text[i]);
        for (int i = 0; i < 14; ++i)
            m[16 + i] = static_cast<uint8_t>(33 + i);
        m[30] = 58;
        m[31] = 62;
        return m;
    }();
    return marker;
}

uint64_t Archive::Now() { return FileTimeFromMs(QDateTime::currentMSecsSinceEpoch()); }

void Archive::Reset()
{
    root_ = ArchiveEntry::MakeDirectory("", Now());
    offset_ = 0;
    open_ = false;
}

ArchiveLoadResult Archive::Load(const std::string& hostPath)
{
    Reset();
    hostPath_ = hostPath;
    // A FIFO or a device named as the host would hold the program in its open or never end.
    if (InputFile::Check(QString::fromStdString(hostPath)) != InputFile::Status::Read)
        return ArchiveLoadResult::CannotOpen;
    QFile file(QString::fromStdString(hostPath));
    if (!file.open(QIODevice::ReadOnly))
        return ArchiveLoadResult::CannotOpen;
    const qint64 size = file.size();
    if (size > static_cast<qint64>(UINT32_MAX))
        return ArchiveLoadResult::ReadError;
    const std::vector<uint8_t>& marker = Marker();
    qint64 base = 0;
    while (base < size) {
        const QByteArray chunk = file.read(SCAN_CHUNK);
        if (chunk.isEmpty())
            return ArchiveLoadResult::ReadError;
        for (qsizetype block = 0; block < chunk.size(); block += BLOCK) {
            if (chunk.size() - block < MARKER_SIZE)
                break;
            if (std::memcmp(chunk.constData() + block, marker.data(), MARKER_SIZE) != 0)
                continue;
            if (!file.seek(base + block + MARKER_SIZE))
                return ArchiveLoadResult::ReadError;
            const QByteArray rest = file.readAll();
            offset_ = static_cast<uint32_t>(base + block);
            TreeReader reader(reinterpret_cast<const uint8_t*>(rest.constData()), static_cast<size_t>(rest.size()));
            if (!reader.readRoot(root_)) {
                Reset();
                return ArchiveLoadResult::ReadError;
            }
            open_ = true;
            return ArchiveLoadResult::Ok;
        }
        base += chunk.size();
    }
    offset_ = static_cast<uint32_t>(size);
    open_ = true;
    return ArchiveLoadResult::NotFound;
}

ArchiveLoadResult Archive::LoadFromBytes(const uint8_t* data, size_t size)
{
    Reset();
    if (size > UINT32_MAX)
        return ArchiveLoadResult::ReadError;
    const std::vector<uint8_t>& marker = Marker();
    for (size_t block = 0; block + MARKER_SIZE <= size; block += BLOCK) {
        if (std::memcmp(data + block, marker.data(), MARKER_SIZE) != 0)
            continue;
        offset_ = static_cast<uint32_t>(block);
        TreeReader reader(data + block + MARKER_SIZE, size - block - MARKER_SIZE);
        if (!reader.readRoot(root_)) {
            Reset();
            return ArchiveLoadResult::ReadError;
        }
        open_ = true;
        return ArchiveLoadResult::Ok;
    }
    offset_ = static_cast<uint32_t>(size);
    open_ = true;
    return ArchiveLoadResult::NotFound;
}

bool Archive::Save()
{
    if (!open_)
        return false;
    if (root_.children.empty()) {
        const QFileInfo info(QString::fromStdString(hostPath_));
        if (info.exists() && info.size() > static_cast<qint64>(offset_))
            return WriteHost({});
        return true;
    }
    const uint64_t end = Layout(root_, ArchiveEntry::RECORD_SIZE);
    const uint64_t start = (static_cast<uint64_t>(offset_) + BLOCK - 1) / BLOCK * BLOCK;
    if (start + MARKER_SIZE + end > UINT32_MAX)
        return false;
    root_.time = Now();
    std::vector<uint8_t> archive = Marker();
    archive.resize(MARKER_SIZE + ArchiveEntry::RECORD_SIZE);
    root_.WriteRecord(archive.data() + MARKER_SIZE);
    Serialize(root_, archive);
    return WriteHost(archive);
}

// The new host is written beside the old one as "<host>.tmp" and then renamed over it, so a failed
// save never destroys the previous file: the host data up to the archive, zero bytes up to the
// next multiple of 256, then the archive.
bool Archive::WriteHost(const std::vector<uint8_t>& archive)
{
    const QString host = QString::fromStdString(hostPath_);
    const QString tmpPath = host + ".tmp";
    QFile source(host);
    const bool hostExists = source.exists();
    if (hostExists && (!source.open(QIODevice::ReadOnly) || source.size() < static_cast<qint64>(offset_)))
        return false;
    if (!hostExists && offset_ != 0)
        return false;
    QFile tmp(tmpPath);
    if (!tmp.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    bool ok = true;
    for (qint64 copied = 0; ok && copied < offset_;) {
        const QByteArray chunk = source.read(std::min<qint64>(SCAN_CHUNK, offset_ - copied));
        ok = !chunk.isEmpty() && tmp.write(chunk) == chunk.size();
        copied += chunk.size();
    }
    uint32_t newOffset = offset_;
    if (ok && !archive.empty()) {
        newOffset = static_cast<uint32_t>((static_cast<uint64_t>(offset_) + BLOCK - 1) / BLOCK * BLOCK);
        const QByteArray gap(newOffset - offset_, '\0');
        const auto size = static_cast<qint64>(archive.size());
        ok = tmp.write(gap) == gap.size() && tmp.write(reinterpret_cast<const char*>(archive.data()), size) == size;
    }
    ok = ok && tmp.flush();
    tmp.close();
    if (ok && hostExists)
        ok = tmp.setPermissions(source.permissions());
    source.close();
    std::error_code error;
    if (ok)
        std::filesystem::rename(tmpPath.toStdString(), hostPath_, error);
    if (!ok || error) {
        QFile::remove(tmpPath);
        return false;
    }
    offset_ = newOffset;
    return true;
}

const ArchiveEntry* Archive::Find(const std::string& archivePath) const
{
    const ArchiveEntry* e = &root_;
    for (const std::string& part : SplitArchivePath(archivePath)) {
        if (!e->directory)
            return nullptr;
        const int i = e->IndexOfChild(part);
        if (i < 0)
            return nullptr;
        e = &e->children[i];
    }
    return e;
}

ArchiveEntry* Archive::ResolveDirectory(const std::string& archivePath, bool create)
{
    const std::vector<std::string> parts = SplitArchivePath(archivePath);
    if (parts.size() > static_cast<size_t>(MAX_DEPTH))
        return nullptr;
    ArchiveEntry* dir = &root_;
    for (const std::string& part : parts) {
        ArchiveEntry* child = dir->findChild(part);
        if (!child) {
            if (!create || !IsValidArchiveName(part) || !dir->ReserveChild())
                return nullptr;
            dir->children.push_back(ArchiveEntry::MakeDirectory(part, Now()));
            child = &dir->children.back();
        }
        if (!child->directory)
            return nullptr;
        dir = child;
    }
    return dir;
}

bool Archive::StoreFile(ArchiveEntry& dir, const std::string& name, std::vector<uint8_t> bytes, uint64_t time, bool plain)
{
    if (bytes.size() > MAX_FILE || !IsValidArchiveName(name))
        return false;
    ArchiveEntry* entry = dir.findChild(name);
    if (entry && entry->directory)
        return false;
    if (!entry) {
        if (!dir.ReserveChild())
            return false;
        dir.children.emplace_back();
        entry = &dir.children.back();
    }
    entry->name = name;
    entry->time = time;
    entry->length = static_cast<uint32_t>(bytes.size());
    entry->compressedLength = 0;
    if (!plain && bytes.size() > PLAIN_LIMIT) {
        std::vector<uint8_t> packed(bytes.size());
        uLongf packedLength = static_cast<uLongf>(packed.size());
        if (compress(packed.data(), &packedLength, bytes.data(), static_cast<uLong>(bytes.size())) == Z_OK) {
            packed.resize(packedLength);
            entry->compressedLength = static_cast<uint32_t>(packedLength);
            entry->data = std::move(packed);
            return true;
        }
    }
    entry->data = std::move(bytes);
    return true;
}

bool Archive::Extract(const ArchiveEntry& file, std::vector<uint8_t>& out)
{
    if (file.directory)
        return false;
    if (file.compressedLength == 0) {
        out = file.data;
        return out.size() == file.length;
    }
    out.assign(file.length, 0);
    uLongf length = file.length;
    const int rc = uncompress(out.data(), &length, file.data.data(), static_cast<uLong>(file.data.size()));
    return rc == Z_OK && length == file.length;
}

bool Archive::AddFile(const std::string& archiveDir, const std::string& diskFile)
{
    const QFileInfo info(QPath(diskFile));
    ArchiveEntry* dir = ResolveDirectory(archiveDir, false);
    if (!dir || !info.isFile() || info.size() > static_cast<qint64>(MAX_FILE))
        return false;
    QFile file(info.filePath());
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.read(MAX_FILE + 1);
    if (bytes.size() > static_cast<qsizetype>(MAX_FILE))
        return false;
    return StoreFile(
        *dir, info.fileName().toStdString(), std::vector<uint8_t>(bytes.begin(), bytes.end()), FileTimeOf(info), false);
}

int Archive::ImportFolder(const std::string& diskFolder, const std::string& archiveDir, bool& ok)
{
    ok = false;
    const QDir folder(QPath(diskFolder));
    ArchiveEntry* parent = ResolveDirectory(archiveDir, false);
    const std::string name = QFileInfo(folder.canonicalPath()).fileName().toStdString();
    if (!parent || !folder.exists() || !IsValidArchiveName(name))
        return 0;
    const int depth = static_cast<int>(SplitArchivePath(archiveDir).size()) + 1;
    ArchiveEntry* dir = parent->findChild(name);
    if (!dir) {
        if (depth > MAX_DEPTH || !parent->ReserveChild())
            return 0;
        parent->children.push_back(ArchiveEntry::MakeDirectory(name, FileTimeOf(QFileInfo(folder.path()))));
        dir = &parent->children.back();
    } else if (!dir->directory) {
        return 0;
    }
    ok = true;
    return ImportTree(folder.path().toStdString(), *dir, depth, ok);
}

int Archive::ImportTree(const std::string& diskFolder, ArchiveEntry& dir, int depth, bool& ok)
{
    const QDir folder(QString::fromStdString(diskFolder));
    const QFileInfoList list = folder.entryInfoList(
        QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    int added = 0;
    for (const QFileInfo& info : list) {
        const std::string name = info.fileName().toStdString();
        if (name.empty() || name[0] == '.')
            continue;
        if (info.isDir()) {
            // Linked folders could lead back into the tree; the archive holds real folders only.
            if (info.isSymLink())
                continue;
            ArchiveEntry* sub = dir.findChild(name);
            if (!sub && depth < MAX_DEPTH && IsValidArchiveName(name) && dir.ReserveChild()) {
                dir.children.push_back(ArchiveEntry::MakeDirectory(name, FileTimeOf(info)));
                sub = &dir.children.back();
            }
            if (!sub || !sub->directory) {
                ok = false;
                continue;
            }
            added += ImportTree(info.filePath().toStdString(), *sub, depth + 1, ok);
            continue;
        }
        QFile file(info.filePath());
        QByteArray bytes;
        const bool read = info.size() <= static_cast<qint64>(MAX_FILE) && file.open(QIODevice::ReadOnly)
            && (bytes = file.read(MAX_FILE + 1)).size() <= static_cast<qsizetype>(MAX_FILE);
        if (read && StoreFile(dir, name, std::vector<uint8_t>(bytes.begin(), bytes.end()), FileTimeOf(info), false))
            ++added;
        else
            ok = false;
    }
    return added;
}

bool Archive::ExportFile(const std::string& archivePath, const std::string& diskFolder, bool& found)
{
    const ArchiveEntry* entry = Find(archivePath);
    found = entry && !entry->directory && !SplitArchivePath(archivePath).empty();
    std::vector<uint8_t> bytes;
    // A name from the archive must not lead the file out of the chosen folder.
    if (!found || !IsValidArchiveName(entry->name) || !Extract(*entry, bytes))
        return false;
    const QString folder = QPath(diskFolder);
    const QString path = folder.isEmpty() ? QString::fromStdString(entry->name)
                                          : QDir(folder).filePath(QString::fromStdString(entry->name));
    // Saved whole beside the target first: a full disk keeps the previous file, and a device or
    // pipe named as the target is written into rather than replaced.
    if (!SaveFileAtomically(path, QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()))))
        return false;
    QFile stamped(path);
    return stamped.open(QIODevice::ReadWrite)
        && stamped.setFileTime(DateTimeFromFileTime(entry->time), QFileDevice::FileModificationTime);
}

bool Archive::SetText(const std::string& archivePath, const std::string& text, bool& found)
{
    std::vector<std::string> parts = SplitArchivePath(archivePath);
    found = false;
    if (parts.empty())
        return false;
    const std::string name = parts.back();
    parts.pop_back();
    std::string parentPath;
    for (const std::string& p : parts)
        parentPath += "\\" + p;
    ArchiveEntry* dir = ResolveDirectory(parentPath, false);
    if (!dir)
        return false;
    const ArchiveEntry* existing = dir->findChild(name);
    if (existing && existing->directory)
        return false;
    found = true;
    return StoreFile(*dir, name, std::vector<uint8_t>(text.begin(), text.end()), Now(), true);
}

bool Archive::MakeDirectory(const std::string& archivePath)
{
    return !SplitArchivePath(archivePath).empty() && ResolveDirectory(archivePath, true) != nullptr;
}

bool Archive::Delete(const std::string& archivePath)
{
    std::vector<std::string> parts = SplitArchivePath(archivePath);
    if (parts.empty())
        return false;
    const std::string name = parts.back();
    parts.pop_back();
    ArchiveEntry* dir = &root_;
    for (const std::string& p : parts) {
        dir = dir->findChild(p);
        if (!dir || !dir->directory)
            return false;
    }
    const int i = dir->IndexOfChild(name);
    if (i < 0)
        return false;
    dir->children.erase(dir->children.begin() + i);
    return true;
}

bool Archive::Rename(const std::string& oldPath, const std::string& newPath)
{
    std::vector<std::string> oldParts = SplitArchivePath(oldPath);
    std::vector<std::string> newParts = SplitArchivePath(newPath);
    if (oldParts.empty() || newParts.empty() || !IsValidArchiveName(newParts.back()))
        return false;
    const std::string oldName = oldParts.back();
    const std::string newName = newParts.back();
    oldParts.pop_back();
    newParts.pop_back();
    auto join = [](const std::vector<std::string>& parts) {
        std::string s;
        for (const std::string& p : parts)
            s += "\\" + p;
        return s;
    };
    ArchiveEntry* oldDir = ResolveDirectory(join(oldParts), false);
    ArchiveEntry* newDir = ResolveDirectory(join(newParts), false);
    if (!oldDir || !newDir)
        return false;
    const int index = oldDir->IndexOfChild(oldName);
    if (index < 0)
        return false;
    const int clash = newDir->IndexOfChild(newName);
    if (oldDir == newDir) {
        if (clash >= 0 && clash != index)
            return false;
        oldDir->children[index].name = newName;
        return true;
    }
    ArchiveEntry& entry = oldDir->children[index];
    // A directory cannot move into its own subtree, and the tree must stay within the depth limit.
    if (clash >= 0 || Contains(entry, newDir) || !newDir->ReserveChild())
        return false;
    if (entry.directory && static_cast<int>(newParts.size()) + 1 + Height(entry) > MAX_DEPTH)
        return false;
    ArchiveEntry moved = std::move(entry);
    oldDir->children.erase(oldDir->children.begin() + index);
    moved.name = newName;
    // Erasing may move the new directory in memory when it lies below the old one.
    ResolveDirectory(join(newParts), false)->children.push_back(std::move(moved));
    return true;
}
