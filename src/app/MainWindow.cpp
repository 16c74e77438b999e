#include "app/MainWindow.h"

#include "app/FileMenu.h"
#include "app/ReferenceFile.h"
#include "app/ScreenFitter.h"
#include "app/SettingsStore.h"
#include "app/TestSettings.h"
#include "app/WindowDifferences.h"
#include "app/WindowHandOver.h"
#include "app/WindowHelp.h"
#include "app/WindowHistory.h"
#include "app/WindowLanguage.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "app/WindowPages.h"
#include "app/WindowSettings.h"
#include "app/WindowStatusBar.h"
#include "app/WindowUndo.h"
#include "app/WindowUpdate.h"
#include "archive/Archive.h"
#include "archive/ArchiveStartup.h"
#include "base/BuildInfo.h"
#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "link/WindowCaption.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"
#include "model/ImageDefaults.h"
#include "model/LayoutSelfCheck.h"
#include "model/LoadGroups.h"
#include "monitor/ui/MonitorPanel.h"
#include "pages/ControlBinder.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QVBoxLayout>

namespace {

// The pages' least width; a page wider than the room it gets scrolls.
constexpr int PAGES_MIN_WIDTH = 400;

void DefaultErrorBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, "Error", QString::fromUtf8(text.c_str()), QMessageBox::Ok);
    box.exec();
}

} // namespace

