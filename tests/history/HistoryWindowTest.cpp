#include "app/DifferencesDialog.h"
#include "app/FileMenu.h"
#include "app/WindowHistory.h"
#include "app/WindowUndo.h"
#include "files/IgnCommands.h"
#include "files/IgnWriter.h"
#include "history/HistoryDatabase.h"
#include "history/ui/HistoryDialog.h"
#include "model/ImageDiff.h"
#include "model/ImageValidation.h"

#include "WindowWithUnit.h"

#include <QFile>
#include <QPushButton>
#include <QTableWidget>

#include <sstream>

namespace {

std::vector<std::string> Rows(const std::vector<ImageDifference>& differences)
{
    std::vector<std::string> rows;
    for (const ImageDifference& d : differences)
        rows.push_back(d.name + ": " + d.first + " / " + d.second);
    return rows;
}

// The window against a simulated unit, with its history in the scratch settings folder.
struct HistoryWindow : WindowWithUnit {
    WindowHistory& History() { return form->History(); }
    HistoryDialog* Dialog() { return History().Dialog(); }
    QString Path(const std::string& name) { return QString::fromStdString(dir.file(name)); }

    // A configuration that survives a trip through a parameter file, different for every seed.
    ParamImage FileImage(int seed)
    {
        ParamImage image = form->Image();
        image.Adrb(LIMITER) = uint8_t(60 + seed);
        image.Adrb(200) = uint8_t(seed * 11);
        ValidateImage(image);
        const QString path = Path("seed.ign");
        EXPECT_TRUE(WriteIgnFile(path, image, IgnUnitInfo {}));
        std::ostringstream err;
        ParamImage opened;
        EXPECT_TRUE(IgnCommands::Open(path, opened, err));
        return opened;
    }
    QString WriteFile(const std::string& name, const ParamImage& image)
    {
        EXPECT_TRUE(WriteIgnFile(Path(name), image, IgnUnitInfo {}));
        return Path(name);
    }
    void ProgramFile(const QString& file)
    {
        form->Files().OpenParameterFile(PAGE_ALL, file);
        Run("MenuProgram");
        // The program ends when the unit has stored the bytes.
        ASSERT_TRUE(RunUntil([&] { return manager().programPending == 0 && manager().saveCountdown == 0; }));
    }
    // The events of the only unit, newest first, as the history file holds them.
    std::vector<HistoryEvent> Events()
    {
        EXPECT_TRUE(History().WaitWritten(5000));
        HistoryDatabase db(History().Path());
        const std::vector<HistoryUnit> units = db.Units();
        EXPECT_EQ(units.size(), 1u);
        return units.empty() ? std::vector<HistoryEvent> {} : db.Events(units[0].id);
    }
    ParamImage Configuration(const HistoryEvent& e)
    {
        ParamImage image;
        EXPECT_TRUE(HistoryDatabase(History().Path()).Configuration(e.id, image));
        return image;
    }
    void OpenDialog()
    {
        form->findChild<QAction*>("MenuUnitHistory")->trigger();
        ASSERT_NE(Dialog(), nullptr);
        ASSERT_TRUE(Dialog()->isVisible());
    }
    void Press(const char* button) { Dialog()->findChild<QPushButton*>(button)->click(); }
    int EventRow(const std::vector<HistoryEvent>& events, HistoryKind kind, const std::string& file)
    {
        for (size_t i = 0; i < events.size(); ++i)
            if (events[i].kind == kind && events[i].file == file)
                return static_cast<int>(i);
        return -1;
    }
};

TEST_F(HistoryWindow, TwoProgramsAndAReadAreEventsWithTheirFilesAndConfigurations)
{
    Open();
    Connect();
    const ParamImage initial = form->Image();
    const ParamImage a = FileImage(1), b = FileImage(2);
    ASSERT_NE(a, b);
    const QString fileA = WriteFile("a.ign", a), fileB = WriteFile("b.ign", b);
    ProgramFile(fileA);
    ProgramFile(fileB);
    unit->SetConfiguration(a.bytes()); // someone changed the unit in between
    Run("MenuRead");

    const std::vector<HistoryEvent> events = Events();
    struct Expected {
        HistoryKind kind;
        QString file;
        ParamImage config;
    };
    const Expected expected[] = {
        { HistoryKind::Read, "", a },
        { HistoryKind::Program, fileB, b },
        { HistoryKind::Program, fileA, a },
        { HistoryKind::Connect, "", initial },
    };
    ASSERT_EQ(events.size(), std::size(expected));
    for (size_t i = 0; i < events.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(events[i].kind, expected[i].kind);
        EXPECT_TRUE(events[i].ok);
        EXPECT_EQ(events[i].file, expected[i].file.toStdString());
        EXPECT_EQ(Configuration(events[i]), expected[i].config);
    }
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HistoryWindow, AProgramTheUnitDoesNotKeepIsRecordedAsFailed)
{
    UnitSimOptions options;
    options.storingMs = 300;
    options.ignoreWrites = true;
    unit = std::make_unique<UnitSim>(options);
    ASSERT_TRUE(unit->Start());
    qputenv("VORDAX4_PORTS", QByteArray("3=") + unit->DevicePath().c_str());
    Open();
    Connect();
    const ParamImage image = FileImage(3);
    ASSERT_NE(image.bytes(), unit->Configuration());
    const QString file = WriteFile("a.ign", image);
    form->Files().OpenParameterFile(PAGE_ALL, file);
    Run("MenuProgram");
    ASSERT_TRUE(RunUntil([&] { return manager().saveCountdown == 0; }));
    ASSERT_NE(unit->Configuration(), image.bytes());
    const std::vector<HistoryEvent> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, HistoryKind::Program);
    EXPECT_FALSE(events[0].ok);
    EXPECT_EQ(events[0].file, file.toStdString());
    EXPECT_FALSE(events[0].hasConfiguration) << "what the unit holds after a failed program is not known";
}

