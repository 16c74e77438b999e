#include "app/FileMenu.h"
#include "app/MainWindow.h"
#include "app/WindowLink.h"
#include "app/WindowPages.h"
#include "app/WindowUndo.h"
#include "lang/LangString.h"
#include "mapedit/MapReference.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"
#include "model/LoadGroups.h"

#include "TempDir.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QMenuBar>
#include <QMimeData>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include <fstream>

namespace {

const QString NO_FILE_TITLE = "  VORDAX4 (v93)       ";

struct FileMenuFixture : testing::Test {
    ScopedWorkDir dir;
    std::vector<std::string> errors;
    std::vector<std::string> questions;
    PageHost::Answer answer = PageHost::ANSWER_YES;
    struct DialogRun {
        bool forSaving;
        QString startName;
    };
    std::vector<DialogRun> dialogs;
    QStringList choices; // the dialogs' answers in turn; an empty text cancels
    bool ctrl = false;

    std::unique_ptr<MainWindow> start()
    {
        LanguageIndex = LANG_ENGLISH;
        auto form = std::make_unique<MainWindow>(
            std::vector<std::string> {}, [this](const std::string& e) { errors.push_back(e); });
        form->questionBox = [this](const char* q) {
            questions.push_back(q);
            return answer;
        };
        form->Files().chooseFile = [this](bool forSaving, const QString& name) {
            dialogs.push_back({ forSaving, name });
            return choices.isEmpty() ? QString() : choices.takeFirst();
        };
        form->Files().ctrlHeld = [this] { return ctrl; };
        return form;
    }

    QString path(const std::string& name) const { return QString::fromStdString(dir.file(name)); }

    static void trigger(MainWindow& form, const char* action)
    {
        QAction* a = form.findChild<QAction*>(action);
        ASSERT_NE(a, nullptr) << action;
        a->trigger();
    }
    static void click(MainWindow& form, const char* button)
    {
        auto* b = form.findChild<QToolButton*>(button);
        ASSERT_NE(b, nullptr) << button;
        b->click();
    }
    void saveAs(MainWindow& form, const std::string& name)
    {
        choices << path(name);
        trigger(form, "MenuSave");
    }
    void openFile(MainWindow& form, const std::string& name, const char* command = "MenuOpen")
    {
        choices << path(name);
        trigger(form, command);
    }
    // Changes a field as an edit would: the image, then the controls that show it.
    static void setField(MainWindow& form, int address, int value)
    {
        form.Image().Adrb(address) = static_cast<uint8_t>(value);
        form.Edits().RefreshPages(true);
    }
    static QStringList history(MainWindow& form) { return form.Files().State().history.entries(); }
    static QAction* historyItem(MainWindow& form, int k)
    {
        return form.findChild<QAction*>(QString("MenuHistory%1").arg(k));
    }
    void writeText(const std::string& name, const std::string& text)
    {
        std::ofstream(dir.file(name), std::ios::binary) << text;
    }
};

} // namespace

