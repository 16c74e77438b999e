#include "archive/Archive.h"

#include <cstdint>
#include <cstring>
#include <vector>

// Feeds arbitrary bytes after a marker to the archive loader, then lists and extracts what it
// accepted, so every entry of a loaded tree is touched once.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::vector<uint8_t> host = Archive::Marker();
    host.insert(host.end(), data, data + size);
    Archive crate;
    crate.SetOutput({});
    if (crate.LoadFromBytes(host.data(), host.size()) != ArchiveLoadResult::Ok)
        return 0;
    auto walk = [](auto&& self, const ArchiveEntry& dir) -> void {
        for (const ArchiveEntry& child : dir.children) {
            std::vector<uint8_t> bytes;
            if (child.directory)
                self(self, child);
            else
                Archive::Extract(child, bytes);
        }
    };
    walk(walk, crate.root());
    return 0;
}
