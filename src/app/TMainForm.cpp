#include "app/TMainForm.h"

#include "about/Branding.h"
#include "about/TFormAbout.h"
#include "app/BootloaderChannel.h"
#include "base/BuildInfo.h"
#include "link/WindowCaption.h"
#include "app/FileMenu.h"
#include "app/TestSettings.h"
#include "archive/CrateStartup.h"
#include "app/QtTranslations.h"
#include "base/TickClock.h"
#include "app/WindowLink.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "model/ImageDefaults.h"
#include "model/LayoutSelfCheck.h"
#include "model/LoadGroups.h"
#include "mapedit/ui/TTab.h"
#include "pages/PageAdvance.h"
#include "pages/PageBike.h"
#include "pages/PageMisc.h"
#include "pages/PagePowerOut.h"
#include "pages/PageServo.h"
#include "pages/PageTest.h"
#include "monitor/ui/MonitorPanel.h"
#include "monitor/ui/PlayerPanel.h"
#include "pages/TUpDown.h"
#include "mapedit/ui/TTab.h"

#include <QAbstractButton>
#include <QActionGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QDesktopServices>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QUrl>
#include <QLineEdit>
#include <QMenuBar>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScopedValueRollback>
#include <QScreen>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QStyle>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

struct PageInfo {
    const char* objectName;
    const char* caption; // for the tabs the caption table does not name
    bool tabVisible;
};

// The ten settings pages in index order; Sensors, Gear, Race and N2O keep their tabs hidden.
constexpr PageInfo kPages[PAGE_COUNT] = {
    {"TabSheetRuzne", nullptr, true},
    {"TabSheetBike", nullptr, true},
    {"TabSheetSensors", "###Sensors##Sensoren##Snímače", false},
    {"TabSheetAdvance", nullptr, true},
    {"TabSheetPOut", "###Power out##Leistungsausgänge##Výkonové výstupy", true},
    {"TabSheetServo", "Servo", true},
    {"TabSheet_Gear", nullptr, false},
    {"TabSheet_Race", "###Race##Rennen##Závod", false},
    {"TabSheet_N2O", "N2O", false},
    {"TabSheet_Ladeni", nullptr, true},
};

// Controls of functions this unit family does not offer; they stay hidden whatever the monitor data says.
const char* const kFamilyHiddenControls[] = {"CGaugeProgram", "LabelEeDataErr", "LabelHourMeter", "LabelMonLambda",
    "CGaugeLambda", "LabelMonTachoLambdaOut", "GroupBoxLambdaBar", "LabelLambdaBlue", "LabelLambdaGreen",
    "LabelLambdaRed", "LabelStartLimiterMin", "EditStartLimiterMin", "UpDownStartLimiterMin", "EditSoftLimiter",
    "UpDownSoftLimiter", "LabelSoftLimiter", "GroupDwell", "GroupCalibDwell", "CheckBoxSpecDwellByStart", "LabelT1",
    "LabelT2", "LabelT3", "LabelT4", "Label2ndAdv", "LabelMonPotiCor", "LabelPotentiometer", "CGaugePotentiometer",
    "GroupBoxPoti", "GroupBoxAcc", "RadioButtonPoti4", "LabelMonN2oProcent", "LabelMonGear", "LabelMonSpeed",
    "CheckBoxInNeutralSs", "UpDownPocSynchro", "LabelPocSynchro", "EditPocSynchro", "GroupBoxChannelsEnable",
    "GroupBoxInputsEnable", "GroupBoxCAN"};
const char* const kFamilyHiddenPrefixes[] = {"EditDwell", "UpDownDwell", "LabelDwell"};

constexpr int STATUS_PANEL_WIDTHS[5] = {400, 40, 350, 40, 100};

void DefaultErrorBox(const std::string& text)
{
    QMessageBox box(QMessageBox::Critical, "Error", QString::fromUtf8(text.c_str()), QMessageBox::Ok);
    box.exec();
}

} // namespace