TEST_F(FileMenuFixture, MenuItemsToolButtonsAndShortCuts)
{
    auto form = start();
    const QList<QAction*> menus = form->menuBar()->actions();
    ASSERT_FALSE(menus.isEmpty());
    EXPECT_EQ(menus.first()->objectName(), "MenuFile");
    EXPECT_EQ(menus.first()->text(), "&File");

    struct Item {
        const char* name;
        QKeySequence keys;
        const char* text;
    };
    const Item items[] = {
        { "MenuNew", QKeySequence(Qt::CTRL | Qt::Key_N), "&New" },
        { "MenuNewPage", QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_N), "&New for actual page" },
        { "MenuOpen", QKeySequence(Qt::Key_F3), "&Open" },
        { "MenuOpenExeDir", QKeySequence(Qt::CTRL | Qt::Key_F3), "Open from exe d&ir" },
        { "MenuOpenPage", QKeySequence(Qt::SHIFT | Qt::Key_F3), "Open for ac&tual page" },
        { "MenuOpenReference", QKeySequence(), "Open re&ference..." },
        { "MenuClearReference", QKeySequence(), "Clear referen&ce" },
        { "MenuSave", QKeySequence(Qt::Key_F2), "&Save" },
        { "MenuSaveAs", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S), "Save &as..." },
        { "MenuSaveExeDir", QKeySequence(Qt::CTRL | Qt::Key_F2), "Save to exe di&r" },
        { "MenuPrint", QKeySequence(Qt::CTRL | Qt::Key_P), "&Print" },
        { "MenuPrintAll", QKeySequence(), "Print a&ll" },
        { "MenuPrintMaps", QKeySequence(), "Print &maps" },
        { "MenuPrintPreview", QKeySequence(), "Print pre&view" },
        { "MenuExportPdf", QKeySequence(), "Export P&DF..." },
        { "MenuExit", QKeySequence(), "E&xit" },
    };
    QStringList order;
    for (QAction* a : menus.first()->menu()->actions())
        if (!a->isSeparator())
            order << a->objectName();
    QStringList expected;
    for (const Item& item : items) {
        QAction* a = form->findChild<QAction*>(item.name);
        ASSERT_NE(a, nullptr) << item.name;
        EXPECT_EQ(a->shortcut(), item.keys) << item.name;
        EXPECT_EQ(a->text(), item.text) << item.name;
        if (std::string_view(item.name) == "MenuExit")
            for (int k = 1; k <= FileMenu::HISTORY_ITEMS; ++k)
                expected << QString("MenuHistory%1").arg(k);
        expected << item.name;
    }
    EXPECT_EQ(order, expected);
    // The usual keys beside the function keys.
    EXPECT_EQ(form->findChild<QAction*>("MenuOpen")->shortcuts(),
        (QList<QKeySequence> { QKeySequence(Qt::Key_F3), QKeySequence(Qt::CTRL | Qt::Key_O) }));
    EXPECT_EQ(form->findChild<QAction*>("MenuSave")->shortcuts(),
        (QList<QKeySequence> { QKeySequence(Qt::Key_F2), QKeySequence(Qt::CTRL | Qt::Key_S) }));

    const QList<QAction*> tools = form->findChild<QToolBar*>("ToolBar1")->actions();
    QStringList buttons;
    for (QAction* a : tools)
        if (QWidget* w = form->findChild<QToolBar*>("ToolBar1")->widgetForAction(a))
            buttons << w->objectName();
    ASSERT_GE(buttons.size(), 6);
    EXPECT_EQ(buttons.mid(0, 6),
        (QStringList { "SpeedButtonNew", "SpeedButtonOpen", "SpeedButtonSave", "SpeedButtonPrint", "SpeedButtonZpet",
            "SpeedButtonZnovu" }));
    EXPECT_EQ(form->findChild<QToolButton*>("SpeedButtonOpen")->toolTip(), "Open file with parameters");
}

TEST_F(FileMenuFixture, SaveAndReopenRestoreTheImageCaptionAndHistory)
{
    auto form = start();
    EXPECT_EQ(form->windowTitle(), NO_FILE_TITLE);
    setField(*form, LIMITER, 95);
    choices << path("my.bike.ign");
    click(*form, "SpeedButtonSave");
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_TRUE(dialogs[0].forSaving);
    ASSERT_TRUE(dir.exists("my.bike.ign"));
    EXPECT_EQ(form->windowTitle(), NO_FILE_TITLE + path("my.bike.ign"));
    EXPECT_EQ(history(*form), QStringList { path("my.bike.ign") });
    EXPECT_FALSE(historyItem(*form, 1)->isVisible()) << "entry 0 is the current file, not a menu item";
    EXPECT_EQ(form->Files().OpenDialogName(), path("my.bike.ign")) << "a save presets the open dialog too";

    // Reopening brings the saved value back as one undo step and requests no programming.
    form->findChild<QCheckBox*>("CheckBoxProgHned")->setChecked(true);
    setField(*form, LIMITER, 100);
    ASSERT_EQ(form->Link().Manager().pendingCommand, 0);
    openFile(*form, "my.bike.ign");
    EXPECT_EQ(form->Image().Adrb(LIMITER), 95);
    EXPECT_EQ(form->Files().State().newInstal, 0) << "an accepted file ends the new installation";
    EXPECT_EQ(form->Files().State().fileFolder, path("my.bike.ign"));
    EXPECT_TRUE(form->Files().State().unchanged);
    EXPECT_EQ(form->Link().Manager().pendingCommand, 0) << "opening a file is no edit to program";
    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 110) << "undo goes back to the image before the open";
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileMenuFixture, HistoryMovesUpAndDropsTheOldest)
{
    auto form = start();
    for (const char* name : { "f0.ign", "f1.ign", "f2.ign", "f3.ign" })
        saveAs(*form, name);
    EXPECT_EQ(history(*form), (QStringList { path("f3.ign"), path("f2.ign"), path("f1.ign"), path("f0.ign") }));
    EXPECT_EQ(historyItem(*form, 3)->text(), "&3 f0");
    EXPECT_TRUE(historyItem(*form, 3)->isVisible());
    EXPECT_FALSE(historyItem(*form, 4)->isVisible());

    trigger(*form, "MenuHistory3");
    EXPECT_EQ(history(*form), (QStringList { path("f0.ign"), path("f3.ign"), path("f2.ign"), path("f1.ign") }));
    EXPECT_EQ(form->Files().State().currentFile, path("f0.ign"));
    EXPECT_EQ(historyItem(*form, 1)->text(), "&1 f3");
    EXPECT_EQ(historyItem(*form, 3)->text(), "&3 f1");

    for (int i = 0; i < 6; ++i)
        saveAs(*form, QString("g%1.ign").arg(i).toStdString());
    EXPECT_EQ(history(*form).size(), 10);
    EXPECT_EQ(history(*form).last(), path("f1.ign"));
    saveAs(*form, "g6.ign");
    EXPECT_EQ(history(*form).size(), 10) << "an eleventh file drops the oldest";
    EXPECT_EQ(history(*form).first(), path("g6.ign"));
    EXPECT_EQ(history(*form).last(), path("f2.ign"));
    EXPECT_FALSE(history(*form).contains(path("f1.ign")));
    EXPECT_TRUE(historyItem(*form, 9)->isVisible());
}

