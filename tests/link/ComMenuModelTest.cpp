#include "link/ComMenuModel.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

namespace {

std::vector<bool> ports(std::initializer_list<int> present)
{
    std::vector<bool> v(256, false);
    for (int p : present)
        v[static_cast<size_t>(p)] = true;
    return v;
}

int visibleCount(const std::vector<ComMenuItem>& items)
{
    int n = 0;
    for (const ComMenuItem& i : items)
        n += i.visible;
    return n;
}

} // namespace

TEST(ComMenu, NoPortsAutomatic)
{
    const auto items = ComMenuModel::Build(0, 0, ports({}));
    EXPECT_EQ(visibleCount(items), 3);
    EXPECT_FALSE(items[0].checked);
    EXPECT_TRUE(items[1].checked);
    EXPECT_TRUE(items[2].separator);
    EXPECT_STREQ(LangText(items[0].caption.c_str(), 2), "COM &odpojen");
}

TEST(ComMenu, ForcedPortThatIsNotPresent)
{
    const auto items = ComMenuModel::Build(12, 0, ports({3}));
    ASSERT_EQ(visibleCount(items), 5);
    EXPECT_EQ(items[3].caption, "COM&3");
    EXPECT_TRUE(items[3].enabled);
    EXPECT_FALSE(items[3].radio);
    EXPECT_EQ(items[4].caption, "COM&12");
    EXPECT_FALSE(items[4].enabled);
    EXPECT_TRUE(items[4].checked);
}

TEST(ComMenu, AutomaticChecksTheConnectedPort)
{
    const auto items = ComMenuModel::Build(0, 4, ports({1, 4}));
    EXPECT_TRUE(items[3].radio);
    EXPECT_FALSE(items[3].checked);
    EXPECT_TRUE(items[4].checked);
}

TEST(ComMenu, LastItemShowsASelectedPortBeyondTheList)
{
    std::vector<bool> present(256, false);
    for (int p = 1; p <= 40; ++p)
        present[static_cast<size_t>(p)] = true;
    const auto items = ComMenuModel::Build(0, 35, present);
    EXPECT_EQ(visibleCount(items), 30);
    EXPECT_EQ(items[29].caption, "COM&35");
    EXPECT_TRUE(items[29].checked);
}

TEST(ComMenu, Clicks)
{
    const auto items = ComMenuModel::Build(0, 0, ports({7, 123}));
    int forced = 5;
    EXPECT_TRUE(ComMenuModel::Click(items, 0, forced));
    EXPECT_EQ(forced, -1);
    EXPECT_TRUE(ComMenuModel::Click(items, 1, forced));
    EXPECT_EQ(forced, 0);
    EXPECT_FALSE(ComMenuModel::Click(items, 2, forced));
    EXPECT_TRUE(ComMenuModel::Click(items, 4, forced));
    EXPECT_EQ(forced, 123);
}

TEST(ComMenu, LabelComTexts)
{
    LanguageIndex = LANG_GERMAN;
    EXPECT_EQ(ComMenuModel::LabelComText(false, 4, 0, {}), "COM=4 (DISCONNECTED)");
    EXPECT_EQ(ComMenuModel::LabelComText(true, -1, -1, {1}), "COM=OFF");
    EXPECT_EQ(ComMenuModel::LabelComText(true, -1, 0, {0, 0, 0}), "COM=kain");
    EXPECT_EQ(ComMenuModel::LabelComText(true, -1, 0, {3, 0, 7}), "COM=(auto 3,7)");
    EXPECT_EQ(ComMenuModel::LabelComText(true, -1, 5, {5, 0, 0}), "COM=5");
    LanguageIndex = LANG_ENGLISH;
}

// Ports are named as the system names them; one that could not be opened is greyed and says why.
TEST(ComMenu, PortsShowTheirDeviceAndWhyTheyCannotBeUsed)
{
    std::vector<ComPortNote> notes(256);
    notes[5] = { "COM5 – /dev/ttyS4", {} };
    notes[204] = { "COM204 – /dev/ttyUSB0 – Tom & Co adapter (FTDI, A50285BI)", "###denied##verweigert##odepřeno" };
    const auto items = ComMenuModel::Build(0, 0, ports({ 5, 204 }), notes);
    EXPECT_EQ(items[3].caption, "COM&5 – /dev/ttyS4");
    EXPECT_TRUE(items[3].enabled);
    EXPECT_EQ(items[3].toolTip, "");
    EXPECT_EQ(items[4].caption, "COM&204 – /dev/ttyUSB0 – Tom && Co adapter (FTDI, A50285BI)");
    EXPECT_FALSE(items[4].enabled);
    EXPECT_STREQ(LangText(items[4].toolTip.c_str(), 1), "verweigert");
    int forced = 0;
    ASSERT_TRUE(ComMenuModel::Click(items, 4, forced));
    EXPECT_EQ(forced, 204) << "the number is read from the described caption";
}