TEST_F(HistoryWindow, AUnitLostWhileStoringLeavesTheProgramFailed)
{
    Open();
    Connect();
    form->Files().OpenParameterFile(PAGE_ALL, WriteFile("a.ign", FileImage(7)));
    Run("MenuProgram");
    ASSERT_EQ(manager().programPending, 1) << "verified, the unit now stores";
    unit->Stop();
    ASSERT_TRUE(RunUntil([&] { return search().connectedPort.load() == 0; }));
    const std::vector<HistoryEvent> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, HistoryKind::Program);
    EXPECT_FALSE(events[0].ok);
}

TEST_F(HistoryWindow, AUnitOfAnotherVersionIsAFailedConnectionOfThatUnit)
{
    UnitSimOptions options;
    options.firmwareMinor = 1;
    unit = std::make_unique<UnitSim>(options);
    ASSERT_TRUE(unit->Start());
    qputenv("VORDAX4_PORTS", QByteArray("3=") + unit->DevicePath().c_str());
    Open();
    ASSERT_TRUE(RunUntil([&] { return !boxes.empty(); }));
    ASSERT_TRUE(History().WaitWritten(5000));
    HistoryDatabase db(History().Path());
    const std::vector<HistoryUnit> units = db.Units();
    ASSERT_EQ(units.size(), 1u);
    EXPECT_EQ(units[0].firmware, "93.01 7. 8.2019 14:05");
    const std::vector<HistoryEvent> events = db.Events(units[0].id);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].kind, HistoryKind::Connect);
    EXPECT_FALSE(events[0].ok);
    EXPECT_FALSE(events[0].hasConfiguration);
}

TEST_F(HistoryWindow, ThePastConfigurationOpensAsOneUndoStepAndComparesAndSaves)
{
    Open();
    Connect();
    const ParamImage a = FileImage(4), b = FileImage(5);
    ProgramFile(WriteFile("a.ign", a));
    ProgramFile(WriteFile("b.ign", b));
    ASSERT_EQ(form->Image(), b);
    OpenDialog();
    EXPECT_TRUE(HistoryDialog::CellText(Dialog()->unitTable(), 0, 0).endsWith("(connected)"));
    const std::vector<HistoryEvent> events = Events();
    const int rowA = EventRow(events, HistoryKind::Program, Path("a.ign").toStdString());
    ASSERT_GE(rowA, 0);
    Dialog()->SelectEvent(rowA);

    Press("ButtonHistoryCompareScreen");
    ASSERT_NE(History().Comparison(), nullptr);
    EXPECT_FALSE(History().Comparison()->differences().empty());
    EXPECT_EQ(Rows(History().Comparison()->differences()), Rows(ImageDiff::Compare(b, a)));

    Press("ButtonHistoryCompareUnit");
    EXPECT_EQ(Rows(History().Comparison()->differences()), Rows(ImageDiff::Compare(a, b))) << "the unit holds b";

    History().chooseSaveFile = [&] { return Path("past.ign"); };
    Press("ButtonHistorySave");
    std::ostringstream err;
    ParamImage saved;
    ASSERT_TRUE(IgnCommands::Open(Path("past.ign"), saved, err)) << err.str();
    EXPECT_EQ(saved, a);

    Press("ButtonHistoryOpen");
    EXPECT_EQ(form->Image(), a);
    EXPECT_EQ(Text("LabelCongruence"), "Unit and PC settings are different");
    form->Undo().Undo();
    EXPECT_EQ(form->Image(), b) << "one undo step brings the settings before back";
    EXPECT_TRUE(boxes.empty());
}

TEST_F(HistoryWindow, ForgettingTheUnitEmptiesTheList)
{
    Open();
    Connect();
    Run("MenuRead");
    form->questionBox = [](const char*) { return PageHost::ANSWER_YES; };
    OpenDialog();
    ASSERT_EQ(Dialog()->unitTable()->model()->rowCount(), 1);
    Press("ButtonHistoryForget");
    EXPECT_EQ(Dialog()->unitTable()->model()->rowCount(), 0);
    EXPECT_TRUE(HistoryDatabase(History().Path()).Units().empty());
}

TEST_F(HistoryWindow, ADamagedHistoryIsMovedAsideWithAMessageAndTheProgramStillRecords)
{
    Open();
    {
        QFile damaged(History().Path());
        ASSERT_TRUE(damaged.open(QIODevice::WriteOnly));
        damaged.write(QByteArray(20000, 'x'));
    }
    Connect();
    const ParamImage a = FileImage(6);
    ProgramFile(WriteFile("a.ign", a));
    EXPECT_EQ(unit->Configuration(), a.bytes());
    const std::vector<HistoryEvent> events = Events();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, HistoryKind::Program);
    EXPECT_TRUE(events[0].ok);
    QCoreApplication::processEvents();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("moved aside"), std::string::npos) << boxes[0];
}

} // namespace