TMainForm::TMainForm(const std::vector<std::string>& args, ErrorBox errorBox, QWidget* parent)
    : QMainWindow(parent), settingsStore_(ChooseSettingsPaths()),
      errorBox_(errorBox ? std::move(errorBox) : ErrorBox(DefaultErrorBox)),
      player_(playerHooks()),
      undo_({[this] { SaveSettings(); }, [this](const ParamImage& img) { player_.LogImage(img); }, {}})
{
    commandLine_ = CommandLine::Parse(args);
    SetLangReportSink(errorBox_);
    link_ = std::make_unique<WindowLink>(*this);
    CreateForm();
    initialised_ = false;
    Monitor.clear();

    Timer1 = new QTimer(this);
    Timer1->setObjectName("Timer1");
    Timer1->setInterval(TIMER_INTERVAL_MS);
    connect(Timer1, &QTimer::timeout, this, &TMainForm::Timer1Timer);
    Timer1->start();

    FormCreate();
}

TMainForm::~TMainForm()
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

void TMainForm::CreateForm()
{
    setObjectName("MainForm");
    FormAbout = new TFormAbout(this);
    auto* central = new QWidget(this);
    auto* columns = new QHBoxLayout(central);
    auto* left = new QVBoxLayout;
    columns->addLayout(left, 3);
    auto* right = new QVBoxLayout;
    columns->addLayout(right, 2);
    monitorPanel_ = new MonitorPanel(central);
    right->addWidget(monitorPanel_, 1);
    playerPanel_ = new PlayerPanel(player_, [this](bool forSaving) {
        if (chooseLogFile)
            return chooseLogFile(forSaving);
        const QString filter = "IGN log file (*.ignlog)";
        return forSaving ? QFileDialog::getSaveFileName(this, QString(), QString(), filter)
                         : QFileDialog::getOpenFileName(this, QString(), QString(), filter);
    }, central);
    playerPanel_->recordingInfo = [this] {
        RecordingInfo info;
        info.compileDate = compileDate_;
        for (const QScreen* screen : QGuiApplication::screens()) {
            const QRect g = screen->geometry();
            info.monitors.push_back({g.left(), g.width(), g.top(), g.height()});
        }
        return info;
    };
    playerPanel_->hide();
    right->addWidget(playerPanel_);
    auto* layout = left;
    CheckBoxProgHned = new QCheckBox(central);
    CheckBoxProgHned->setObjectName("CheckBoxProgHned");
    connect(CheckBoxProgHned, &QCheckBox::toggled, this, [this] { RefreshPages(false); });
    layout->addWidget(CheckBoxProgHned);
    PageControl1 = new QTabWidget(central);
    PageControl1->setObjectName("PageControl1");
    for (const PageInfo& page : kPages) {
        auto* sheet = new QWidget(PageControl1);
        sheet->setObjectName(page.objectName);
        PageControl1->addTab(sheet, QString());
    }
    layout->addWidget(PageControl1);
    link_->CreateControls(central, layout);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int index) {
        activePage_ = index;
        RefreshPages(false);
        PageRecord pages;
        pages.page = static_cast<uint8_t>(index);
        player_.LogPages(pages);
    });
    setCentralWidget(central);

    BuildMenus();
    resize(1000, 700);
    BuildStatusBar();
}

// Menu items carry their control names as object names, so the caption tables find them.
void TMainForm::BuildMenus()
{
    const auto menu = [this](const char* name) {
        QMenu* m = menuBar()->addMenu(QString());
        m->menuAction()->setObjectName(name);
        return m;
    };
    QMenu* tools = menu("MenuTools");
    QAction* undo = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::Key_Z), this, &TMainForm::Undo);
    undo->setObjectName("MenuZpet");
    QAction* redo = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::ALT | Qt::Key_Z), this, &TMainForm::Redo);
    redo->setObjectName("MenuZnovu");
    AddAdvanceMenuItems(tools);
    link_->CreateMenus(menuBar(), tools->menuAction());

    // The tool buttons share the handlers of their menu items.
    QToolBar* bar = addToolBar(QString());
    bar->setObjectName("ToolBar1");
    bar->setMovable(false);
    const auto button = [&](const char* name, QStyle::StandardPixmap icon, void (TMainForm::*handler)()) {
        auto* b = new QToolButton(bar);
        b->setObjectName(name);
        b->setIcon(style()->standardIcon(icon));
        connect(b, &QToolButton::clicked, this, handler);
        bar->addWidget(b);
        return b;
    };
    button("SpeedButtonZpet", QStyle::SP_ArrowBack, &TMainForm::Undo);
    button("SpeedButtonZnovu", QStyle::SP_ArrowForward, &TMainForm::Redo);
    QAction* player = tools->addAction(QString(), QKeySequence(Qt::CTRL | Qt::Key_M), this, &TMainForm::MenuMonitorPlayerClick);
    player->setObjectName("MenuMonitorPlayer");
    player->setCheckable(true);

    QMenu* language = menu("MenuLanguage");
    auto* group = new QActionGroup(this);
    const char* names[] = {"MenuEnglish", "MenuGerman", "MenuCzech"};
    for (int lang = 0; lang < LANG_COUNT; ++lang) {
        QAction* a = language->addAction(QString(), this, [this, lang] { SetLanguage(lang); });
        a->setObjectName(names[lang]);
        a->setCheckable(true);
        group->addAction(a);
    }

    QMenu* help = menu("MenuHelp");
    help->addAction(QString(), QKeySequence(Qt::Key_F1), this, &TMainForm::MenuContensClick)->setObjectName("MenuContens");
    help->addAction(QString(), this, [this] { FormAbout->MenuAboutClick(); })->setObjectName("MenuAbout");

    fileMenu_ = new FileMenu(*this, Image, fileState_, errorBox_, &outside_);
    fileMenu_->Build(menuBar(), bar);
    ConnectFileMenuToLink();
}

