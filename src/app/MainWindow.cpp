#include "app/MainWindow.h"

#include "about/Branding.h"
#include "about/AboutDialog.h"
#include "app/BootloaderChannel.h"
#include "app/FileMenu.h"
#include "app/SignalClose.h"
#include "app/TestSettings.h"
#include "app/WindowLink.h"
#include "archive/ArchiveStartup.h"
#include "base/BuildInfo.h"
#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "link/WindowCaption.h"
#include "mapedit/ui/MapEditor.h"
#include "model/ImageDefaults.h"
#include "model/LayoutSelfCheck.h"
#include "model/LoadGroups.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusTipEvent>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The pages' least width: every page fits it at the smallest window.
constexpr int PAGES_MIN_WIDTH = 600;

void DefaultErrorBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, "Error", QString::fromUtf8(text.c_str()), QMessageBox::Ok);
    box.exec();
}

} // namespace

MainWindow::MainWindow(const std::vector<std::string>& args, ErrorBox errorBox, QWidget* parent)
    : QMainWindow(parent), errorBox_(errorBox ? std::move(errorBox) : ErrorBox(DefaultErrorBox))
{
    // Before the port table exists, so that its first trace line is written.
    Trace::OpenFromEnvironment();
    commandLine_ = CommandLine::Parse(args);
    SetLangReportSink(errorBox_);
    settings_ = std::make_unique<WindowSettings>(*this, Image, outside_, fileState_);
    monitor_ = std::make_unique<WindowMonitor>(*this, errorBox_);
    undo_ = std::make_unique<WindowUndo>(*this);
    language_ = std::make_unique<WindowLanguage>(*this);
    pages_ = std::make_unique<WindowPages>(*this, binder_, mapEditors_);
    link_ = std::make_unique<WindowLink>(*this);
    CreateForm();
    initialised_ = false;
    Monitor.clear();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(TIMER_INTERVAL_MS);
    connect(Timer1, &QTimer::timeout, this, &MainWindow::Timer1Timer);
    Timer1->start();
    // A signal ends the program the way closing the window does: edits applied, settings written.
    new SignalClose([this] { close(); }, this);

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

// The settings pages and the program switch on the left, the monitor and its player on the right,
// the link's messages across the bottom. Only the pages grow with the window; no page and no text
// changes the size or place of anything else.
void MainWindow::CreateForm()
{
    setObjectName("MainForm");
    FormAbout = new AboutDialog(this);
    auto* central = new QWidget(this);
    auto* rows = new QVBoxLayout(central);
    auto* columns = new QHBoxLayout;
    rows->addLayout(columns, 1);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 1);
    columns->addWidget(monitor_->CreateColumn(central));
    CheckBoxProgHned = new QCheckBox(central);
    CheckBoxProgHned->setObjectName("CheckBoxProgHned");
    connect(CheckBoxProgHned, &QCheckBox::toggled, this, [this] { RefreshPages(false); });
    left->addWidget(CheckBoxProgHned);
    QTabWidget* tabs = pages_->CreateTabs(central);
    // A page wider than this (the sensor tables shown, a long caption) is clipped, never the monitor.
    tabs->setMinimumWidth(PAGES_MIN_WIDTH);
    left->addWidget(tabs, 1);
    auto* messages = new QHBoxLayout;
    link_->CreateControls(central, left, messages);
    rows->addLayout(messages);
    setCentralWidget(central);

    BuildMenus();
    resize(1000, 700);
    status_ = std::make_unique<WindowStatusBar>(statusBar());
}

// Menu items carry their control names as object names, so the caption tables find them.
void MainWindow::BuildMenus()
{
    const auto menu = [this](const char* name) {
        QMenu* m = menuBar()->addMenu(QString());
        m->menuAction()->setObjectName(name);
        return m;
    };
    QMenu* tools = menu("MenuTools");
    undo_->CreateMenuItems(tools);
    AddAdvanceMenuItems(tools);
    link_->CreateMenus(menuBar(), tools->menuAction());

    QToolBar* bar = addToolBar(QString());
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    undo_->CreateButtons(bar);
    monitor_->CreateMenuItem(tools);
    language_->CreateMenu(menuBar());

    QMenu* help = menu("MenuHelp");
    help->addAction(QString(), QKeySequence(Qt::Key_F1), this, &MainWindow::MenuContensClick)->setObjectName("MenuContens");
    help->addAction(QString(), this, [this] { FormAbout->MenuAboutClick(); })->setObjectName("MenuAbout");

    fileMenu_ = new FileMenu(*this, Image, fileState_, errorBox_, &outside_);
    fileMenu_->Build(menuBar(), bar);
    ConnectFileMenuToLink();
}

