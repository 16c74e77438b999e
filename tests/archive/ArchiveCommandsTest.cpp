#include "ArchiveFixture.h"
#include "FileSizeLimit.h"

#include <QDir>

namespace {

struct CommandCase {
    const char* line;
    const char* report;
    int code;
};

} // namespace

class ArchiveCommands : public ArchiveFixture {
protected:
    void SetUp() override
    {
        WriteFile(host, "HOST");
        ASSERT_EQ(crate.Load(host), ArchiveLoadResult::NotFound);
        WriteFile(dir.file("disk.txt"), "from disk");
        QDir(QString::fromStdString(dir.path())).mkpath("folder/sub");
        WriteFile(dir.file("folder/one.txt"), "1");
        WriteFile(dir.file("folder/sub/two.txt"), "2");
    }

    void RunCases(const std::vector<CommandCase>& cases)
    {
        for (const CommandCase& c : cases) {
            EXPECT_EQ(Run(c.line), std::string(c.line) + "\n" + c.report) << c.line;
            EXPECT_EQ(code, c.code) << c.line;
        }
    }
};

TEST_F(ArchiveCommands, EchoReportAndReturnCodeOfEveryCommand)
{
    RunCases({
        { "MKDIR docs", " (directory created)\n", 1 },
        { "MKDIR docs", " (directory created)\n", 1 },
        { "SET docs\\note.txt \"two words\"", " (file rewritten)\n", 1 },
        { "SET docs\\note.txt again", " (file rewritten)\n", 1 },
        { "MKDIR docs\\note.txt", " (error)\n", 1 },
        { "SET docs", " (error)\n", 0 },
        { "SET missing\\x.txt y", " (error)\n", 0 },
        { "IMPORT disk.txt docs", " (1 file added)\n", 1 },
        { "IMPORT folder \"\"", " (2 files added)\n", 1 },
        { "IMPORT nowhere \"\"", " (error)\n", 1 },
        { "IMPORT disk.txt nodir", " (error)\n", 1 },
        { "EXPORT docs\\note.txt \"\"", " (1 files extracted)\n", 2 },
        { "EXPORT docs\\absent.txt \"\"", " (error)\n", 0 },
        { "RENAME docs\\note.txt docs\\DISK.TXT", " (error)\n", 1 },
        { "RENAME docs\\note.txt docs\\memo.txt", " (1 file renamed)\n", 1 },
        { "DELETE docs\\disk.txt", " (1 files deleted)\n", 1 },
        { "DELETE docs\\disk.txt", " (error)\n", 1 },
        { "SAVE", " (stored 481 bytes - 6 items)\n", 9 },
        { "CLEAR", " (cleared)\n", 5 },
        { "OPEN host.bin", " (opened)\n", 5 },
        { "OPEN nothing.bin", " (error)\n", 5 },
        { "MKDIR later", " (error)\n", 0 },
        { "FORMAT c:", " (unknown command)\n", 0 },
    });
    EXPECT_EQ(ReadFile(dir.file("note.txt")), "again");
}

TEST_F(ArchiveCommands, KeywordsIgnoreCaseAndSurroundingBlanks)
{
    RunCases({
        { "import disk.txt \"\"", " (1 file added)\n", 1 },
        { "Import disk.txt \"\"", " (1 file added)\n", 1 },
        { "  iMpOrT   disk.txt   \"\"   ", " (1 file added)\n", 1 },
        { "IMPORTdisk.txt", " (unknown command)\n", 0 },
        { "mkdir \"a b\"", " (directory created)\n", 1 },
    });
    EXPECT_NE(crate.Find("A B"), nullptr);
}

TEST_F(ArchiveCommands, QuotedArgumentsKeepBlanksAndEmptyMeansRoot)
{
    Run("SET \"dir with blanks\\file\" x");
    EXPECT_EQ(out, "SET \"dir with blanks\\file\" x\n (error)\n");
    Run("MKDIR \"dir with blanks\"");
    Run("SET \"\\dir with blanks\\file name\" \"text with  two blanks\"");
    const ArchiveEntry* e = crate.Find("DIR WITH BLANKS\\FILE NAME");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(std::string(e->data.begin(), e->data.end()), "text with  two blanks");
}

TEST_F(ArchiveCommands, SetStoresLongTextUncompressed)
{
    const std::string text = Pattern(500);
    Run("SET long.txt " + text);
    const ArchiveEntry* e = crate.Find("long.txt");
    ASSERT_NE(e, nullptr);
    EXPECT_EQ(e->compressedLength, 0u);
    EXPECT_EQ(e->length, 500u);
}