TEST_F(FileMenuFixture, NewAsksThenEmptiesEntryZero)
{
    auto form = start();
    setField(*form, LIMITER, 95);
    form->Edits().CommitEdit();
    ParamImage defaults = form->Image();
    ResetDefaults(defaults, PAGE_ALL);
    ValidateImage(defaults);
    saveAs(*form, "my.bike.ign");

    for (PageHost::Answer refused : { PageHost::ANSWER_NO, PageHost::ANSWER_CANCEL }) {
        answer = refused;
        trigger(*form, "MenuNew");
        EXPECT_EQ(form->Image().Adrb(LIMITER), 95);
        EXPECT_EQ(form->Files().State().currentFile, path("my.bike.ign"));
    }
    answer = PageHost::ANSWER_YES;
    click(*form, "SpeedButtonNew");
    ASSERT_EQ(questions.size(), 3u);
    EXPECT_EQ(std::string(questions[0]), FileMenu::NEW_QUESTION);
    EXPECT_EQ(form->Image(), defaults);
    EXPECT_EQ(form->windowTitle(), NO_FILE_TITLE);
    EXPECT_EQ(history(*form), (QStringList { "", path("my.bike.ign") }));
    EXPECT_EQ(historyItem(*form, 1)->text(), "&1 my.bike");
    EXPECT_TRUE(historyItem(*form, 1)->isVisible());

    form->Undo().Undo();
    EXPECT_EQ(form->Image().Adrb(LIMITER), 95) << "New is one undo step";
}

TEST_F(FileMenuFixture, NewForTheActivePageResetsOnlyItsFields)
{
    auto form = start();
    const ParamImage defaults = form->Image();
    form->Pages().Select(PAGE_MISC);
    setField(*form, RETARD, defaults.Adrb(RETARD) + 2);
    setField(*form, SERVO_PERCENT, !defaults.Adrb(SERVO_PERCENT));
    trigger(*form, "MenuNewPage");
    EXPECT_EQ(form->Image().Adrb(RETARD), defaults.Adrb(RETARD));
    EXPECT_NE(form->Image().Adrb(SERVO_PERCENT), defaults.Adrb(SERVO_PERCENT));
}