MonitorPlayer::Hooks TMainForm::playerHooks()
{
    MonitorPlayer::Hooks h;
    h.clockMs = [] {
        static QElapsedTimer clock = [] {
            QElapsedTimer t;
            t.start();
            return t;
        }();
        return clock.elapsed();
    };
    h.wallSeconds = [] { return static_cast<int64_t>(std::time(nullptr)); };
    h.connectedPort = [this] { return link_->link().connectedPort.load(); };
    h.unitPanelText = [this] { return statusPanels_[4]->text().toStdString(); };
    h.image = [this] { return Image; };
    h.unitMirror = [this]() -> const ParamImage* {
        const ConnectionManager& m = link_->manager();
        return m.unitMirrorValid ? &m.UnitMirror : nullptr;
    };
    h.replayMirror = [this](const ParamImage& mirror) {
        ConnectionManager& m = link_->manager();
        m.UnitMirror = mirror;
        m.unitMirrorValid = 1;
        m.CompareWithUnit();
    };
    h.pages = [this] {
        PageRecord p;
        p.page = static_cast<uint8_t>(activePage_);
        return p;
    };
    h.replayImage = [this](const ParamImage& img) {
        Image = img;
        ImageReplaced();
        link_->manager().CompareWithUnit();
    };
    h.replayMonitor = [this](const uint8_t* bytes) { ReplayMonitor(bytes); };
    h.replayPages = [this](const PageRecord& p) { SelectPage(p.page); };
    h.message = [this](const std::string& text, const std::string&) { errorBox_(text); };
    return h;
}

void TMainForm::ReplayMonitor(const uint8_t* bytes)
{
    std::copy_n(bytes, 100, Monitor.bytes().begin());
    UpdateLiveSource();
    liveSource_ = true;
    RefreshMonitorDisplay();
}

void TMainForm::UpdateLiveSource() { liveSource_ = player_.replaying() || link_->liveUnit(); }

void TMainForm::MenuMonitorPlayerClick()
{
    playerPanel_->setHidden(!playerPanel_->isHidden());
    findChild<QAction*>("MenuMonitorPlayer")->setChecked(!playerPanel_->isHidden());
    SaveSettings();
}

void TMainForm::MenuContensClick()
{
    const QString address = QString::fromUtf8(ProgramBranding().webHost) + ManualPath(LanguageIndex);
    const bool opened = openUrl ? openUrl(address) : QDesktopServices::openUrl(QUrl(address));
    if (!opened) {
        const QString text = QString("%1 %2 !").arg(QString::fromUtf8(LangText(
            "###Error by opening www link##Fehler beim öffnen der www Link##Chyba při otevírání www odkazu")), address);
        errorBox_(text.toStdString());
    }
}

void TMainForm::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName("StatusBar1");
    bar->setSizeGripEnabled(false);
    for (int i = 0; i < 5; ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QString("StatusPanel%1").arg(i));
        panel->setFixedWidth(STATUS_PANEL_WIDTHS[i]);
        panel->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(panel, i == 0 ? 1 : 0);
        statusPanels_[i] = panel;
    }
    statusPanels_[1]->setText("EXE");
    statusPanels_[1]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    statusPanels_[3]->setText("HEX");
    statusPanels_[3]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
}

