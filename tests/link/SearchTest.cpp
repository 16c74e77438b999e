#include "RecordingLabels.h"
#include "base/TickClock.h"
#include "lang/LangString.h"
#include "link/TransferEngine.h"
#include "link/UnitTypeTable.h"

#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <iterator>
#include <set>
#include <thread>

namespace {

TEST(StatusSlotsTest, PriorityExpiryAndHiding)
{
    TickMs = 1000;
    RecordingLabels labels;
    StatusSlots slots(&labels);
    slots.ShowStatus(1, "###A##B##C", -1, 0, 0xFFFFFF, 100);
    EXPECT_TRUE(labels.labels[1].shown);
    EXPECT_EQ(labels.labels[1].text, LangText(std::string("###A##B##C")));
    slots.ShowStatus(1, "###low##low##low", 6000, 0, 0x0000FF, 10);
    EXPECT_EQ(slots.Text(1), "###A##B##C") << "priority 10 does not replace 100 while it is shown";
    slots.ShowStatus(1, "###neg##neg##neg", 0, COLOUR_UNCHANGED, COLOUR_UNCHANGED, -5);
    EXPECT_EQ(slots.Text(1), "###neg##neg##neg") << "a negative priority always replaces";
    EXPECT_EQ(labels.labels[1].back, 0xFFFFFFu) << "0x1FFFFFFF keeps the colour";
    slots.ShowStatus(1, nullptr, 0, 0, 0, 10);
    EXPECT_FALSE(labels.labels[1].shown);
    slots.ShowStatus(1, "###hi##hi##hi", 100, 0, 0, 100);
    labels.HideLabel(1);
    slots.ShowStatus(1, "###later##later##later", 2000, 0, 0, 10);
    EXPECT_EQ(slots.Text(1), "###later##later##later") << "a hidden label has no priority";
    EXPECT_EQ(slots.ExpiryTick(1), 1000 / 50 + 40);
    TickMs = 1000 + 1950;
    slots.ExpireStatus();
    EXPECT_TRUE(labels.labels[1].shown);
    TickMs = 1000 + 2000;
    slots.ExpireStatus();
    EXPECT_FALSE(labels.labels[1].shown);
    EXPECT_EQ(slots.ExpiryTick(1), 0);
    const int showsBefore = labels.labels[3].shows;
    slots.ShowStatus(3, "###x##x##x", 100, 0, 0, 0);
    slots.ShowStatus(5, "###x##x##x", 100, 0, 0, 0);
    EXPECT_EQ(labels.labels[3].shows, showsBefore) << "slot 3 has no control";
}

// The search order every unit of the family has been found with: protocol id, line rate and
// answer window of each row, written out here so that a moved row or a changed window fails at
// once. The family rows (0, 3, 5, 7, 9, 12) are placeholders until the program fills them with
// its own family's row, IGN100 at 57600 baud and 175 ms.
TEST(SearchTableTest, EveryRowOfTheSearchOrder)
{
    constexpr int32_t FAMILY_ROW = -1;
    const SearchRow order[] = {
        { FAMILY_ROW, 57600, 175 },
        { 1, 57600, 75 },
        { 2, 57600, 125 },
        { FAMILY_ROW, 57600, 175 },
        { 3050, 57600, 125 },
        { FAMILY_ROW, 57600, 175 },
        { 3100, 57600, 175 },
        { FAMILY_ROW, 57600, 175 },
        { 3150, 57600, 175 },
        { FAMILY_ROW, 57600, 175 },
        { 1, 115200, 75 },
        { 2, 115200, 325 },
        { FAMILY_ROW, 57600, 175 },
        { 3300, 115200, 175 },
    };
    const auto expectRows = [&](const SearchTable& t, const SearchRow& family) {
        for (int i = 0; i < int(std::size(order)); ++i) {
            const SearchRow& want = order[i].protocol == FAMILY_ROW ? family : order[i];
            EXPECT_EQ(t.Row(i).protocol, want.protocol) << "row " << i;
            EXPECT_EQ(t.Row(i).baud, want.baud) << "row " << i;
            EXPECT_EQ(t.Row(i).timeoutMs, want.timeoutMs) << "row " << i;
            EXPECT_FALSE(t.IsEnd(i)) << "row " << i;
        }
        EXPECT_TRUE(t.IsEnd(int(std::size(order)))) << "the table ends after the IGN300 row";
        EXPECT_EQ(t.Row(int(std::size(order))).protocol, 0);
    };
    SearchTable t;
    expectRows(t, { SearchTable::FAMILY, 57600, 175 });
    t.FillFamilyRows();
    expectRows(t, { 3100, 57600, 175 });
    SearchTable other;
    other.FillFamilyRows({ 3050, 57600, 125 });
    expectRows(other, { 3050, 57600, 125 });
}

TEST(UnitTypeTableTest, CodesAreUniqueAndComplete)
{
    std::set<int> codes;
    int rows = 0;
    for (const UnitType* t = UnitTypeTable(); t->code; ++t, ++rows) {
        codes.insert(t->code);
        EXPECT_GT(std::strlen(t->name), 0u);
    }
    EXPECT_EQ(rows, UNIT_TYPE_COUNT);
    EXPECT_EQ(codes.size(), size_t(UNIT_TYPE_COUNT));
    EXPECT_EQ(codes.count(27), 0u);
    EXPECT_EQ(codes.count(62), 0u);
    EXPECT_EQ(*codes.begin(), 1);
    EXPECT_EQ(*codes.rbegin(), 1001);
    EXPECT_STREQ(UnitTypeName(93), "VORDAX4");
    EXPECT_EQ(UnitTypeName(200), nullptr);
}

struct SearchFixture : ::testing::Test {
    TransferEngine link;
    UnitSearch& search = link.Search();
    PortTable& ports = link.Ports();
    RecordingLabels labels;
    StatusSlots status { &labels };