// F4 and F5 step the selection (or the live cell) of the focused map editor.
void MainWindow::AddAdvanceMenuItems(QMenu* tools)
{
    const auto item = [&](const char* name, Qt::Key key, int direction) {
        QAction* a = tools->addAction(QString(), QKeySequence(key), this, [this, direction] {
            mapEditors_.StepFocused(direction);
        });
        a->setObjectName(name);
    };
    item("MenuAdvanceMinus", Qt::Key_F4, -1);
    item("MenuAdvancePlus", Qt::Key_F5, 1);
}

// Start-up, in the order the rest of the program relies on: defaults before settings,
// settings before the command line, texts before the first refresh.
void MainWindow::FormCreate()
{
    OpenProgramArchive(crate_, QCoreApplication::applicationFilePath().toStdString());
    const TestSettings test = ReadTestSettings();
    testMode_ = test.testMode;
    testPort_ = test.testPort;

    ValidateImage(Image, &outside_);
    pages_->BuildPages();

    compileDate_ = ProgramCompileDate();
    status_->ShowStartTexts(compileDate_);

    Image.Adrb(BIKE) = 20;
    outside_.forcedPort = 1;
    ResetDefaults(Image, PAGE_ALL);
    ValidateImage(Image, &outside_);

    CentreWindow();
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
    UpdatePageVisibility(true);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    ListenForBootloader();
    LayoutSelfCheck(errorBox_);
    link_->manager().UpdateUnitPanel();
    RefreshMonitorDisplay();
    StartUpdateCheck();

    initialised_ = true;
    TraceLine("FORM Initialised");
    OpenCommandLineFiles();
}

// The bootloader tool's socket also brings the files of a second start of the program.
void MainWindow::ListenForBootloader()
{
    bootloader_ = new BootloaderChannel([this](int port, uint32_t code) { link_->BootloaderMessage(port, code); }, this);
    bootloader_->onFile = [this](const QString& path) {
        OpenFromOutside(path);
        raise();
        activateWindow();
    };
    if (!bootloader_->Listen())
        TraceLine("BOOTLOADER CHANNEL NOT OPEN");
}

// The files open on the whole window, after the settings and the language word have been applied.
// The history keeps them by their absolute names, so they open again from any working folder.
void MainWindow::OpenCommandLineFiles()
{
    for (const std::string* file : { &commandLine_.paramFile, &commandLine_.recordingFile })
        if (!file->empty())
            OpenFromOutside(QFileInfo(QFile::decodeName(QByteArray::fromStdString(*file))).absoluteFilePath());
}

void MainWindow::OpenFromOutside(const QString& path)
{
    if (path.endsWith(".ignlog", Qt::CaseInsensitive))
        monitor_->OpenRecording(path);
    else
        fileMenu_->OpenDropped({ path });
}

void MainWindow::StartUpdateCheck()
{
    patchHost_ = std::make_unique<PatchWindowHost>(
        this, [this](const std::string& t) { status_->ShowHint(QString::fromUtf8(t.c_str())); },
        [this] { SaveSettings(); });
    patch_ = std::make_unique<UpdateCheck>(*patchHost_, patchSettings_, compileDate_);
    patch_->Start(noUpdateCheck_);
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
    link_->Tick(tickCounter_, player().replaying());
    pages_->CommitIfDue(tickCounter_);
    SyncMapEditors();
    if (patch_)
        patch_->Tick();
    pages_->ApplyTachoPickupText();
    monitor_->Tick();
}

// Shutdown in order: recorder, update check, ports, the active page, then the settings.
void MainWindow::FormClose()
{
    closed_ = true;
    Timer1->stop();
    player().Stop();
    if (patch_)
        patch_->Stop();
    link_->link().CloseAllPorts();
    ApplyPage();
    ValidateImage(Image, &outside_);
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

void MainWindow::CentreWindow()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move((s.width() - width()) / 2, (s.height() - height()) / 2);
    }
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