// Start-up, in the order the rest of the program relies on: defaults before settings,
// settings before the command line, texts before the first refresh.
void TMainForm::FormCreate()
{
    Trace::OpenFromEnvironment();
    Trace::SetOrigin();
    OpenProgramCrate(crate_, QCoreApplication::applicationFilePath().toStdString());
    const TestSettings test = ReadTestSettings();
    testMode_ = test.testMode;
    testPort_ = test.testPort;

    ValidateImage(Image, &outside_);
    BuildPages();

    compileDate_ = ProgramCompileDate();
    statusPanels_[2]->setText(QString::fromStdString(VersionLine(compileDate_)));
    statusPanels_[4]->setText("not connected");

    Image.Adrb(BIKE) = 20;
    outside_.forcedPort = 1;
    ResetDefaults(Image, PAGE_ALL);
    ValidateImage(Image, &outside_);

    CentreWindow();
    LoadSettings();
    if (testMode_ && testPort_ > 0)
        outside_.forcedPort = testPort_;
    ApplyCommandLine();
    StartLink();

    ApplyCaptions(languageTargets());
    RefreshPages(true);
    undo_.UndoInit(Image, activePage_, changedMap());
    UpdateUndoButtons();
    ApplyQtTranslations(LanguageIndex);
    BuildRuntimeTexts(texts_, languageTargets());
    RetranslatePages();
    RefreshPages(false);
    link_->BuildComMenu();
    ApplyDefaultVisibility();
    editorsReload_ = true;
    UpdatePageVisibility(true);

    setAcceptDrops(true);
    qApp->installEventFilter(this);
    bootloader_ = new BootloaderChannel([this](int port, uint32_t code) { link_->BootloaderMessage(port, code); }, this);
    if (!bootloader_->Listen())
        TraceLine("BOOTLOADER CHANNEL NOT OPEN");
    LayoutSelfCheck(errorBox_);
    link_->manager().UpdateUnitPanel();
    RefreshMonitorDisplay();
    patchHost_ = std::make_unique<PatchWindowHost>(
        this, [this](const std::string& t) { statusPanels_[0]->setText(QString::fromUtf8(t.c_str())); },
        [this] { SaveSettings(); });
    patch_ = std::make_unique<CPatchCheck>(*patchHost_, patchSettings_, compileDate_);
    patch_->Start(noUpdateCheck_);

    initialised_ = true;
    TraceLine("FORM Initialised");
}

// A developer or a portable installation may name another settings folder in VORDAX4_SETTINGS_DIR.
SettingsPaths TMainForm::ChooseSettingsPaths()
{
    const QString dir = qEnvironmentVariable("VORDAX4_SETTINGS_DIR");
    return dir.isEmpty() ? SettingsPaths::Standard() : SettingsPaths::Below(dir);
}

void TMainForm::LoadSettings()
{
    settings_.window = geometry();
    settings_.language = LanguageIndex;
    settings_.activePage = activePage_;
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = outside_.nextScanPort;
    std::vector<QRect> monitors;
    for (const QScreen* screen : QGuiApplication::screens())
        monitors.push_back(screen->availableGeometry());
    settingsStore_.LoadSettings(settings_, Image, monitors);
    setGeometry(settings_.window);
    LanguageIndex = settings_.language;
    outside_.forcedPort = settings_.comPort;
    outside_.nextScanPort = settings_.comPortAuto;
    fileState_.currentFile = settings_.file;
    fileState_.fileFolder = settings_.iniFileDir;
    fileState_.newInstal = settings_.newInstal;
    fileState_.history = FileHistory(settings_.history);
    fileMenu_->PresetDialogs(settings_.iniFileDir);
    fileMenu_->RefreshHistoryMenu();
    if (settings_.activePage >= 0 && settings_.activePage < PAGE_COUNT) {
        PageControl1->setCurrentIndex(settings_.activePage);
        activePage_ = PageControl1->currentIndex();
    }
    playerPanel_->setHidden(!settings_.monitorPlayer);
    if (auto* a = findChild<QAction*>("MenuMonitorPlayer"))
        a->setChecked(settings_.monitorPlayer);
    ValidateImage(Image, &outside_);
    // The image kept at the last shutdown is taken as the state of the file named with it.
    fileState_.savedImage = Image;
}