    void SetUp() override
    {
        TickMs = 300000;
        search.searchTable.FillFamilyRows();
        search.SetStatusSlots(&status);
        PortMap map;
        map.onlyMapped = true;
        map.Add("3=/dev/null");
        map.Add("4=/dev/null");
        ports.SetPortMap(map);
    }
};

TEST_F(SearchFixture, NothingBeforeEnumerationAndOfflineClosesEverySlot)
{
    search.searchSlots[0].port = 4;
    search.searchSlots[0].state = SLOT_SENT_ONCE;
    search.forcedPort = -1;
    link.LinkTick();
    EXPECT_EQ(ports.portsEnumerated, 1);
    EXPECT_EQ(search.searchSlots[0].port, 0);
    EXPECT_EQ(search.searchSlots[0].state, SLOT_IDLE);
    EXPECT_EQ(ports.Port(4).requestFlags, 0) << "nothing was open, so nothing to close";
    for (int i = 0; i < 5; ++i) {
        TickMs += 100;
        link.LinkTick();
    }
    EXPECT_EQ(ports.Port(3).requestFlags, 0);
    EXPECT_EQ(ports.Port(3).ioThread, nullptr);
}

TEST_F(SearchFixture, AutomaticSearchSpreadsThePresentPortsOverTheSlots)
{
    search.nextScanPort = 4;
    link.LinkTick();
    EXPECT_EQ(search.searchSlots[0].port, 4);
    EXPECT_EQ(search.searchSlots[1].port, 3) << "after the last present port the scan wraps round";
    EXPECT_EQ(search.searchSlots[2].port, 0) << "no free present port is left";
    EXPECT_EQ(search.searchSlots[0].state, SLOT_OPENING);
    EXPECT_EQ(ports.Port(4).baud.load(), 57600u);
    EXPECT_EQ(search.nextScanPort, 4);
}

TEST_F(SearchFixture, ForcedPortClosesOtherPortsAndOnlySlotZeroSearches)
{
    link.LinkTick();
    ASSERT_EQ(search.searchSlots[0].port, 3);
    ASSERT_EQ(search.searchSlots[1].port, 4);
    search.forcedPort = 5;
    TickMs += 100;
    link.LinkTick();
    for (int i : { 0, 1 }) {
        EXPECT_EQ(search.searchSlots[size_t(i)].port, 0) << i;
        EXPECT_EQ(search.searchSlots[size_t(i)].state, SLOT_PAUSING) << i;
    }
    for (int pass = 0; pass < 4; ++pass) {
        TickMs += 100;
        link.LinkTick();
    }
    EXPECT_EQ(search.searchSlots[0].port, 5);
    EXPECT_EQ(search.searchSlots[1].port, 0);
    EXPECT_EQ(search.searchSlots[2].port, 0);
}

// A port is given 600 ms to open. The absent device here reports its failed open at once, which
// ends the opening earlier; an open that hangs would need a line that can hold its open back.
TEST_F(SearchFixture, OpeningEndsWithinTheOpeningTime)
{
    search.forcedPort = 9; // not present: its open fails
    link.LinkTick();
    ASSERT_EQ(search.searchSlots[0].state, SLOT_OPENING);
    const int32_t requestedAt = TickMs.load();
    int waited = 0;
    while (search.searchSlots[0].state == SLOT_OPENING && waited < 2000) {
        TickMs = requestedAt + ++waited;
        link.LinkTick();
    }
    EXPECT_LE(waited, 601) << "a port is given 600 ms to open";
    EXPECT_EQ(search.searchSlots[0].state, SLOT_PAUSING);
    EXPECT_EQ(search.searchSlots[0].port, 0);
}

// A port that reports its failed open is given up at once, not after the opening time.
TEST_F(SearchFixture, AFailedOpeningEndsAtOnce)
{
    search.forcedPort = 9;
    link.LinkTick();
    ASSERT_EQ(search.searchSlots[0].state, SLOT_OPENING);
    QElapsedTimer clock;
    clock.start();
    while (search.searchSlots[0].state == SLOT_OPENING && clock.elapsed() < 10000) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        link.LinkTick();
    }
    EXPECT_NE(search.searchSlots[0].state, SLOT_OPENING) << "the tick clock never moved";
    EXPECT_EQ(search.searchSlots[0].port, 0);
}