TEST_F(FileMenuFixture, OpenForTheActivePageDefaultsOnlyItsMissingFields)
{
    auto form = start();
    const ParamImage defaults = form->Image();
    form->Pages().Select(PAGE_MISC);
    const auto edit = [&] {
        setField(*form, RETARD, defaults.Adrb(RETARD) + 2);
        setField(*form, SERVO_PERCENT, !defaults.Adrb(SERVO_PERCENT));
    };
    writeText("part.ign", "MOTRAVEX_KEY 93 LIMITER 95 BIKE 20 ");

    edit();
    openFile(*form, "part.ign", "MenuOpenPage");
    EXPECT_EQ(form->Image().Adrb(LIMITER), 95);
    EXPECT_EQ(form->Image().Adrb(RETARD), defaults.Adrb(RETARD)) << "the active page's missing field";
    EXPECT_NE(form->Image().Adrb(SERVO_PERCENT), defaults.Adrb(SERVO_PERCENT)) << "another page keeps its value";

    edit();
    openFile(*form, "part.ign");
    EXPECT_EQ(form->Image().Adrb(SERVO_PERCENT), defaults.Adrb(SERVO_PERCENT));

    // A complete file gives the same image either way.
    edit();
    saveAs(*form, "whole.ign");
    const ParamImage saved = form->Image();
    openFile(*form, "part.ign");
    openFile(*form, "whole.ign", "MenuOpenPage");
    const ParamImage forPage = form->Image();
    openFile(*form, "part.ign");
    openFile(*form, "whole.ign");
    EXPECT_EQ(form->Image(), saved);
    EXPECT_EQ(forPage, saved);
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileMenuFixture, CancelledDialogsChangeNothing)
{
    auto form = start();
    setField(*form, LIMITER, 95);
    const ParamImage before = form->Image();
    ASSERT_EQ(form->Files().State().newInstal, 1);
    const QStringList entries = history(*form);
    trigger(*form, "MenuOpen");
    trigger(*form, "MenuOpenPage");
    trigger(*form, "MenuSave");
    EXPECT_EQ(dialogs.size(), 3u);
    EXPECT_EQ(form->Image(), before);
    EXPECT_EQ(form->Files().State().newInstal, 1) << "not even the new-installation flag";
    EXPECT_EQ(history(*form), entries);
    EXPECT_EQ(form->windowTitle(), NO_FILE_TITLE);
    EXPECT_TRUE(QDir(QString::fromStdString(dir.path())).entryList({ "*.ign" }).isEmpty());
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileMenuFixture, ExeDirCommandsAndCtrlButtonsPresetTheDefaultPath)
{
    auto form = start();
    const QString data = FileMenu::DefaultParamPath();
    EXPECT_TRUE(data.endsWith("/data.ign"));

    struct Case {
        const char* command;
        bool isButton;
        bool ctrlDown;
        bool forSaving;
        bool preset;
    };
    const Case cases[] = {
        { "MenuOpenExeDir", false, false, false, true },
        { "MenuSaveExeDir", false, false, true, true },
        { "SpeedButtonOpen", true, true, false, true },
        { "SpeedButtonSave", true, true, true, true },
        { "SpeedButtonOpen", true, false, false, false },
        { "SpeedButtonSave", true, false, true, false },
    };
    for (const Case& c : cases) {
        form->Files().PresetDialogs(path("elsewhere.ign"));
        ctrl = c.ctrlDown;
        dialogs.clear();
        c.isButton ? click(*form, c.command) : trigger(*form, c.command);
        ASSERT_EQ(dialogs.size(), 1u) << c.command;
        EXPECT_EQ(dialogs[0].forSaving, c.forSaving) << c.command;
        EXPECT_EQ(dialogs[0].startName, c.preset ? data : path("elsewhere.ign")) << c.command << " ctrl " << c.ctrlDown;
        if (c.preset) {
            EXPECT_EQ(c.forSaving ? form->Files().OpenDialogName() : form->Files().SaveDialogName(), data)
                << "both dialogs are preset";
        }
    }
}

TEST_F(FileMenuFixture, UnreadableFileLeavesTheHistoryAndIsReported)
{
    auto form = start();
    for (const char* name : { "a.ign", "gone.ign", "b.ign" })
        saveAs(*form, name);
    ASSERT_TRUE(QFile::remove(path("gone.ign")));
    setField(*form, LIMITER, 95);
    const ParamImage before = form->Image();

    ASSERT_EQ(historyItem(*form, 1)->text(), "&1 gone");
    trigger(*form, "MenuHistory1");
    EXPECT_EQ(errors, std::vector<std::string> { "Open file error!" });
    EXPECT_EQ(history(*form), (QStringList { path("b.ign"), path("a.ign") }));
    EXPECT_EQ(historyItem(*form, 1)->text(), "&1 a");
    EXPECT_FALSE(historyItem(*form, 2)->isVisible());
    EXPECT_EQ(form->Image(), before);
    EXPECT_EQ(form->Files().State().currentFile, path("b.ign"));
}

