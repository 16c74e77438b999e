#include "IgnTestSupport.h"
#include "TempDir.h"

#include "files/ParamFileCommands.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

class ParamFileCommandsTest : public testing::Test {
protected:
    ScopedWorkDir dir;
    ParamImage image = StartupImage();
    ParamFileState state;
    std::vector<std::string> messages;
    ParamFileCommands commands { image, state, [this](const std::string& m) { messages.push_back(m); } };

    QString path(const std::string& name) { return QString::fromStdString(dir.file(name)); }
};

} // namespace

TEST_F(ParamFileCommandsTest, SaveThenOpenRegistersTheFile)
{
    state.history = FileHistory({ "", "/x/a.ign" });
    image.Adrb(LIMITER) = 150;
    ASSERT_TRUE(commands.Save(path("one.ign"), {}));
    EXPECT_EQ(state.currentFile, path("one.ign"));
    EXPECT_EQ(state.history.entries(), (QStringList { path("one.ign"), "/x/a.ign" }));
    EXPECT_TRUE(state.unchanged);

    commands.New(PAGE_ALL);
    EXPECT_EQ(image.Adrb(LIMITER), 110);
    EXPECT_EQ(state.currentFile, "");
    EXPECT_EQ(state.history.Caption(1), "1 one");

    const IgnOpenResult r = commands.OpenParameterFile(PAGE_ALL, path("one.ign"));
    EXPECT_TRUE(r.accepted());
    EXPECT_EQ(image.Adrb(LIMITER), 150);
    EXPECT_EQ(state.newInstal, 0);
    EXPECT_EQ(state.fileFolder, path("one.ign"));
    EXPECT_EQ(state.history.entries(), (QStringList { path("one.ign"), "/x/a.ign" }));
    EXPECT_EQ(state.savedImage, image);
    EXPECT_TRUE(messages.empty());
}

TEST_F(ParamFileCommandsTest, AnUnopenableFileLeavesTheHistoryAndTheImage)
{
    state.history = FileHistory({ "cur", path("gone.ign"), "other" });
    const ParamImage before = image;
    EXPECT_FALSE(commands.OpenParameterFile(PAGE_ALL, path("gone.ign")).accepted());
    EXPECT_EQ(messages, std::vector<std::string> { "Open file error!" });
    EXPECT_EQ(state.history.entries(), (QStringList { "cur", "other" }));
    EXPECT_EQ(image, before);
    EXPECT_EQ(state.newInstal, 1);
}

TEST_F(ParamFileCommandsTest, AForeignVersionChangesNeitherNameNorHistory)
{
    std::ofstream(dir.file("f.ign"), std::ios::binary) << "MOTRAVEX_KEY 12 LIMITER 50 ";
    state.currentFile = "cur.ign";
    state.history = FileHistory({ "cur.ign" });
    EXPECT_FALSE(commands.OpenParameterFile(PAGE_ALL, path("f.ign")).accepted());
    EXPECT_EQ(messages, std::vector<std::string> { "Unmatched version of *.ign file!" });
    EXPECT_EQ(state.currentFile, "cur.ign");
    EXPECT_EQ(state.history.count(), 1);
    EXPECT_EQ(image.Adrb(LIMITER), 110);
}

TEST_F(ParamFileCommandsTest, ASaveThatCannotBeWrittenChangesNothing)
{
    state.currentFile = "cur.ign";
    EXPECT_FALSE(commands.Save(path("no/such/folder.ign"), {}));
    EXPECT_EQ(messages, std::vector<std::string> { "Open file error!" });
    EXPECT_EQ(state.currentFile, "cur.ign");
    EXPECT_EQ(state.history.count(), 0);
}
