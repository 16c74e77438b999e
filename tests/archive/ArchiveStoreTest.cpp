#include "ArchiveFixture.h"

#include "archive/ArchiveStartup.h"

#include <QDir>
#include <QStandardPaths>

#include <cstdlib>
#include <fstream>

namespace {

uint32_t Le32(const std::string& s, size_t at)
{
    uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = (v << 8) | static_cast<uint8_t>(s[at + i]);
    return v;
}

std::string MarkerText()
{
    const std::vector<uint8_t>& m = Archive::Marker();
    return std::string(m.begin(), m.end());
}

} // namespace

using ArchiveStore = ArchiveFixture;

TEST_F(ArchiveStore, MarkerIsTheHeaderTextAndItsSixteenBytes)
{
    EXPECT_EQ(MarkerText(), "##CRATE_HEADER##!\"#$%&'()*+,-.:>");
}

TEST_F(ArchiveStore, HostWithoutMarkerIsAnEmptyArchiveAndAnEmptySaveLeavesItAlone)
{
    const std::string original = Noise(3000, 1);
    WriteFile(host, original);
    SetModifiedMs(host, 1500000000000);
    EXPECT_EQ(crate.Load(host), ArchiveLoadResult::NotFound);
    EXPECT_TRUE(crate.isOpen());
    EXPECT_TRUE(crate.isEmpty());
    EXPECT_EQ(crate.archiveOffset(), 3000u);
    EXPECT_EQ(Run("SAVE"), "SAVE\n (stored 0 bytes - 0 items)\n");
    EXPECT_EQ(ReadFile(host), original);
    EXPECT_EQ(ModifiedMs(host), 1500000000000);
}

TEST_F(ArchiveStore, MissingHostCannotBeOpened)
{
    EXPECT_EQ(crate.Load(dir.file("nothing.bin")), ArchiveLoadResult::CannotOpen);
    EXPECT_FALSE(crate.isOpen());
    EXPECT_EQ(Run("SAVE"), "SAVE\n (error)\n");
    EXPECT_EQ(code, 0);
}

TEST_F(ArchiveStore, ArchiveGoesToTheNextMultipleOf256WithZerosBefore)
{
    const std::string original = Noise(1000, 2);
    WriteFile(host, original);
    crate.Load(host);
    Run("SET a.txt hello");
    ASSERT_EQ(Run("SAVE"), "SAVE\n (stored 84 bytes - 1 items)\n");
    const std::string saved = ReadFile(host);
    EXPECT_EQ(saved.substr(0, 1000), original);
    EXPECT_EQ(saved.substr(1000, 24), std::string(24, '\0'));
    EXPECT_EQ(saved.substr(1024, 32), MarkerText());
    // The root record follows the marker: contents at 79, one child, directory flag, its time now.
    const std::string root = saved.substr(1056, 79);
    EXPECT_EQ(Le32(root, 53), 79u);
    EXPECT_EQ(Le32(root, 57), 1580u);
    EXPECT_EQ(static_cast<uint8_t>(root[73]) | (static_cast<uint8_t>(root[74]) << 8), 0x8001);
    const uint64_t rootTime = Le32(root, 65) | (static_cast<uint64_t>(Le32(root, 69)) << 32);
    EXPECT_NEAR(static_cast<double>(rootTime), static_cast<double>(Archive::Now()), 600000000.0);
    const std::string child = saved.substr(1056 + 79, 79);
    EXPECT_EQ(child.substr(0, 6), std::string("a.txt\0", 6));
    EXPECT_EQ(Le32(child, 53), 158u); // root record + one child record
    EXPECT_EQ(Le32(child, 57), 5u);
    EXPECT_EQ(Le32(child, 61), 0u);
    EXPECT_EQ(saved.substr(1056 + 158), "hello");
    EXPECT_EQ(crate.archiveOffset(), 1024u);

    Archive again;
    again.SetOutput({});
    ASSERT_EQ(again.Load(host), ArchiveLoadResult::Ok);
    EXPECT_EQ(again.archiveOffset(), 1024u);
    ASSERT_NE(again.Find("\\A.TXT"), nullptr);
}

TEST_F(ArchiveStore, SavingASmallerArchiveCutsTheHostBack)
{
    WriteFile(host, Bytes(512, 'H'));
    crate.Load(host);
    Run("SET big.txt \"" + Pattern(90) + "\"");
    Run("SET two.txt x");
    Run("SAVE");
    const size_t before = ReadFile(host).size();
    Run("DELETE big.txt");
    Run("SAVE");
    const std::string saved = ReadFile(host);
    EXPECT_LT(saved.size(), before);
    EXPECT_EQ(saved.size(), 512u + 32 + 79 + 79 + 1);
    EXPECT_EQ(saved.substr(0, 512), Bytes(512, 'H'));
    EXPECT_FALSE(dir.exists("host.bin.tmp"));
    Run("CLEAR");
    Run("SAVE");
    EXPECT_EQ(ReadFile(host), Bytes(512, 'H'));
}