TEST_F(FileMenuFixture, ForeignVersionKeepsNameAndHistory)
{
    auto form = start();
    saveAs(*form, "cur.ign");
    writeText("old.ign", "MOTRAVEX_KEY 12 LIMITER 50 ");
    openFile(*form, "old.ign");
    EXPECT_EQ(errors, std::vector<std::string> { "Unmatched version of *.ign file!" });
    EXPECT_EQ(form->Files().State().currentFile, path("cur.ign"));
    EXPECT_EQ(history(*form), QStringList { path("cur.ign") });
    EXPECT_EQ(form->Files().State().newInstal, 1);
}

TEST_F(FileMenuFixture, SaveThatCannotBeWrittenIsReported)
{
    auto form = start();
    saveAs(*form, "cur.ign");
    saveAs(*form, "no/such/folder.ign");
    EXPECT_EQ(errors, std::vector<std::string> { "Open file error!" });
    EXPECT_EQ(form->Files().State().currentFile, path("cur.ign"));
    EXPECT_EQ(history(*form), QStringList { path("cur.ign") });
}

TEST_F(FileMenuFixture, DroppedFilesOpenTheFirstParameterFile)
{
    auto form = start();
    struct Case {
        QStringList dropped;
        QString opened; // empty: nothing is opened
    };
    const Case cases[] = {
        { { "A.TXT", "B.IGN" }, "B.IGN" },
        { { "x.ign" }, "x.ign" },
        { { "a.ig" }, "" },
        { { "C.Ign", "x.ign" }, "C.Ign" },
        { { "ign", ".ign" }, ".ign" },
    };
    const std::string text = "MOTRAVEX_KEY 93 LIMITER 95 ";
    for (const char* name : { "A.TXT", "B.IGN", "x.ign", "a.ig", "C.Ign", "ign", ".ign" })
        writeText(name, text);
    for (const Case& c : cases) {
        form->Edits().NewWithoutAsking();
        QMimeData mime;
        QList<QUrl> urls;
        for (const QString& name : c.dropped)
            urls << QUrl::fromLocalFile(path(name.toStdString()));
        mime.setUrls(urls);
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &enter);
        EXPECT_TRUE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(form.get(), &drop);
        const QString expected = c.opened.isEmpty() ? QString() : path(c.opened.toStdString());
        EXPECT_EQ(form->Files().State().currentFile, expected) << c.dropped.join(",").toStdString();
        EXPECT_EQ(form->Image().Adrb(LIMITER), c.opened.isEmpty() ? 110 : 95);
        if (!c.opened.isEmpty()) {
            EXPECT_EQ(form->Files().SaveDialogName(), expected) << "both dialogs take the dropped name";
        }
    }
    EXPECT_EQ(FileMenu::FirstIgnFile({ "a.IGNX", "b.ıgn", "c.IgN" }), "c.IgN");
    EXPECT_TRUE(errors.empty());
}

TEST_F(FileMenuFixture, FileSettingsSurviveARestart)
{
    {
        auto form = start();
        saveAs(*form, "one.ign");
        saveAs(*form, "two.ign");
        openFile(*form, "one.ign");
        ASSERT_EQ(form->Files().State().newInstal, 0);
        form->close();
    }
    auto again = start();
    const ParamFileState& state = again->Files().State();
    EXPECT_EQ(state.currentFile, path("one.ign"));
    EXPECT_EQ(state.fileFolder, path("one.ign"));
    EXPECT_EQ(state.newInstal, 0);
    EXPECT_EQ(state.history.entries(), (QStringList { path("one.ign"), path("two.ign") }));
    EXPECT_EQ(again->windowTitle(), NO_FILE_TITLE + path("one.ign"));
    EXPECT_EQ(historyItem(*again, 1)->text(), "&1 two");
    EXPECT_TRUE(historyItem(*again, 1)->isVisible());
    EXPECT_EQ(again->Files().OpenDialogName(), path("one.ign"));
    EXPECT_EQ(again->Files().SaveDialogName(), path("one.ign"));
}