void TMainForm::CollectSettings()
{
    settings_.window = geometry();
    settings_.language = LanguageIndex;
    settings_.activePage = activePage_;
    settings_.comPort = outside_.forcedPort;
    settings_.comPortAuto = link_->link().nextScanPort;
    settings_.file = fileState_.currentFile;
    settings_.iniFileDir = fileState_.fileFolder;
    settings_.newInstal = fileState_.newInstal;
    settings_.history = fileState_.history.entries();
    settings_.monitorPlayer = !playerPanel_->isHidden();
}

bool TMainForm::SaveSettings()
{
    if (!initialised_ && !closed_)
        return false; // nothing of a half-built window is worth keeping
    CollectSettings();
    QString error;
    if (settingsStore_.SaveSettings(settings_, Image, &error))
        return true;
    statusPanels_[0]->setText(error);
    return false;
}

void TMainForm::ApplyCommandLine()
{
    if (commandLine_.language >= 0)
        LanguageIndex = commandLine_.language;
    if (commandLine_.noPatchCheck)
        noUpdateCheck_ = true;
}

void TMainForm::CentreWindow()
{
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect s = screen->geometry();
        move((s.width() - width()) / 2, (s.height() - height()) / 2);
    }
}

void TMainForm::ApplyDefaultVisibility()
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        PageControl1->setTabVisible(i, kPages[i].tabVisible);
    const auto hide = [](QWidget* w) {
        if (w->objectName() == "CGaugeProgram" || w->objectName() == "LabelEeDataErr") {
            w->hide(); // shown again by a command's progress or by the unit's data-error flag
            return;
        }
        w->setProperty("hiddenInFamily", true);
        w->hide();
    };
    for (const char* name : kFamilyHiddenControls)
        for (QWidget* w : findChildren<QWidget*>(QString::fromLatin1(name)))
            hide(w);
    for (QWidget* w : findChildren<QWidget*>())
        for (const char* prefix : kFamilyHiddenPrefixes)
            if (w->objectName().startsWith(QLatin1String(prefix)))
                hide(w);
    fileMenu_->SetServiceMenuVisible(testMode_);
}

void TMainForm::Timer1Timer()
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
    link_->Tick(tickCounter_, player_.replaying());
    CommitPendingIfDue();
    SyncMapEditors();
    if (patch_)
        patch_->Tick();
    ApplyTachoPickupText();
    if (player_.state() == MonitorPlayer::Playing)
        player_.PlaybackTick();
    if (player_.state() != MonitorPlayer::Idle)
        playerPanel_->UpdateDisplay();
    const bool wasLive = liveSource_;
    UpdateLiveSource();
    if (wasLive && !liveSource_)
        RefreshMonitorDisplay();
}

void TMainForm::BuildPages()
{
    pages_[PAGE_MISC] = new PageMisc(
        binder_, *this, PageControl1->widget(PAGE_MISC), mapEditors_, [this] { return SensorMillivolts(); });
    pages_[PAGE_SENSORS] = pages_[PAGE_MISC]; // the sensors live on the Miscellaneous page
    pages_[PAGE_BIKE] = new PageBike(binder_, *this, PageControl1->widget(PAGE_BIKE));
    pages_[PAGE_TEST] = new PageTest(binder_, *this, PageControl1->widget(PAGE_TEST),
        [this](MonitorRequest::TestButton b) { monitorRequest_.Press(b); });
    BuildFunctionPages();
}

void TMainForm::BuildFunctionPages()
{
    pages_[PAGE_ADVANCE] = new PageAdvance(binder_, *this, PageControl1->widget(PAGE_ADVANCE), mapEditors_);
    pages_[PAGE_POWER_OUT] = new PagePowerOut(binder_, *this, PageControl1->widget(PAGE_POWER_OUT), mapEditors_);
    pages_[PAGE_SERVO] = new PageServo(binder_, *this, PageControl1->widget(PAGE_SERVO), mapEditors_);
}

// F4 and F5 step the selection (or the live cell) of the focused map editor.
void TMainForm::AddAdvanceMenuItems(QMenu* tools)
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

// Every tick the editors get the image's base advance and limiters, the live operating point and
// the reload mark, which makes them forget the push memory of their normalization.
void TMainForm::SyncMapEditors()
{
    const OperatingPoint& p = monitorView_.point;
    MapLiveValues live;
    live.engineRpm = p.rpm;
    live.throttle = p.loadTenths >= 0 ? p.loadTenths / 10 : -1;
    live.pressure = p.loadKpa >= 0 ? p.loadKpa : 0;
    live.manifoldLoad = p.sensorKind == 2;
    live.baseAdvance = Image.Adrb(BASE_ADV);
    live.limiterRpm = Image.Adrb(LIMITER) * 100;
    live.startLimiterRpm = Image.Adrb(START_LIM) * 100;
    mapEditors_.TabTick(live, editorsReload_);
    editorsReload_ = false;
}

