#include "WindowWithUnit.h"

#include "app/WindowLanguage.h"
#include "app/WindowPages.h"
#include "app/WindowUndo.h"

// Clicks on a spin button's arrows gather for five ticks before they are applied. Whatever
// refreshes the pages in that time must not put the old value back into the control and so lose
// the edit: it is taken first.
namespace {

struct PendingEdit : WindowWithUnit {
    UpDownSpinBox* limiter = nullptr;
    int before = 0;

    void OpenOnTheLimiterPage()
    {
        Open();
        limiter = form->findChild<UpDownSpinBox*>("UpDownLimiter");
        ASSERT_NE(limiter, nullptr);
        form->Pages().Select(form->Pages().PageOf(limiter));
        before = form->Image().Adrb(LIMITER);
    }
    // Three clicks on the up arrow, 100 rpm each, still gathering.
    void ClickUpThrice()
    {
        static_cast<QAbstractSpinBox*>(limiter)->stepBy(3);
        ASSERT_EQ(form->Image().Adrb(LIMITER), before) << "applied only after the pause";
    }
    // Beyond the pause: whatever was pending has been applied.
    void PassThePause()
    {
        for (int i = 0; i < 6; ++i)
            form->Timer1Timer();
    }
    // The step whose end refreshes the pages after the unit's reference block was read. Its job
    // may already have ended on a busy machine; the window learns that only at its next tick, so
    // an edit made now is still gathering when the pages are refreshed.
    bool InLastReferenceRead()
    {
        const int32_t step = manager().linkStep;
        return step == ConnectionManager::StepReferenceAgain
            || (step == ConnectionManager::StepReference
                && manager().connectReads == ConnectionManager::ConnectReads::ReferenceOnce);
    }
};

struct PageEvent {
    const char* what;
    std::function<void(MainWindow&)> happen;
};

} // namespace

TEST_F(PendingEdit, ARefreshOfThePagesTakesTheEditFirst)
{
    const PageEvent events[] = {
        { "a switch of language", [](MainWindow& w) { w.Language().SetLanguage(LANG_GERMAN); } },
        { "a change of page", [](MainWindow& w) { w.Pages().Select(PAGE_SERVO); } },
    };
    for (const PageEvent& e : events) {
        SCOPED_TRACE(e.what);
        OpenOnTheLimiterPage();
        ClickUpThrice();
        e.happen(*form);
        PassThePause();
        EXPECT_EQ(form->Image().Adrb(LIMITER), before + 3);
        EXPECT_EQ(limiter->value(), (before + 3) * 100);
        form.reset();
        LanguageIndex = LANG_ENGLISH;
    }
}

TEST_F(PendingEdit, UndoUndoesTheEditThatIsStillGathering)
{
    OpenOnTheLimiterPage();
    ClickUpThrice();
    form->Undo().Undo();
    PassThePause();
    EXPECT_EQ(form->Image().Adrb(LIMITER), before);
    EXPECT_EQ(limiter->value(), before * 100);
    form->Undo().Redo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), before + 3);
}

TEST_F(PendingEdit, ConnectingKeepsAnEditMadeJustBeforeThePagesAreRefreshed)
{
    OpenOnTheLimiterPage();
    ASSERT_TRUE(RunUntil([&] { return InLastReferenceRead(); }));
    ClickUpThrice();
    Connect();
    PassThePause();
    EXPECT_EQ(form->Image().Adrb(LIMITER), before + 3);
    EXPECT_EQ(limiter->value(), (before + 3) * 100);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
}

// The read replaces the image with the unit's, as it does with an edit made earlier during the
// read; the edit is not lost but kept in the undo history.
TEST_F(PendingEdit, AReadThatEndsKeepsTheEditInTheUndoHistory)
{
    OpenOnTheLimiterPage();
    Connect();
    form->findChild<QAction*>("MenuRead")->trigger();
    // The read's second pass: the window takes its end (and refreshes the pages) at a later tick.
    ASSERT_TRUE(RunUntil([&] { return manager().linkStep == ConnectionManager::StepReadAgain; }));
    ClickUpThrice();
    ASSERT_TRUE(RunUntil([&] { return Idle(); }));
    PassThePause();
    EXPECT_EQ(Text("LabelResult"), "Verify: OK");
    EXPECT_EQ(form->Image().bytes(), unit->Configuration());
    EXPECT_EQ(limiter->value(), before * 100);
    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), before + 3);
}