TEST_F(FileMenuFixture, ServiceMenuOnlyInTestMode)
{
    const QByteArray home = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(dir.path()));
    {
        auto form = start();
        EXPECT_FALSE(form->findChild<QAction*>("MenuServis")->isVisible());
    }
    writeText("test_ralvo.txt", "TEST_ENABLE\n");
    {
        auto form = start();
        EXPECT_TRUE(form->findChild<QAction*>("MenuServis")->isVisible());
        std::vector<std::string> notes;
        form->Files().infoBox = [&](const std::string& t) { notes.push_back(t); };
        trigger(*form, "MenuSaveAllNew");
        EXPECT_GE(QDir(path("new_ign")).entryList({ "*.ign" }).size(), 40);
        trigger(*form, "MenuCompareAll");
        EXPECT_TRUE(dir.exists("new_ign/compare_all_new.txt"));
        ASSERT_EQ(notes.size(), 1u);
        EXPECT_NE(notes[0].find("compare_all_new.txt"), std::string::npos);
    }
    qputenv("HOME", home);
    EXPECT_TRUE(errors.empty());
}

namespace {

const char* const REFERENCE_TITLE = "  [reference: ref.ign]";

// A reference file whose advance map differs from the screen's file in its fifth cell.
struct ReferenceFixture : FileMenuFixture {
    std::unique_ptr<MainWindow> form;
    void SetUp() override
    {
        form = start();
        setField(*form, ADVANCE + 4, form->Image().Adrb(ADVANCE + 4) + 3);
        saveAs(*form, "ref.ign");
        setField(*form, ADVANCE + 4, form->Image().Adrb(ADVANCE + 4) - 3);
        saveAs(*form, "screen.ign");
        form->Undo().TakeSnapshot();
    }
    const MapEditor* advance() const
    {
        return form->MapEditors().EditorByOwnerId(ProgramMap(MapKind::Advance).ownerId);
    }
    void openReference(const std::string& name)
    {
        choices << path(name);
        trigger(*form, "MenuOpenReference");
    }
};

} // namespace

TEST_F(ReferenceFixture, AReferenceChangesNothingOfTheScreensConfiguration)
{
    const ParamImage image = form->Image();
    const bool couldUndo = form->Undo().Ring().CanUndo();
    const QString title = form->windowTitle();
    ASSERT_EQ(title, NO_FILE_TITLE + path("screen.ign"));

    openReference("ref.ign");
    EXPECT_TRUE(errors.empty());
    EXPECT_EQ(form->Image(), image);
    EXPECT_TRUE(form->Files().State().unchanged) << "not marked modified";
    EXPECT_EQ(form->Files().State().currentFile, path("screen.ign"));
    EXPECT_EQ(history(*form), (QStringList { path("screen.ign"), path("ref.ign") })) << "the history stays";
    EXPECT_FALSE(form->Undo().TakeSnapshot()) << "no undo step";
    EXPECT_EQ(form->Undo().Ring().CanUndo(), couldUndo);
    EXPECT_EQ(form->windowTitle(), title + REFERENCE_TITLE);
    EXPECT_EQ(form->Files().OpenDialogName(), path("screen.ign")) << "Open still offers the screen's file";

    ASSERT_NE(advance()->Reference(), nullptr);
    for (int column = 0; column < MAP_DIM; ++column)
        EXPECT_EQ(advance()->Reference()->Differs(*advance(), column, 0), column == 4) << column;

    EXPECT_TRUE(form->findChild<QAction*>("MenuClearReference")->isEnabled());
    trigger(*form, "MenuClearReference");
    EXPECT_EQ(advance()->Reference(), nullptr);
    EXPECT_EQ(form->windowTitle(), title);
    EXPECT_FALSE(form->findChild<QAction*>("MenuClearReference")->isEnabled());
    EXPECT_EQ(form->Image(), image);
}

TEST_F(ReferenceFixture, ABadReferenceGivesOpensErrorAndKeepsThePreviousOne)
{
    writeText("foreign.ign", "MOTRAVEX_KEY 12 LIMITER 50 ");
    openReference("ref.ign");
    const MapReference* kept = advance()->Reference();
    ASSERT_NE(kept, nullptr);
    for (const char* bad : { "missing.ign", "foreign.ign" }) {
        errors.clear();
        openReference(bad);
        const std::vector<std::string> referenceErrors = errors;
        EXPECT_FALSE(referenceErrors.empty()) << bad;
        EXPECT_EQ(advance()->Reference(), kept) << bad;
        EXPECT_EQ(form->windowTitle(), NO_FILE_TITLE + path("screen.ign") + REFERENCE_TITLE);

        errors.clear();
        openFile(*form, bad);
        EXPECT_EQ(referenceErrors, errors) << "the same message as Open for " << bad;
    }
}