// A saved file carries the unit's version labels.
void MainWindow::ConnectFileMenuToLink()
{
    fileMenu_->unitInfo = [this] {
        const auto label = [this](const char* name) {
            const QLabel* l = findChild<QLabel*>(name);
            return l ? l->text() : QString();
        };
        IgnUnitInfo unit;
        unit.connectedPort = link_->link().connectedPort.load();
        unit.firmwareVersion = label("LabelVerze1");
        unit.firmwareDate = label("LabelVerze2");
        unit.firmwareTime = label("LabelVerze3");
        return unit;
    };
}

void MainWindow::RequestCommit(QObject* control, int kind)
{
    // Closing applied the page for the last time; focus changes while the window goes apply nothing.
    if (!closed_)
        pages_->RequestCommit(control, kind, tickCounter_);
}

void MainWindow::CommitEdit()
{
    ApplyPage();
    ValidateImage(Image, &outside_);
    RefreshPages(false);
    ImageEdited(TakeUndoSnapshot());
}

void MainWindow::ImageEdited(bool changed)
{
    link_->manager().CompareWithUnit();
    if (CheckBoxProgHned->isChecked() && changed)
        link_->manager().RequestProgramChanged();
}

void MainWindow::ImageReplaced()
{
    editorsReload_ = true;
    RefreshPages(true);
}

void MainWindow::RefreshPages(bool all)
{
    CheckBoxProgHned->setStyleSheet(CheckBoxProgHned->isChecked() ? "QCheckBox { background-color: red; }" : QString());
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

void MainWindow::FocusProgramAfterChange() { CheckBoxProgHned->setFocus(); }

// Every tick the editors get the image's base advance and limiters, the live operating point and
// the reload mark, which makes them forget the push memory of their normalization.
void MainWindow::SyncMapEditors()
{
    mapEditors_.TabTick(monitor_->EditorValues(), editorsReload_);
    editorsReload_ = false;
}

void MainWindow::DetachMapEditors()
{
    for (int i = 0; i < mapEditors_.Count(); ++i)
        if (MapEditor* tab = mapEditors_.At(i))
            tab->SetHost(nullptr);
}

void MainWindow::OnMapChanged(MapModel& editor, int)
{
    auto* tab = dynamic_cast<MapEditor*>(&editor);
    const int index = pages_->PageOf(tab);
    // A gathered edit may fall due after the user switched pages: store the editor's own page too.
    if (index >= 0 && index != activePage() && page(index))
        page(index)->Store();
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

ChangedMap& MainWindow::changedMap() { return link_->manager().changedMap; }

int MainWindow::pendingCommand() const { return link_->manager().pendingCommand; }

void MainWindow::PortSelectionChanged(int forcedPort)
{
    if (!link_->demoUnit())
        outside_.forcedPort = forcedPort;
    UpdateCaption();
}

void MainWindow::ForgetFileName()
{
    fileState_.currentFile.clear();
    UpdateCaption();
}

void MainWindow::HideResultStatus() { link_->status().ShowStatus(2, nullptr, 0, 0, COLOUR_UNCHANGED, -1); }

void MainWindow::UpdateCaption()
{
    // The file name names the image only while the image is still the one last saved or opened.
    const std::string file = Image == fileState_.savedImage ? fileState_.currentFile.toStdString() : std::string();
    setWindowTitle(QString::fromUtf8(WindowCaption(file, link_->link().searchEnabled != 0).c_str()));
}

IgnOpenResult MainWindow::OpenParameterFile(int page, const QString& path)
{
    return fileMenu_->OpenParameterFile(page, path);
}

void MainWindow::MenuContensClick()
{
    const QString address = QString::fromUtf8(ProgramBranding().webHost) + ManualPath(LanguageIndex);
    const bool opened = openUrl ? openUrl(address) : QDesktopServices::openUrl(QUrl(address));
    if (!opened) {
        const QString text = QString("%1 %2 !").arg(QString::fromUtf8(LangText(
            "###Error by opening www link##Fehler beim öffnen der www Link##Chyba při otevírání www odkazu")), address);
        errorBox_(text.toStdString());
    }
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

// Only the first parameter file of a drop is opened; other files are ignored.
void MainWindow::dropEvent(QDropEvent* e)
{
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    fileMenu_->OpenDropped(paths);
    e->acceptProposedAction();
}
