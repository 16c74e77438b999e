#include "ArchiveFixture.h"

namespace {

void PutLe(std::string& s, size_t at, uint64_t v, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        s[at + i] = static_cast<char>(v >> (8 * i));
}

std::string Record(const std::string& name, uint32_t length, uint32_t packed, uint16_t flags)
{
    std::string r(ArchiveEntry::RECORD_SIZE, '\0');
    r.replace(0, name.size(), name);
    PutLe(r, 57, length, 4);
    PutLe(r, 61, packed, 4);
    PutLe(r, 73, flags, 2);
    return r;
}

std::string MarkerText()
{
    const std::vector<uint8_t>& m = Archive::Marker();
    return std::string(m.begin(), m.end());
}

ArchiveLoadResult LoadBytes(Archive& crate, const std::string& bytes)
{
    return crate.LoadFromBytes(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

constexpr size_t ROOT = 32;
constexpr size_t FIRST_CHILD = ROOT + 79;

} // namespace

// A saved archive of a directory with a compressed and a plain file; the cases corrupt its fields.
class ArchiveLoad : public ArchiveFixture {
protected:
    void SetUp() override
    {
        WriteFile(host, "");
        crate.Load(host);
        WriteFile(dir.file("packed.txt"), Pattern(3000));
        Run("IMPORT packed.txt \"\"");
        Run("MKDIR d");
        Run("SET d\\plain.txt hello");
        ASSERT_EQ(Run("SAVE").find("(stored"), 6u);
        saved = ReadFile(host);
    }

    std::string saved;
    uint32_t PackedLength() const { return crate.Find("packed.txt")->compressedLength; }
};

TEST_F(ArchiveLoad, EveryTruncationIsAReadError)
{
    Archive probe;
    ASSERT_EQ(LoadBytes(probe, saved), ArchiveLoadResult::Ok);
    for (size_t n = 0; n < saved.size(); ++n) {
        const ArchiveLoadResult expected = n < 32 ? ArchiveLoadResult::NotFound : ArchiveLoadResult::ReadError;
        EXPECT_EQ(LoadBytes(probe, saved.substr(0, n)), expected) << n;
        EXPECT_TRUE(probe.isEmpty()) << n;
    }
}

TEST_F(ArchiveLoad, CorruptFieldsAreRefused)
{
    struct Case {
        const char* what;
        size_t at;
        uint64_t value;
        int bytes;
    };
    const Case cases[] = {
        { "child count beyond the file", ROOT + 73, 0x8000 | 0x0FFF, 2 },
        { "root is not a directory", ROOT + 73, 2, 2 },
        { "absurd uncompressed length", FIRST_CHILD + 57, 0x7FFFFFFF, 4 },
        { "length above 5 MiB", FIRST_CHILD + 57, Archive::MAX_FILE + 1, 4 },
        { "compressed longer than the data", FIRST_CHILD + 61, 3001, 4 },
        { "compressed length beyond the file", FIRST_CHILD + 61, 2999, 4 },
        { "file claims children", FIRST_CHILD + 73, 3, 2 },
        { "directory child count beyond the file", FIRST_CHILD + 79 + 73, 0x8000 | 40, 2 },
        // The stored bytes stay inside the file here, so only the comparison of the two lengths refuses it.
        { "compressed longer than the data it unpacks to", FIRST_CHILD + 57, PackedLength() - 1, 4 },
    };
    for (const Case& c : cases) {
        std::string bytes = saved;
        PutLe(bytes, c.at, c.value, c.bytes);
        Archive probe;
        EXPECT_EQ(LoadBytes(probe, bytes), ArchiveLoadResult::ReadError) << c.what;
        EXPECT_FALSE(probe.isOpen()) << c.what;
        EXPECT_TRUE(probe.isEmpty()) << c.what;
    }
}

TEST_F(ArchiveLoad, UnterminatedNameIsRefused)
{
    std::string bytes = saved;
    bytes.replace(FIRST_CHILD, 53, std::string(53, 'N'));
    Archive probe;
    EXPECT_EQ(LoadBytes(probe, bytes), ArchiveLoadResult::ReadError);
}

TEST_F(ArchiveLoad, ACorruptHostIsNeitherChangedNorSaved)
{
    std::string bytes = saved;
    PutLe(bytes, ROOT + 73, 0x8000 | 0x0FFF, 2);
    WriteFile(host, bytes);
    EXPECT_EQ(Run("OPEN host.bin"), "OPEN host.bin\n (error)\n");
    EXPECT_EQ(Run("SET x y"), "SET x y\n (error)\n");
    EXPECT_EQ(Run("SAVE"), "SAVE\n (error)\n");
    EXPECT_EQ(ReadFile(host), bytes);
}

TEST_F(ArchiveLoad, DataAfterTheArchiveIsIgnored)
{
    Archive probe;
    EXPECT_EQ(LoadBytes(probe, saved + Noise(1000, 9)), ArchiveLoadResult::Ok);
    EXPECT_EQ(probe.root().children.size(), 2u);
}

TEST_F(ArchiveLoad, MarkerCountsOnlyAtBlockStarts)
{
    Archive probe;
    EXPECT_EQ(LoadBytes(probe, std::string(100, 'x') + saved), ArchiveLoadResult::NotFound);
    EXPECT_EQ(probe.archiveOffset(), 100u + saved.size());
    EXPECT_EQ(LoadBytes(probe, std::string(512, 'x') + saved), ArchiveLoadResult::Ok);
    EXPECT_EQ(probe.archiveOffset(), 512u);
    // The file loader scans the host in chunks; a marker far beyond the first chunk is found too.
    WriteFile(host, std::string(300 * 1024, 'x') + saved);
    EXPECT_EQ(probe.Load(host), ArchiveLoadResult::Ok);
    EXPECT_EQ(probe.archiveOffset(), 300u * 1024);
}

TEST_F(ArchiveLoad, CorruptCompressedDataLoadsButDoesNotExport)
{
    std::string bytes = saved;
    const ArchiveEntry* packed = crate.Find("packed.txt");
    ASSERT_GT(packed->compressedLength, 0u);
    bytes[32 + packed->offset + 5] ^= 0x55;
    bytes[32 + packed->offset + 6] ^= 0x55;
    WriteFile(host, bytes);
    EXPECT_EQ(Run("OPEN host.bin"), "OPEN host.bin\n (opened)\n");
    EXPECT_EQ(Run("EXPORT packed.txt \"\""), "EXPORT packed.txt \"\"\n (error)\n");
    EXPECT_FALSE(dir.exists("packed.txt.out"));
}

TEST_F(ArchiveLoad, NestingDeeperThanTheLimitIsRefused)
{
    auto chain = [](int depth) {
        std::string bytes = MarkerText() + Record("", 1580, 0, 0x8001);
        for (int i = 0; i < depth; ++i)
            bytes += Record("d", 1580, 0, i + 1 < depth ? 0x8001 : 0x8000);
        return bytes;
    };
    Archive probe;
    EXPECT_EQ(LoadBytes(probe, chain(Archive::MAX_DEPTH)), ArchiveLoadResult::Ok);
    EXPECT_EQ(LoadBytes(probe, chain(Archive::MAX_DEPTH + 1)), ArchiveLoadResult::ReadError);
    EXPECT_EQ(LoadBytes(probe, chain(100000)), ArchiveLoadResult::ReadError);
}