void TMainForm::DetachMapEditors()
{
    for (int i = 0; i < mapEditors_.Count(); ++i)
        if (TTab* tab = mapEditors_.At(i))
            tab->SetHost(nullptr);
}

int TMainForm::PageOfEditor(const QWidget* editor) const
{
    for (const QWidget* w = editor; w; w = w->parentWidget())
        if (const int index = PageControl1->indexOf(const_cast<QWidget*>(w)); index >= 0)
            return index;
    return -1;
}

void TMainForm::OnMapChanged(CTab& editor, int)
{
    auto* tab = dynamic_cast<TTab*>(&editor);
    const int index = PageOfEditor(tab);
    // A gathered edit may fall due after the user switched pages: store the editor's own page too.
    if (index >= 0 && index != activePage_ && page(index))
        page(index)->Store();
    RequestCommit(tab, COMMIT_NOW);
}

void TMainForm::ShowMapMessage(CTab&, const char* text)
{
    const QString t = QString::fromUtf8(text);
    if (mapMessageBox)
        mapMessageBox(t);
    else
        QMessageBox::information(this, QString(), t);
}

std::optional<int> TMainForm::SensorMillivolts() const
{
    if (!liveSource_)
        return std::nullopt;
    return Monitor.Monw(MON_SENSOR_MV);
}

void TMainForm::setControlText(const char* control, const char* text)
{
    const QString name = QString::fromLatin1(control);
    const QString t = QString::fromUtf8(text);
    for (QAction* a : findChildren<QAction*>(name))
        a->setText(t);
    for (int i = 0; i < PageControl1->count(); ++i)
        if (PageControl1->widget(i)->objectName() == name)
            PageControl1->setTabText(i, t);
    QWidget* w = findChild<QWidget*>(name);
    if (auto* b = qobject_cast<QAbstractButton*>(w))
        b->setText(t);
    else if (auto* l = qobject_cast<QLabel*>(w))
        l->setText(t);
    else if (auto* g = qobject_cast<QGroupBox*>(w))
        g->setTitle(t);
}

void TMainForm::setControlHint(const char* control, const char* text)
{
    const QString name = QString::fromLatin1(control);
    const QString t = QString::fromUtf8(text);
    for (QAction* a : findChildren<QAction*>(name)) {
        a->setToolTip(t);
        a->setStatusTip(t);
    }
    if (QWidget* w = findChild<QWidget*>(name)) {
        w->setToolTip(t);
        w->setStatusTip(t);
    }
}

LanguageTargets TMainForm::languageTargets()
{
    CaptionTarget menus;
    menus.setText = [this](const char* c, const char* t) { setControlText(c, t); };
    menus.setChecked = [this](const char* c, bool on) {
        if (auto* a = findChild<QAction*>(QString::fromLatin1(c)))
            a->setChecked(on);
    };
    menus.setVisible = [this](const char* c, bool on) {
        if (auto* a = findChild<QAction*>(QString::fromLatin1(c)))
            a->setVisible(on);
    };
    CaptionTarget hints;
    hints.setText = [this](const char* c, const char* t) { setControlHint(c, t); };
    CaptionTarget captions = menus;
    return {menus, hints, captions, [this] {
                UpdateCaption();
                for (int i = 0; i < PAGE_COUNT; ++i)
                    if (kPages[i].caption)
                        PageControl1->setTabText(i, QString::fromUtf8(LangText(kPages[i].caption)));
            }};
}

void TMainForm::SetLanguage(int language)
{
    LanguageIndex = language;
    ApplyQtTranslations(LanguageIndex);
    BuildRuntimeTexts(texts_, languageTargets());
    RetranslatePages();
    RefreshPages(false);
    RefreshMonitorDisplay();
}

void TMainForm::RetranslatePages()
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        if (pages_[i] && !(i == PAGE_SENSORS && pages_[i] == pages_[PAGE_MISC]))
            pages_[i]->Retranslate();
}

void TMainForm::RefreshMonitorDisplay()
{
    MonitorSources sources{Monitor, Image, liveSource_, [this](int n) { return texts_.Text(n); }, {}, {}, {}};
    monitorView_ = ::RefreshMonitorDisplay(sources);
    monitorPanel_->Apply(monitorView_);
}