TEST_F(ArchiveStore, SaveKeepsTheHostsPermissions)
{
    WriteFile(host, "#!/bin/sh\n");
    QFile::setPermissions(
        QString::fromStdString(host), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    crate.Load(host);
    Run("SET x y");
    Run("SAVE");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(host)).isExecutable());
}

TEST_F(ArchiveStore, HundredBytesStayPlainLargerFilesAreCompressed)
{
    WriteFile(host, "");
    crate.Load(host);
    WriteFile(dir.file("hundred.txt"), Pattern(100));
    WriteFile(dir.file("hundred1.txt"), Pattern(101));
    WriteFile(dir.file("noise.bin"), Noise(4000, 3));
    for (const char* name : { "hundred.txt", "hundred1.txt", "noise.bin" })
        ASSERT_EQ(Run(std::string("IMPORT ") + dir.file(name) + " \"\""),
            "IMPORT " + dir.file(name) + " \"\"\n (1 file added)\n");
    const ArchiveEntry* plain = crate.Find("hundred.txt");
    const ArchiveEntry* packed = crate.Find("hundred1.txt");
    const ArchiveEntry* noise = crate.Find("noise.bin");
    ASSERT_TRUE(plain && packed && noise);
    EXPECT_EQ(plain->compressedLength, 0u);
    EXPECT_EQ(plain->data.size(), 100u);
    EXPECT_GT(packed->compressedLength, 0u);
    EXPECT_LT(packed->compressedLength, 101u);
    EXPECT_EQ(noise->compressedLength, 0u) << "incompressible data does not fit and stays plain";
    EXPECT_EQ(noise->length, 4000u);
    std::vector<uint8_t> back;
    ASSERT_TRUE(Archive::Extract(*packed, back));
    EXPECT_EQ(std::string(back.begin(), back.end()), Pattern(101));
}

TEST_F(ArchiveStore, TwentyFirstEntryGrowsTheChildArray)
{
    WriteFile(host, "");
    crate.Load(host);
    EXPECT_EQ(crate.root().length, 1580u);
    for (int i = 0; i < 20; ++i)
        Run("SET f" + std::to_string(i) + " x");
    EXPECT_EQ(crate.root().length, 1580u);
    Run("SET f20 x");
    EXPECT_EQ(crate.root().length, 3160u);
    Run("MKDIR sub");
    for (int i = 0; i < 21; ++i)
        Run("SET sub\\g" + std::to_string(i) + " x");
    EXPECT_EQ(crate.Find("sub")->length, 3160u);
    Run("SAVE");
    const std::string saved = ReadFile(host);
    EXPECT_EQ(Le32(saved, 32 + 57), 3160u);
    Archive again;
    ASSERT_EQ(again.Load(host), ArchiveLoadResult::Ok);
    EXPECT_EQ(again.root().children.size(), 22u);
    EXPECT_EQ(again.root().length, 3160u);
}

TEST_F(ArchiveStore, FilesAboveFiveMebibytesAreRefused)
{
    WriteFile(host, "");
    crate.Load(host);
    WriteFile(dir.file("limit.bin"), Bytes(Archive::MAX_FILE, 'a'));
    WriteFile(dir.file("over.bin"), Bytes(Archive::MAX_FILE + 1, 'a'));
    EXPECT_EQ(Run("IMPORT " + dir.file("limit.bin") + " \"\""),
        "IMPORT " + dir.file("limit.bin") + " \"\"\n (1 file added)\n");
    EXPECT_EQ(Run("IMPORT " + dir.file("over.bin") + " \"\""), "IMPORT " + dir.file("over.bin") + " \"\"\n (error)\n");
    EXPECT_EQ(crate.Find("over.bin"), nullptr);
}