MainWindow::MainWindow(const std::vector<std::string>& args, ErrorBox errorBox, QWidget* parent)
    : QMainWindow(parent)
    , archive_(std::make_unique<Archive>())
    , errorBox_(errorBox ? std::move(errorBox) : ErrorBox(DefaultErrorBox))
    , binder_(std::make_unique<ControlBinder>(image_))
    , mapEditors_(std::make_unique<MapEditorList>(static_cast<MapEditorHost*>(this)))
{
    commandLine_ = CommandLine::Parse(args);
    SetLangReportSink(errorBox_);
    CreateParts();
    CreateForm();
    settings_ = std::make_unique<WindowSettings>(*store_,
        WindowSettings::Parts { *this, link_->Engine().Search(), *fileMenu_, *pages_, *monitor_, *mapEditors_ },
        image_, outside_, fileState_);
    handOver_ = std::make_unique<WindowHandOver>(*this, *link_, *monitor_, *fileMenu_);
    update_ = std::make_unique<WindowUpdate>(*this, *status_, Edits());
    initialised_ = false;
    monitorData_.Clear();

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(TIMER_INTERVAL_MS);
    connect(timer_, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    timer_->start();
    new ScreenFitter(this);

    FormCreate();
}

MainWindow::~MainWindow()
{
    if (!closed_)
        FormClose();
    qApp->removeEventFilter(this);
    DetachMapEditors();
    // The controls go while the window is still whole: a focus change as they go reaches the
    // window's own edit handling, not a half-destroyed object.
    delete takeCentralWidget();
    SetLangReportSink({});
}

// Each part is made after the parts it uses; the link needs the monitor side's request, the pages the
// monitor side's sensor voltage, the undo side the link's record of the unit's changes.
void MainWindow::CreateParts()
{
    store_ = std::make_unique<SettingsStore>(SettingsPaths::Chosen());
    // Before the port table exists, so that its first trace line is written.
    store_->paths().OpenLogs();
    QWidget& window = *this;
    EditCycle& edits = *this;
    monitor_ = std::make_unique<WindowMonitor>(window, edits, static_cast<MonitorHost&>(*this), monitorData_, errorBox_);
    link_ = std::make_unique<WindowLink>(
        window, edits, static_cast<LinkHost&>(*this), *monitor_, monitorData_, fileState_);
    pages_ = std::make_unique<WindowPages>(window, edits, *binder_, *mapEditors_, *monitor_);
    undo_ = std::make_unique<WindowUndo>(edits, *pages_, monitor_->Player(), link_->Manager().changedMap);
    language_ = std::make_unique<WindowLanguage>(window, edits, *pages_, *monitor_, link_->Manager());
    differences_ = std::make_unique<WindowDifferences>(window, edits, *pages_, *link_, fileState_, *mapEditors_);
    history_ = std::make_unique<WindowHistory>(window, edits, *link_, *differences_, fileState_, *store_);
}

// The settings pages and the program switch on the left, the monitor and its player on the right,
// the link's messages across the bottom. Only the pages grow with the window; no page and no text
// changes the size or place of anything else.
void MainWindow::CreateForm()
{
    setObjectName("MainForm");
    help_ = std::make_unique<WindowHelp>(*this, errorBox_);
    auto* central = new QWidget(this);
    auto* rows = new QVBoxLayout(central);
    auto* columns = new QHBoxLayout;
    rows->addLayout(columns, 1);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(monitor_->CreateColumn(central));
    // A printout shows the monitor as it stands without a unit or a recording.
    findChild<MonitorPanel*>()->restingView = [this] {
        MonitorImage none;
        MonitorSources sources { none, image_, false, [this](int n) { return Texts().Text(n); }, {}, {}, {} };
        return RefreshMonitorDisplay(sources);
    };
    programAtOnce_ = new QCheckBox(central);
    programAtOnce_->setObjectName("CheckBoxProgHned");
    connect(programAtOnce_, &QCheckBox::toggled, this, [this] { RefreshPages(false); });
    left->addWidget(programAtOnce_);
    QTabWidget* tabs = pages_->CreateTabs(central);
    tabs->setMinimumWidth(PAGES_MIN_WIDTH);
    left->addWidget(tabs, 1);
    auto* messages = new QHBoxLayout;
    link_->CreateControls(central, left, messages);
    differences_->OpenOnClick(link_->CongruenceLabel());
    rows->addLayout(messages);
    setCentralWidget(central);

    BuildMenus();
    resize(1000, 700);
    status_ = std::make_unique<WindowStatusBar>(statusBar());
    status_->FollowMenus(menuBar());
    history_->AddStatusWidget(statusBar());
}

// Menu items carry their control names as object names, so the caption tables find them.
void MainWindow::BuildMenus()
{
    QMenu* tools = menuBar()->addMenu(QString());
    tools->menuAction()->setObjectName("MenuTools");
    undo_->CreateMenuItems(tools);
    AddAdvanceMenuItems(tools);
    link_->CreateMenus(menuBar(), tools->menuAction());
    differences_->AddMenuItem(link_->DeviceMenu());
    history_->AddMenuItem(link_->DeviceMenu());

    QToolBar* bar = addToolBar(QString());
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    undo_->CreateButtons(bar);
    monitor_->CreateMenuItem(tools);
    language_->CreateMenu(menuBar());
    help_->CreateMenu(menuBar());

    fileMenu_ = new FileMenu(*this, Edits(), *pages_, link_->Status(), fileState_, errorBox_, &outside_);
    fileMenu_->Build(menuBar(), bar);
    // A saved file carries the unit's version labels.
    fileMenu_->unitInfo = [this] { return link_->UnitFileInfo(); };
}

// F4 and F5 step the selection (or the live cell) of the focused map editor.
void MainWindow::AddAdvanceMenuItems(QMenu* tools)
{
    const auto item = [&](const char* name, Qt::Key key, int direction) {
        QAction* a = tools->addAction(QString(), QKeySequence(key), this, [this, direction] {
            mapEditors_->StepFocused(direction);
        });
        a->setObjectName(name);
    };
    item("MenuAdvanceMinus", Qt::Key_F4, -1);
    item("MenuAdvancePlus", Qt::Key_F5, 1);
    mapEditors_->AddCellEditMenu(tools);
}

// Start-up, in the order the rest of the program relies on: defaults before settings,
// settings before the command line, texts before the first refresh.
void MainWindow::FormCreate()
{
    OpenProgramArchive(*archive_, QCoreApplication::applicationFilePath().toStdString());
    const TestSettings test = ReadTestSettings();
    testMode_ = test.testMode;
    testPort_ = test.testPort;

    ValidateImage(image_, &outside_);
    pages_->BuildPages();

    compileDate_ = ProgramCompileDate();
    status_->ShowStartTexts(compileDate_);
    if (const std::string moved = store_->paths().MovedNote(); !moved.empty())
        status_->ShowHint(QString::fromUtf8(LangText(moved).c_str()));

    image_.Adrb(BIKE) = STARTUP_BIKE;
    outside_.forcedPort = 1;
    ResetDefaults(image_, PAGE_ALL);
    ValidateImage(image_, &outside_);

    ScreenFitter::Centre(*this);
    settings_->Load();
    if (testMode_ && testPort_ > 0)
        outside_.forcedPort = testPort_;
    ApplyCommandLine();
    StartLink();

    language_->ApplyCaptions();
    RefreshPages(true);
    undo_->Init();
    language_->Retranslate();
    RefreshPages(false);
    link_->BuildComMenu();
    pages_->ApplyDefaultVisibility();
    fileMenu_->SetServiceMenuVisible(testMode_);
    editorsReload_ = true;
    pages_->UpdateVisibility(true);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    handOver_->Listen();
    LayoutSelfCheck(errorBox_);
    link_->Manager().UpdateUnitPanel();
    monitor_->Refresh();
    update_->Start(compileDate_, noUpdateCheck_);

    initialised_ = true;
    TraceLine("FORM Initialised");
    handOver_->OpenCommandLineFiles(commandLine_);
}

void MainWindow::Timer1Timer()
{
    if (tickCounter_ < 50)
        TraceLinef("T%03i", tickCounter_);
    ++tickCounter_;
    TickMs = tickCounter_ * MS_PER_TICK;
    // A dialog opened from within a tick runs its own event loop; the clock goes on, the tick's
    // work waits until the dialog is closed.
    if (!initialised_ || inTick_)
        return;
    const QScopedValueRollback<bool> inTick(inTick_, true);
    link_->Tick(tickCounter_, monitor_->Player().replaying());
    pages_->CommitIfDue(tickCounter_);
    SyncMapEditors();
    update_->Tick();
    pages_->ApplyTachoPickupText();
    monitor_->Tick();
}

// Shutdown in order: recorder, update check, ports, the active page, then the settings.
void MainWindow::FormClose()
{
    closed_ = true;
    timer_->stop();
    monitor_->Player().Stop();
    update_->Stop();
    link_->Engine().Ports().CloseAllPorts();
    ApplyPage();
    ValidateImage(image_, &outside_);
    SaveSettings();
}

void MainWindow::closeEvent(QCloseEvent* e)
{
    if (!closed_)
        FormClose();
    e->accept();
}

bool MainWindow::SaveSettings()
{
    if (!initialised_ && !closed_)
        return false; // nothing of a half-built window is worth keeping
    QString error;
    if (settings_->Save(&error))
        return true;
    status_->ShowHint(error);
    return false;
}

void MainWindow::ApplyCommandLine()
{
    if (commandLine_.language >= 0)
        LanguageIndex = commandLine_.language;
    if (commandLine_.noPatchCheck)
        noUpdateCheck_ = true;
}

// The link starts with the port selection of the settings; the demo offers its simulated unit instead.
void MainWindow::StartLink()
{
    if (commandLine_.demo) {
        std::string error;
        if (!link_->StartDemoUnit(&error))
            errorBox_("The simulated unit could not start: " + error);
    }
    link_->SetUpPorts(outside_.forcedPort, outside_.nextScanPort);
}

void MainWindow::RequestCommit(QObject* control, int kind)
{
    // Closing applied the page for the last time; focus changes while the window goes apply nothing.
    if (!closed_)
        pages_->RequestCommit(control, kind, tickCounter_);
}

void MainWindow::ApplyPage() { pages_->StoreActive(); }

void MainWindow::CommitPendingEdit() { pages_->CommitPending(); }

bool MainWindow::TakeUndoSnapshot() { return undo_->TakeSnapshot(); }

void MainWindow::CommitEdit()
{
    ApplyPage();
    ValidateImage(image_, &outside_);
    RefreshPages(false);
    ImageEdited(TakeUndoSnapshot());
}

void MainWindow::ImageEdited(bool changed)
{
    link_->Manager().CompareWithUnit();
    if (programAtOnce_->isChecked() && changed)
        link_->ProgramChanges();
}

void MainWindow::ImageReplaced()
{
    editorsReload_ = true;
    RefreshPages(true);
}

void MainWindow::RefreshPages(bool all)
{
    programAtOnce_->setStyleSheet(programAtOnce_->isChecked() ? "QCheckBox { background-color: red; }" : QString());
    pages_->Load(all);
}

PageHost::Answer MainWindow::AskYesNoCancel(const char* langText)
{
    if (questionBox)
        return questionBox(langText);
    const auto button = QMessageBox::question(this, QString(), QString::fromUtf8(LangText(langText)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? ANSWER_YES : button == QMessageBox::No ? ANSWER_NO : ANSWER_CANCEL;
}

void MainWindow::NewWithoutAsking() { fileMenu_->NewConfirmed(PAGE_ALL); }

void MainWindow::FocusProgramAfterChange() { programAtOnce_->setFocus(); }

// Every tick the editors get the image's base advance and limiters, the live operating point and
// the reload mark, which makes them forget the push memory of their normalization.
void MainWindow::SyncMapEditors()
{
    mapEditors_->TabTick(monitor_->EditorValues(), editorsReload_);
    editorsReload_ = false;
}

void MainWindow::DetachMapEditors()
{
    for (int i = 0; i < mapEditors_->Count(); ++i)
        if (MapEditor* tab = mapEditors_->At(i))
            tab->SetHost(nullptr);
}

void MainWindow::OnMapChanged(MapModel& editor, int)
{
    auto* tab = dynamic_cast<MapEditor*>(&editor);
    const int index = pages_->PageOf(tab);
    // A gathered edit may fall due after the user switched pages: store the editor's own page too.
    if (index >= 0 && index != pages_->Active() && pages_->Page(index))
        pages_->Page(index)->Store();
    RequestCommit(tab, COMMIT_NOW);
}

void MainWindow::ShowMapMessage(MapModel&, const char* text)
{
    const QString t = QString::fromUtf8(text);
    if (mapMessageBox)
        mapMessageBox(t);
    else
        QMessageBox::information(this, QString(), t);
}

void MainWindow::PortSelectionChanged(int forcedPort)
{
    if (!link_->DemoUnit())
        outside_.forcedPort = forcedPort;
    UpdateCaption();
}

void MainWindow::PortHandedOver()
{
    language_->SetLanguage(LanguageIndex);
    UpdateCaption();
}

void MainWindow::SetUnitPanelText(const std::string& text) { status_->SetUnitText(text); }

void MainWindow::ResultShown(int slot, uint32_t backColour) { differences_->ResultShown(slot, backColour); }

void MainWindow::CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit)
{
    history_->CommandEnded(kind, ok, unit);
}

int MainWindow::ConnectedPort() const { return link_->Engine().Search().connectedPort.load(); }

bool MainWindow::UnitFeedsMonitor() const { return link_->LiveUnit(); }

ConnectionManager& MainWindow::Connection() { return link_->Manager(); }

std::string MainWindow::UnitPanelText() const { return status_->Text(WindowStatusBar::UNIT_PANEL).toStdString(); }

const RuntimeTexts& MainWindow::Texts() const { return language_->Texts(); }

PageRecord MainWindow::ShownPages() const { return pages_->Record(); }

void MainWindow::ShowPages(const PageRecord& record) { pages_->Restore(record); }

void MainWindow::UpdatePageVisibility() { pages_->UpdateVisibility(false); }

void MainWindow::UpdateCaption()
{
    // The file name names the image only while the image is still the one last saved or opened.
    const std::string file = image_ == fileState_.savedImage ? fileState_.currentFile.toStdString() : std::string();
    setWindowTitle(monitor_->ReplayCaption()
        + QString::fromUtf8(WindowCaption(file, link_->Engine().Search().searchEnabled != 0).c_str())
        + (fileMenu_ ? fileMenu_->Reference().Caption() : QString()));
}

bool MainWindow::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        status_->ShowHint(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool MainWindow::eventFilter(QObject* watched, QEvent* e)
{
    if (e->type() != QEvent::KeyPress)
        return QMainWindow::eventFilter(watched, e);
    const auto* key = static_cast<QKeyEvent*>(e);
    auto* control = qobject_cast<QWidget*>(watched);
    const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
    if (!enter || !control || control->window() != this || !initialised_)
        return QMainWindow::eventFilter(watched, e);
    // A map editor uses Enter itself.
    for (QWidget* w = control; w; w = w->parentWidget())
        if (qobject_cast<MapEditor*>(w))
            return QMainWindow::eventFilter(watched, e);
    focusNextChild();
    RequestCommit(control, COMMIT_NOW);
    return true;
}

void MainWindow::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* e)
{
    handOver_->Drop(*e->mimeData());
    e->acceptProposedAction();
}