void TMainForm::RequestCommit(QObject* control, int kind)
{
    // Closing applied the page for the last time; focus changes while the window goes apply nothing.
    if (closed_)
        return;
    if (pendingControl_ && pendingControl_ != control)
        kind = COMMIT_NOW;
    pendingControl_ = control;
    if (kind == pendingKind_ || pendingKind_ == COMMIT_NOW) {
        pendingDue_ = tickCounter_ + 5;
        pendingKind_ = kind;
    } else {
        pendingKind_ = COMMIT_NOW;
    }
    if (pendingKind_ == COMMIT_NOW) {
        pendingControl_ = nullptr;
        pendingDue_ = 0;
        CommitEdit();
    }
}

void TMainForm::CommitPendingIfDue()
{
    if (pendingControl_ && tickCounter_ >= pendingDue_)
        RequestCommit(pendingControl_, COMMIT_NOW);
}

void TMainForm::CommitEdit()
{
    ApplyPage();
    ValidateImage(Image, &outside_);
    RefreshPages(false);
    const bool changed = undo_.UndoSnapshot(Image, activePage_, changedMap());
    UpdateUndoButtons();
    link_->manager().CompareWithUnit();
    if (CheckBoxProgHned->isChecked() && changed)
        link_->manager().RequestProgramChanged();
}

void TMainForm::ImageReplaced()
{
    editorsReload_ = true;
    RefreshPages(true);
}

ChangedMap& TMainForm::changedMap() { return link_->manager().changedMap; }

int TMainForm::pendingCommand() const { return link_->manager().PendingCommand; }

void TMainForm::SetUnitPanelText(const std::string& text)
{
    // The panel is narrow; the whole unit line stays readable as its tool tip.
    statusPanels_[4]->setText(QString::fromUtf8(text.c_str()));
    statusPanels_[4]->setToolTip(statusPanels_[4]->text());
}

void TMainForm::PortSelectionChanged(int forcedPort)
{
    if (!link_->demoUnit())
        outside_.forcedPort = forcedPort;
    UpdateCaption();
}

// A saved file carries the unit's version labels.
void TMainForm::ConnectFileMenuToLink()
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

void TMainForm::HideResultStatus() { link_->status().ShowStatus(2, nullptr, 0, 0, COLOUR_UNCHANGED, -1); }

void TMainForm::ForgetFileName()
{
    fileState_.currentFile.clear();
    UpdateCaption();
}

// The link starts with the port selection of the settings; the demo offers its simulated unit instead.
void TMainForm::StartLink()
{
    if (commandLine_.demo) {
        std::string error;
        if (!link_->StartDemoUnit(&error))
            errorBox_("The simulated unit could not start: " + error);
    }
    link_->SetUpPorts(outside_.forcedPort, outside_.nextScanPort);
}

void TMainForm::ApplyPage()
{
    if (SettingsPage* p = page(activePage_))
        p->Store();
}

void TMainForm::RefreshPages(bool all)
{
    CheckBoxProgHned->setStyleSheet(CheckBoxProgHned->isChecked() ? "QCheckBox { background-color: red; }" : QString());
    for (int i = 0; i < PAGE_COUNT; ++i) {
        if (!(all || i == activePage_) || !page(i))
            continue;
        page(i)->Load();
        page(i)->UpdateVisibility();
    }
}

void TMainForm::UpdatePageVisibility(bool all)
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        if ((all || i == activePage_) && page(i))
            page(i)->UpdateVisibility();
}

void TMainForm::SelectPage(int index)
{
    if (index >= 0 && index < PAGE_COUNT && index != PageControl1->currentIndex())
        PageControl1->setCurrentIndex(index);
}