// Import a folder, save it into the host, open the host again and export every file: the bytes
// and time stamps come back unchanged.
TEST_F(ArchiveStore, ImportSaveOpenExportReturnsEveryFile)
{
    QDir(QString::fromStdString(dir.path())).mkpath("src/deep/er");
    QDir(QString::fromStdString(dir.path())).mkpath("src/.git");
    struct File {
        std::string path;
        std::string bytes;
        qint64 ms;
    };
    const std::vector<File> files = {
        { "src/small.txt", "tiny", 1262304000000 },
        { "src/pattern.txt", Pattern(20000), 1580083200123 },
        { "src/noise.bin", Noise(3000, 4), 1600000000000 },
        { "src/empty", "", 1000000000000 },
        { "src/deep/mid.txt", Pattern(101), 1234567890000 },
        { "src/deep/er/last.bin", Noise(150, 5), 1111111111000 },
    };
    for (const File& f : files) {
        WriteFile(dir.file(f.path), f.bytes);
        SetModifiedMs(dir.file(f.path), f.ms);
    }
    WriteFile(dir.file("src/.hidden"), "skip me");
    WriteFile(dir.file("src/.git/config"), "skip me too");
    WriteFile(host, Noise(700, 6));

    crate.Load(host);
    EXPECT_EQ(Run("IMPORT src \"\""), "IMPORT src \"\"\n (6 files added)\n");
    EXPECT_EQ(code, 1);
    const std::string saved = Run("SAVE");
    EXPECT_EQ(saved.rfind("SAVE\n (stored ", 0), 0u) << saved;
    EXPECT_NE(saved.find(" bytes - 9 items)\n"), std::string::npos) << saved;
    EXPECT_EQ(code, 9);

    EXPECT_EQ(Run("OPEN \"" + host + "\""), "OPEN \"" + host + "\"\n (opened)\n");
    EXPECT_EQ(code, 5);
    QDir(QString::fromStdString(dir.path())).mkpath("out");
    for (const File& f : files) {
        const std::string inArchive = f.path;
        std::string archivePath = inArchive;
        for (char& c : archivePath)
            if (c == '/')
                c = '\\';
        EXPECT_EQ(Run("EXPORT " + archivePath + " out"), "EXPORT " + archivePath + " out\n (1 files extracted)\n");
        EXPECT_EQ(code, 2);
        const std::string name = inArchive.substr(inArchive.rfind('/') + 1);
        EXPECT_EQ(ReadFile(dir.file("out/" + name)), f.bytes) << f.path;
        EXPECT_EQ(ModifiedMs(dir.file("out/" + name)), f.ms) << f.path;
    }
    EXPECT_EQ(crate.Find("src\\.hidden"), nullptr);
    EXPECT_EQ(crate.Find("src\\.git"), nullptr);
    EXPECT_EQ(Run("EXPORT src\\deep out"), "EXPORT src\\deep out\n (error)\n") << "directories are not exported";
    EXPECT_EQ(code, 0);
}

TEST_F(ArchiveStore, SaveReportCountsRecordsAndStoredBytes)
{
    WriteFile(host, "");
    crate.Load(host);
    Run("MKDIR d");
    Run("SET d\\a 12345");
    Run("SET b xy");
    // Three entries of 79 bytes, plus the 5 and 2 stored bytes.
    EXPECT_EQ(Run("SAVE"), "SAVE\n (stored 244 bytes - 3 items)\n");
}

// The stored zlib streams are standard: another zlib implementation unpacks them.
TEST_F(ArchiveStore, CompressedEntriesDecompressWithPythonsZlib)
{
    const QString python = QStandardPaths::findExecutable("python3");
    if (python.isEmpty())
        GTEST_SKIP() << "python3 is not installed";
    WriteFile(host, "");
    crate.Load(host);
    WriteFile(dir.file("data.txt"), Pattern(5000));
    Run("IMPORT data.txt \"\"");
    ASSERT_GT(crate.Find("data.txt")->compressedLength, 0u);
    Run("SAVE");
    const ArchiveEntry* e = crate.Find("data.txt");
    const std::string script = dir.file("unpack.py");
    std::ofstream(script) << "import sys, zlib\n"
                          << "h = open(sys.argv[1], 'rb').read()\n"
                          << "start = 32 + " << e->offset << "\n"
                          << "d = zlib.decompress(h[start:start + " << e->compressedLength << "])\n"
                          << "open(sys.argv[2], 'wb').write(d)\n";
    const std::string command = python.toStdString() + " " + script + " " + host + " " + dir.file("py.txt");
    ASSERT_EQ(std::system(command.c_str()), 0);
    EXPECT_EQ(ReadFile(dir.file("py.txt")), Pattern(5000));
}

TEST_F(ArchiveStore, StartupImportsTheDevelopmentFolderIntoAnEmptyArchive)
{
    EXPECT_EQ(StartupImportCommand(), "IMPORT ..\\CRATE\\NEW_93 \"\"");
    QDir work(QString::fromStdString(dir.path()));
    work.mkpath("CRATE/NEW_93");
    work.mkpath("run");
    WriteFile(dir.file("CRATE/NEW_93/readme.txt"), "archive me");
    WriteFile(dir.file("run/program"), Noise(600, 7));
    QDir::setCurrent(QString::fromStdString(dir.file("run")));
    out.clear();
    EXPECT_EQ(OpenProgramArchive(crate, dir.file("run/program")), ArchiveLoadResult::NotFound);
    EXPECT_TRUE(out.empty()) << "start-up reports nothing";
    ASSERT_NE(crate.Find("NEW_93\\readme.txt"), nullptr);
    EXPECT_EQ(ReadFile(dir.file("run/program")), Noise(600, 7)) << "start-up does not save";
}

TEST_F(ArchiveStore, StartupWithoutTheFolderLeavesTheArchiveEmptyAndSilent)
{
    WriteFile(host, Noise(100, 8));
    out.clear();
    EXPECT_EQ(OpenProgramArchive(crate, host), ArchiveLoadResult::NotFound);
    EXPECT_TRUE(crate.isEmpty());
    EXPECT_TRUE(out.empty());
}

TEST_F(ArchiveStore, StartupKeepsAFilledArchive)
{
    WriteFile(host, "");
    crate.Load(host);
    Run("SET keep.txt yes");
    Run("SAVE");
    Archive program;
    EXPECT_EQ(OpenProgramArchive(program, host), ArchiveLoadResult::Ok);
    EXPECT_EQ(program.root().children.size(), 1u);
}
