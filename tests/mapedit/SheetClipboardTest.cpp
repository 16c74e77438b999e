#include "mapedit/SheetClipboard.h"
#include "MapTestSupport.h"
#include "lang/LangString.h"

#include <gtest/gtest.h>

namespace {

struct LanguageGuard {
    explicit LanguageGuard(int language)
        : saved(LanguageIndex)
    {
        LanguageIndex = language;
    }
    ~LanguageGuard() { LanguageIndex = saved; }
    int saved;
};

class Clipboard : public ::testing::Test {
protected:
    void SetUp() override
    {
        DefineProgramMap(advance, MapKind::Advance);
        advance.SetHost(&host);
        FillSheet(advance, AdvanceRpm, TpPoints);
        for (int r = 0; r < 10; ++r)
            for (int c = 0; c < 10; ++c)
                advance.Sheet().Cell(c, r) = c + r;
    }
    void SelectBlock(MapModel& tab, int kind, int c0, int r0, int c1, int r1)
    {
        MapInteraction ui(tab);
        ui.BeginBand(kind, c0, r0, false, false);
        ui.DragBand(c1, r1);
        ui.EndBand();
    }
    MapModel advance;
    MapInteraction advanceUi { advance };
    RecordingHost host;
};

TEST_F(Clipboard, CellSelectionTextHasNoTrailingNewline)
{
    SelectBlock(advance, SEL_CELLS, 1, 1, 2, 2);
    EXPECT_EQ(SelectionText(advance), "2\t3\n3\t4");
}

TEST_F(Clipboard, GapsInTheSelectionAreEmptyFields)
{
    advance.SelectElement(0, 0);
    advanceUi.BeginBand(SEL_CELLS, 2, 1, false, true);
    advanceUi.EndBand();
    EXPECT_EQ(SelectionText(advance), "0\t\t\n\t\t3");
}

TEST_F(Clipboard, HeaderSelectionTexts)
{
    SelectBlock(advance, SEL_COLUMNS, 1, -1, 3, -1);
    EXPECT_EQ(SelectionText(advance), "2 000\t3 000\t4 000");
    SelectBlock(advance, SEL_ROWS, -1, 0, -1, 2);
    EXPECT_EQ(SelectionText(advance), "0\n2\n5");
}

TEST_F(Clipboard, WholeTableTexts)
{
    advance.Sheet().axisX.count = 2;
    advance.Sheet().axisY.count = 2;
    EXPECT_EQ(TableSheetText(advance),
        "Label:\t###Advance##Vorzündung##Předstih\nLabelX:\tRPM\nLabelY:\tTP\nLabelData:\tADV\nSizeX:\t2\nSizeY:\t2\n"
        "OnlyXY:\t\n\t1 000\t2 000\n0\t0\t1\n2\t1\t2");
    EXPECT_EQ(TablePlainText(advance), "\t1 000\t2 000\n0\t0\t1\n2\t1\t2");
    advance.Sheet().axisY.off = 1;
    advance.Sheet().axisY.offIndex = 1;
    EXPECT_EQ(TablePlainText(advance), "1 000\t2 000\n1\t2");
    EXPECT_NE(TableSheetText(advance).find("OnlyXY:\tY\n"), std::string::npos);
}

TEST_F(Clipboard, CzechCopiesUseADecimalComma)
{
    MapModel lambda;
    DefineProgramMap(lambda, MapKind::Lambda);
    lambda.Sheet().axisY.values[0] = 125;
    lambda.SelectElement(-1, 0);
    LanguageGuard czech(LANG_CZECH);
    EXPECT_EQ(SelectionText(lambda), "12,5");
    lambda.Sheet().axisY.values[0] = 0;
    lambda.RememberValues();
    ASSERT_TRUE(PasteSelectionText(lambda, "12,5"));
    EXPECT_EQ(lambda.Sheet().axisY.values[0], 125);
}

TEST_F(Clipboard, PasteFillsFromTheSelectionStartAndSelectsWhatItWrote)
{
    advance.SelectElement(8, 8);
    ASSERT_TRUE(PasteSelectionText(advance, "1\t2\t3\n4\t\t6\n7"));
    const MapSheet& s = advance.Sheet();
    EXPECT_EQ(s.Cell(8, 8), 1);
    EXPECT_EQ(s.Cell(9, 8), 2);
    EXPECT_EQ(s.Cell(8, 9), 4);
    EXPECT_EQ(s.Cell(9, 9), 18) << "the empty field skips its cell";
    EXPECT_EQ(advance.Sel().count, 3) << "fields beyond the table are dropped";
    EXPECT_EQ(host.commits, (std::vector<int> { AXIS_DATA }));
}

TEST_F(Clipboard, PasteParsingRules)
{
    struct Case {
        const char* text;
        std::vector<int> cells; // row 0 from column 0
    } cases[] = {
        { "1 500", { 1500 } },
        { "1 50", { 1, 50 } },
        { "12 500 000", { 12500000 } },
        { "3   4\t5", { 3, 4, 5 } },
        { "2,6\t-2,5", { 3, -3 } },
        { "{{1, 2, 3}, {4, 5, 6}}", { 1, 2, 3 } },
        { "x7y\tabc\t9", { 7, 0, 9 } },
    };
    for (const Case& c : cases) {
        MapModel tab;
        tab.AddSheet("t", "X", "Y", "D", 5, 5, 0);
        tab.DefineAxis(0, AXIS_DATA, "D", "", -100000000, 100000000, 1, 1, nullptr, 1, 0, 1, 1, 0, 0, 0, -1, 0, 0);
        tab.SelectSheet(0);
        tab.SelectElement(0, 0);
        PasteSelectionText(tab, c.text);
        for (size_t i = 0; i < c.cells.size(); ++i)
            EXPECT_EQ(tab.Sheet().Cell(static_cast<int>(i), 0), c.cells[i]) << c.text << " field " << i;
    }
}

TEST_F(Clipboard, BracesEndRows)
{
    SelectBlock(advance, SEL_CELLS, 0, 0, 0, 0);
    PasteSelectionText(advance, "{{1, 2}, {3, 4}}");
    EXPECT_EQ(advance.Sheet().Cell(1, 0), 2);
    EXPECT_EQ(advance.Sheet().Cell(0, 1), 3);
    EXPECT_EQ(advance.Sheet().Cell(1, 1), 4);
}

TEST_F(Clipboard, ThousandsSpaceIntoAnRpmHeader)
{
    advance.SelectElement(0, -1);
    PasteSelectionText(advance, "1 500");
    EXPECT_EQ(advance.Sheet().axisX.values[0], 15);
    advance.SelectElement(0, -1);
    PasteSelectionText(advance, "1 50");
    EXPECT_EQ(advance.Sheet().axisX.values[0], 3) << "1 rpm rounds to 0 and is clamped to 300 rpm";
    EXPECT_EQ(advance.Sheet().axisX.values[1], 4) << "the second field pushes its header aside";
}

TEST_F(Clipboard, MillivoltsIntoAVoltTable)
{
    MapModel tp;
    DefineProgramMap(tp, MapKind::TpSensor);
    tp.SelectElement(0, 0);
    ASSERT_TRUE(PasteSelectionText(tp, "3500"));
    EXPECT_EQ(tp.Sheet().Cell(0, 0), 3500);
    tp.SelectElement(0, 1);
    ASSERT_TRUE(PasteSelectionText(tp, "4.2"));
    EXPECT_EQ(tp.Sheet().Cell(0, 1), 4200);
}

TEST_F(Clipboard, AlongASwitchedOffAxisOnlyTheUsedColumnIsATarget)
{
    MapModel lambda;
    DefineProgramMap(lambda, MapKind::Lambda);
    lambda.SelectElement(0, 2);
    ASSERT_TRUE(PasteSelectionText(lambda, "1\t2\n3"));
    EXPECT_EQ(lambda.Sheet().Cell(0, 2), 1000);
    EXPECT_EQ(lambda.Sheet().Cell(1, 2), 0);
    EXPECT_EQ(lambda.Sheet().Cell(0, 3), 3000);
    EXPECT_EQ(lambda.Sel().count, 2);
}

TEST_F(Clipboard, PasteIntoANotEditableElementDoesNothing)
{
    advance.SelectElement(-1, 2);
    EXPECT_FALSE(PasteSelectionText(advance, "33"));
    EXPECT_EQ(advance.Sheet().axisY.values[2], 5);
    EXPECT_TRUE(host.commits.empty());
}

TEST_F(Clipboard, AdvanceTablePastedIntoServoWritesOnlyTheEngineSpeeds)
{
    const std::vector<int> rpm = { 12, 22, 32, 42, 52, 62, 72, 82, 92, 102 };
    FillSheet(advance, rpm, TpPoints);
    const std::string text = TableSheetText(advance);
    MapModel servo;
    RecordingHost servoHost;
    DefineProgramMap(servo, MapKind::Servo);
    servo.SetHost(&servoHost);
    FillSheet(servo, AdvanceRpm, TpPoints, 50);
    ASSERT_TRUE(PasteTableText(servo, text));
    const MapSheet& s = servo.Sheet();
    EXPECT_EQ(std::vector<int>(s.axisX.values.begin(), s.axisX.values.begin() + 10), rpm);
    EXPECT_EQ(s.Cell(3, 3), 50);
    EXPECT_EQ(servoHost.commits, (std::vector<int> { AXIS_X }));

    servo.Sheet().axisX.count = 8;
    EXPECT_FALSE(PasteTableText(servo, text));
    ASSERT_EQ(servoHost.messages.size(), 1u);
    EXPECT_EQ(servoHost.messages[0].rfind("Table dimensions are not eqal", 0), 0u);
    EXPECT_EQ(servo.Sheet().axisX.count, 8);
}

TEST_F(Clipboard, TablePasteResizesAMatchingMapAndAppliesTheSwitchOff)
{
    advance.Sheet().axisX.count = 6;
    advance.UseAxes(CMD_ONLY_X);
    const std::string text = TableSheetText(advance);
    MapModel other;
    RecordingHost otherHost;
    DefineProgramMap(other, MapKind::Advance);
    other.SetHost(&otherHost);
    FillSheet(other, AdvanceRpm, TpPoints, 9);
    ASSERT_TRUE(PasteTableText(other, text));
    const MapSheet& s = other.Sheet();
    EXPECT_EQ(s.axisX.count, 6);
    EXPECT_TRUE(s.axisY.off);
    EXPECT_EQ(s.Cell(5, 9), 14);
    EXPECT_EQ(otherHost.commits, (std::vector<int> { AXIS_X | AXIS_Y | AXIS_DATA }));
}

TEST_F(Clipboard, UnrelatedTextIsNotATable)
{
    EXPECT_FALSE(PasteTableText(advance, "hello\nworld"));
    EXPECT_FALSE(PasteTableText(advance, "LabelX:\tFOO\nSizeX:\t3\nSizeY:\t3\n\t1\t2\t3"));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(Clipboard, CopyAndPasteCommandsThroughTheEditorsClipboard)
{
    SelectBlock(advance, SEL_CELLS, 0, 0, 1, 0);
    advanceUi.RunCommand(CMD_COPY);
    EXPECT_EQ(advance.ClipboardFormats(), 1);
    EXPECT_EQ(advance.ClipboardText(false), "0\t1");
    advance.SelectElement(5, 5);
    advanceUi.RunCommand(CMD_PASTE);
    EXPECT_EQ(advance.Sheet().Cell(6, 5), 1);

    advanceUi.RunCommand(CMD_COPY_TABLE);
    EXPECT_EQ(advance.ClipboardFormats(), 3);
    EXPECT_EQ(advance.ClipboardText(true).rfind("Label:\t", 0), 0u);

    advance.ClipboardSet("-4,5\tjunk\n", nullptr);
    advanceUi.BeginCellEdit(2, 2, true);
    advanceUi.RunCommand(CMD_PASTE);
    EXPECT_EQ(advance.EditText(), "-4.5");
}

TEST_F(Clipboard, CompactPointTablesCarryTheExtraRegion)
{
    MapModel power;
    DefineProgramMap(power, MapKind::PowerOutA, 2, "Power out 2");
    EXPECT_EQ(power.OwnerId(), 26);
    FillSheet(power, { 90, 125, 140 }, { 75, 90 });
    power.Sheet().Cell(3, 2) = 1;
    EXPECT_EQ(TablePlainText(power), "\t9 000\t12 500\t14 000\t\n75\t0\t0\t0\t0\n90\t0\t0\t0\t0\n\t0\t0\t0\t1");
}

} // namespace