PageHost::Answer TMainForm::AskYesNoCancel(const char* langText)
{
    if (questionBox)
        return questionBox(langText);
    const auto button = QMessageBox::question(this, QString(), QString::fromUtf8(LangText(langText)),
        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    return button == QMessageBox::Yes ? ANSWER_YES : button == QMessageBox::No ? ANSWER_NO : ANSWER_CANCEL;
}

void TMainForm::NewWithoutAsking() { fileMenu_->NewConfirmed(PAGE_ALL); }

IgnOpenResult TMainForm::OpenParameterFile(int page, const QString& path)
{
    return fileMenu_->OpenParameterFile(page, path);
}

void TMainForm::CommitPendingEdit()
{
    if (pendingControl_)
        RequestCommit(pendingControl_, COMMIT_NOW);
}

bool TMainForm::TakeUndoSnapshot()
{
    const bool changed = undo_.UndoSnapshot(Image, activePage_, changedMap());
    UpdateUndoButtons();
    return changed;
}

void TMainForm::FocusProgramAfterChange() { CheckBoxProgHned->setFocus(); }

void TMainForm::Undo()
{
    UndoRing::Restored r;
    if (undo_.Undo(Image, changedMap(), r))
        AfterRestore(r, true);
    FocusProgramAfterChange();
}

void TMainForm::Redo()
{
    UndoRing::Restored r;
    if (undo_.Redo(Image, changedMap(), r))
        AfterRestore(r, false);
    FocusProgramAfterChange();
}

void TMainForm::AfterRestore(const UndoRing::Restored& r, bool)
{
    RefreshPages(false);
    if (r.slotPage != activePage_)
        SelectPage(r.showPage);
    RefreshPages(false);
    UpdateUndoButtons();
    link_->manager().CompareWithUnit();
    if (CheckBoxProgHned->isChecked() && r.changed)
        link_->manager().RequestProgramChanged();
}

void TMainForm::UpdateUndoButtons()
{
    for (const char* name : {"MenuZpet", "SpeedButtonZpet"})
        if (auto* o = findChild<QObject*>(name))
            o->setProperty("enabled", undo_.canUndo());
    for (const char* name : {"MenuZnovu", "SpeedButtonZnovu"})
        if (auto* o = findChild<QObject*>(name))
            o->setProperty("enabled", undo_.canRedo());
}

// A typed "-1" or "-2" makes the tachometer output follow pick-up 1 or 2.
void TMainForm::ApplyTachoPickupText()
{
    auto* edit = findChild<QLineEdit*>("EditRpmPulsu");
    auto* upDown = findChild<TUpDown*>("UpDownRpmPulsu");
    if (!edit || !upDown)
        return;
    for (int pickup : {1, 2}) {
        if (edit->text() != QString("-%1").arg(pickup))
            continue;
        ControlBinder::Updating guard(binder_);
        upDown->setValue(-pickup);
        edit->setText(QString("pickup %1").arg(pickup));
        Image.Adrb(RPM_PULSES) = static_cast<uint8_t>(256 - pickup);
    }
}

void TMainForm::UpdateCaption()
{
    // The file name names the image only while the image is still the one last saved or opened.
    const std::string file = Image == fileState_.savedImage ? fileState_.currentFile.toStdString() : std::string();
    setWindowTitle(QString::fromUtf8(WindowCaption(file, link_->link().searchEnabled != 0).c_str()));
}

QString TMainForm::statusPanelText(int panel) const
{
    return panel >= 0 && panel < 5 ? statusPanels_[panel]->text() : QString();
}

bool TMainForm::event(QEvent* e)
{
    if (e->type() == QEvent::StatusTip) {
        statusPanels_[0]->setText(static_cast<QStatusTipEvent*>(e)->tip());
        return true;
    }
    return QMainWindow::event(e);
}

bool TMainForm::eventFilter(QObject* watched, QEvent* e)
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
        if (qobject_cast<TTab*>(w))
            return QMainWindow::eventFilter(watched, e);
    focusNextChild();
    RequestCommit(control, COMMIT_NOW);
    return true;
}

void TMainForm::dragEnterEvent(QDragEnterEvent* e)
{
    if (e->mimeData()->hasUrls())
        e->acceptProposedAction();
}

// Only the first parameter file of a drop is opened; other files are ignored.
void TMainForm::dropEvent(QDropEvent* e)
{
    QStringList paths;
    for (const QUrl& url : e->mimeData()->urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    fileMenu_->OpenDropped(paths);
    e->acceptProposedAction();
}

void TMainForm::closeEvent(QCloseEvent* e)
{
    if (!closed_)
        FormClose();
    e->accept();
}

// Shutdown in order: recorder, update check, ports, the active page, then the settings.
void TMainForm::FormClose()
{
    closed_ = true;
    Timer1->stop();
    player_.Stop();
    if (patch_)
        patch_->Stop();
    link_->link().CloseAllPorts();
    ApplyPage();
    ValidateImage(Image, &outside_);
    SaveSettings();
}
