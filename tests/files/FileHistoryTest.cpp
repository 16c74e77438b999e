#include "files/FileHistory.h"

#include <gtest/gtest.h>

TEST(FileHistory, OpeningEntry3MovesItToTheHead)
{
    FileHistory h({ "a", "b", "c", "d", "e" });
    h.PutAtHead("d");
    EXPECT_EQ(h.entries(), (QStringList { "d", "a", "b", "c", "e" }));
}

TEST(FileHistory, AnEleventhFileDropsTheOldest)
{
    FileHistory h;
    for (int i = 0; i < 11; ++i)
        h.PutAtHead(QString("/f%1.ign").arg(i));
    EXPECT_EQ(h.count(), 10);
    EXPECT_EQ(h.entry(0), "/f10.ign");
    EXPECT_EQ(h.entry(9), "/f1.ign");
}

TEST(FileHistory, NewPutsAnEmptyHeadAndTheNextFileRemovesIt)
{
    FileHistory h({ "/x/cur.ign", "/x/old.ign" });
    h.PutAtHead("");
    EXPECT_EQ(h.entries(), (QStringList { "", "/x/cur.ign", "/x/old.ign" }));
    EXPECT_EQ(h.Caption(1), "1 cur");
    EXPECT_TRUE(h.menuItemVisible(1));
    EXPECT_TRUE(h.menuItemVisible(2));
    EXPECT_FALSE(h.menuItemVisible(3));
    h.PutAtHead("");
    EXPECT_EQ(h.count(), 3) << "a second New moves the empty entry, it adds none";
    h.PutAtHead("/x/new.ign");
    EXPECT_EQ(h.entries(), (QStringList { "/x/new.ign", "/x/cur.ign", "/x/old.ign" }));
}

TEST(FileHistory, RemovingAnUnopenablePath)
{
    FileHistory h({ "a", "b", "c" });
    h.Remove("b");
    EXPECT_EQ(h.entries(), (QStringList { "a", "c" }));
    h.Remove("zzz");
    EXPECT_EQ(h.count(), 2);
    h.Remove("c");
    EXPECT_FALSE(h.separatorVisible());
}

TEST(FileHistory, Captions)
{
    EXPECT_EQ(FileHistory::Caption(1, "C:\\dir\\my.bike.ign"), "1 my.bike");
    EXPECT_EQ(FileHistory::Caption(2, "/home/u/my.bike.ign"), "2 my.bike");
    EXPECT_EQ(FileHistory::Caption(3, "C:\\a/b\\c.ign"), "3 c") << "the last backslash wins over slashes";
    EXPECT_EQ(FileHistory::Caption(4, "noext"), "4 noext");
    EXPECT_EQ(FileHistory::Caption(5, QString(300, 'x')).size(), FileHistory::MAX_CAPTION);
}
