#include "model/UndoRing.h"

#include <gtest/gtest.h>

namespace {

struct UndoFixture : testing::Test {
    ParamImage img;
    ChangedMap changed{};
    int settingsSaved = 0;
    int comparisons = 0;
    UndoRing ring{{[this] { ++settingsSaved; }, {}, [this] { ++comparisons; }}};

    void edit(int value, int page = 0)
    {
        img.Adrb(RETARD) = static_cast<uint8_t>(value);
        ring.UndoSnapshot(img, page, changed);
    }
};

} // namespace

TEST_F(UndoFixture, NothingToUndoOrRedoAfterStartUp)
{
    changed.fill(1);
    ring.UndoInit(img, 0, changed);
    EXPECT_FALSE(ring.CanUndo());
    EXPECT_FALSE(ring.CanRedo());
    EXPECT_EQ(changed, ChangedMap{}) << "start-up clears the changed map";
    EXPECT_EQ(settingsSaved, 1) << "storing a slot saves the settings";
}

TEST_F(UndoFixture, UndoThenRedoRestoresAndMarksChangedBytes)
{
    ring.UndoInit(img, 0, changed);
    edit(7);
    EXPECT_TRUE(ring.CanUndo());
    EXPECT_EQ(changed[RETARD], 1);
    EXPECT_EQ(comparisons, 1);

    changed.fill(0);
    UndoRing::Restored r;
    ASSERT_TRUE(ring.Undo(img, changed, r));
    EXPECT_TRUE(r.changed);
    EXPECT_EQ(img.Adrb(RETARD), 0);
    EXPECT_EQ(changed[RETARD], 1);
    EXPECT_FALSE(ring.CanUndo());
    EXPECT_TRUE(ring.CanRedo());

    ASSERT_TRUE(ring.Redo(img, changed, r));
    EXPECT_EQ(img.Adrb(RETARD), 7);
    EXPECT_FALSE(ring.CanRedo());
    EXPECT_FALSE(ring.Redo(img, changed, r));
}

TEST_F(UndoFixture, ApplyWithoutChangeKeepsRedo)
{
    ring.UndoInit(img, 0, changed);
    edit(7);
    UndoRing::Restored r;
    ring.Undo(img, changed, r);
    EXPECT_FALSE(ring.UndoSnapshot(img, 0, changed));
    EXPECT_TRUE(ring.CanRedo());
    edit(9);
    EXPECT_FALSE(ring.CanRedo()) << "a new snapshot discards the redo steps";
}

TEST_F(UndoFixture, RingKeeps199UndoSteps)
{
    ring.UndoInit(img, 0, changed);
    for (int i = 1; i <= 250; ++i)
        edit(i);
    UndoRing::Restored r;
    int steps = 0;
    while (ring.Undo(img, changed, r))
        ++steps;
    EXPECT_EQ(steps, 199);
    EXPECT_EQ(img.Adrb(RETARD), 51);
}

TEST_F(UndoFixture, PageToShowAfterUndo)
{
    ring.UndoInit(img, 0, changed);
    edit(1, 1);
    edit(2, 3);
    UndoRing::Restored r;
    ASSERT_TRUE(ring.Undo(img, changed, r));
    EXPECT_EQ(r.slotPage, 1) << "the snapshot now current was taken on the Bike page";
    EXPECT_EQ(r.showPage, 3) << "a different active page switches to the page of the undone edit";
}