TEST_F(SearchFixture, SettingsValuesAreSanitised)
{
    EXPECT_EQ(UnitSearch::SanitiseForcedPort(300), -1);
    EXPECT_EQ(UnitSearch::SanitiseForcedPort(-2), -1);
    EXPECT_EQ(UnitSearch::SanitiseForcedPort(12), 12);
    EXPECT_EQ(UnitSearch::SanitiseNextScanPort(0), 1);
    EXPECT_EQ(UnitSearch::SanitiseNextScanPort(256), 1);
    EXPECT_EQ(UnitSearch::SanitiseNextScanPort(200), 200);
}

TEST_F(SearchFixture, CaptionAndBootloaderHandOver)
{
    LanguageIndex = 0;
    EXPECT_EQ(search.WindowCaption(""), "  VORDAX4 (v93)       ");
    EXPECT_EQ(search.WindowCaption("bike.ign"), "  VORDAX4 (v93)       bike.ign");
    EXPECT_EQ(link.BootloaderHandOver(4, BOOT_RELEASE_PORT), TransferEngine::HANDOVER_NONE) << "no connected port";
    search.connectedPort = 4;
    EXPECT_EQ(link.BootloaderHandOver(4, BOOT_RESET_UNIT), TransferEngine::HANDOVER_RESET_REQUESTED);
    EXPECT_EQ(link.BootloaderHandOver(4, BOOT_RELEASE_PORT), TransferEngine::HANDOVER_RELEASED);
    EXPECT_EQ(search.searchEnabled, 0);
    EXPECT_EQ(search.connectedPort.load(), 0);
    EXPECT_EQ(search.WindowCaption("bike.ign"), "  VORDAX4 (v93)       bike.ign   (Disconnected by bootloader)");
    EXPECT_EQ(link.BootloaderHandOver(3, BOOT_RETURN_PORT), TransferEngine::HANDOVER_NONE) << "another port";
    EXPECT_EQ(link.BootloaderHandOver(4, BOOT_RETURN_PORT), TransferEngine::HANDOVER_RETURNED);
    EXPECT_EQ(search.searchEnabled, 1);
    EXPECT_EQ(search.rememberedPort, -1);
}

} // namespace

namespace {

TEST_F(SearchFixture, KnownUnitFromTheSettingsIsKeptOnlyWhenTheSearchCanUseIt)
{
    struct Case {
        KnownUnit given;
        bool kept;
    };
    const Case cases[] = {
        { { 4, 13, 115200 }, true },
        { { 4, 0, 9600 }, true },
        { { 0, 13, 115200 }, false },
        { { 256, 13, 115200 }, false },
        { { 4, -1, 115200 }, false },
        { { 4, SearchTable::ROWS, 115200 }, false },
        { { 4, 13, 0 }, false },
        { { 4, 13, 4000001 }, false },
    };
    for (const Case& c : cases) {
        search.SetKnownUnit(c.given);
        const KnownUnit& k = search.knownUnit;
        EXPECT_EQ(k.port, c.kept ? c.given.port : 0) << c.given.port << " " << c.given.row << " " << c.given.baud;
        EXPECT_EQ(k.Valid(), c.kept) << c.given.port << " " << c.given.row << " " << c.given.baud;
    }
}

TEST_F(SearchFixture, FirstSlotTriesTheKnownRowOnTheKnownPortAtItsRate)
{
    search.nextScanPort = 3;
    search.SetKnownUnit({ 4, 13, 115200 });
    link.LinkTick();
    const SearchSlot& first = search.searchSlots[0];
    EXPECT_EQ(first.port, 4);
    EXPECT_EQ(first.row, 13);
    EXPECT_TRUE(first.knownTry);
    EXPECT_EQ(ports.Port(4).baud.load(), 115200u);
    EXPECT_EQ(search.searchSlots[1].port, 3) << "the other slots search the other ports in order";
    EXPECT_EQ(search.searchSlots[1].row, 0);
    EXPECT_FALSE(search.searchSlots[1].knownTry);
}

TEST_F(SearchFixture, KnownUnitOnAnotherPortThanTheFixedOneIsNotTried)
{
    search.forcedPort = 3;
    search.SetKnownUnit({ 4, 13, 115200 });
    link.LinkTick();
    EXPECT_EQ(search.searchSlots[0].port, 3);
    EXPECT_EQ(search.searchSlots[0].row, 0);
    EXPECT_FALSE(search.searchSlots[0].knownTry);
}

} // namespace