TEST_F(ArchiveCommands, ImportReplacesAFileOfTheSameNameButNotADirectory)
{
    Run("IMPORT disk.txt \"\"");
    WriteFile(dir.file("disk.txt"), "changed");
    Run("IMPORT disk.txt \"\"");
    EXPECT_EQ(crate.root().children.size(), 1u);
    EXPECT_EQ(std::string(crate.Find("disk.txt")->data.begin(), crate.Find("disk.txt")->data.end()), "changed");
    Run("DELETE disk.txt");
    Run("MKDIR DISK.TXT");
    EXPECT_EQ(Run("IMPORT disk.txt \"\""), "IMPORT disk.txt \"\"\n (error)\n");
}

TEST_F(ArchiveCommands, RenameMovesBetweenDirectoriesUnderTheNewName)
{
    Run("MKDIR a\\inner");
    Run("MKDIR b");
    Run("SET a\\x.txt content");
    Run("SET b\\taken.txt other");
    EXPECT_EQ(Run("RENAME a\\x.txt b\\taken.txt"), "RENAME a\\x.txt b\\taken.txt\n (error)\n");
    EXPECT_EQ(Run("RENAME a\\x.txt b\\y.txt"), "RENAME a\\x.txt b\\y.txt\n (1 file renamed)\n");
    EXPECT_EQ(crate.Find("a\\x.txt"), nullptr);
    ASSERT_NE(crate.Find("b\\y.txt"), nullptr);
    EXPECT_EQ(crate.Find("b\\y.txt")->name, "y.txt");
    // A directory cannot move below itself; moving it next to a sibling keeps its contents.
    EXPECT_EQ(Run("RENAME a a\\inner\\a"), "RENAME a a\\inner\\a\n (error)\n");
    EXPECT_EQ(Run("RENAME b a\\inner\\b"), "RENAME b a\\inner\\b\n (1 file renamed)\n");
    EXPECT_NE(crate.Find("a\\inner\\b\\y.txt"), nullptr);
    EXPECT_EQ(Run("RENAME a\\inner\\b " + std::string(53, 'n')),
        "RENAME a\\inner\\b " + std::string(53, 'n') + "\n (error)\n");
    EXPECT_EQ(
        Run("RENAME a \\" + std::string(52, 'n')), "RENAME a \\" + std::string(52, 'n') + "\n (1 file renamed)\n");
}

TEST_F(ArchiveCommands, RenameWithinADirectoryMayChangeOnlyTheCase)
{
    Run("SET readme x");
    Run("SET other y");
    EXPECT_EQ(Run("RENAME readme README"), "RENAME readme README\n (1 file renamed)\n");
    EXPECT_EQ(crate.root().children[0].name, "README");
    EXPECT_EQ(Run("RENAME README Other"), "RENAME README Other\n (error)\n");
}

TEST_F(ArchiveCommands, DeleteRemovesTheWholeSubtree)
{
    Run("IMPORT folder \"\"");
    EXPECT_EQ(Run("DELETE \\FOLDER"), "DELETE \\FOLDER\n (1 files deleted)\n");
    EXPECT_TRUE(crate.isEmpty());
    EXPECT_EQ(Run("DELETE \"\""), "DELETE \"\"\n (error)\n");
}

TEST_F(ArchiveCommands, ExportRefusesNamesThatLeaveTheFolder)
{
    // Names arrive from untrusted archives; ".." or separators must not escape the target folder.
    Run("SET safe x");
    ArchiveEntry& e = const_cast<ArchiveEntry&>(*crate.Find("safe"));
    e.name = "..";
    EXPECT_EQ(Run("EXPORT .. out"), "EXPORT .. out\n (error)\n");
    e.name = "a/b";
    EXPECT_EQ(Run("EXPORT a/b \"\""), "EXPORT a/b \"\"\n (error)\n");
}

TEST_F(ArchiveCommands, AnExportThatDoesNotFitFailsAndKeepsThePreviousFile)
{
    Run("SET big.txt " + Bytes(5000, 'x'));
    QDir(QString::fromStdString(dir.path())).mkpath("out");
    WriteFile(dir.file("out/big.txt"), "previous");
    {
        FileSizeLimit full(1000);
        EXPECT_EQ(Run("EXPORT big.txt out"), "EXPORT big.txt out\n (error)\n");
    }
    EXPECT_EQ(ReadFile(dir.file("out/big.txt")), "previous");
    EXPECT_EQ(QDir(QString::fromStdString(dir.file("out"))).entryList(QDir::Files), QStringList { "big.txt" })
        << "no temporary file is left";
}

