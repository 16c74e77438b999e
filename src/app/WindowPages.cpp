#include "app/WindowPages.h"

#include "app/EditCycle.h"
#include "app/WindowMonitor.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"
#include "lang/LangString.h"
#include "pages/PageAdvance.h"
#include "pages/PageBike.h"
#include "pages/PageMisc.h"
#include "pages/PagePowerOut.h"
#include "pages/PageServo.h"
#include "pages/PageTest.h"
#include "pages/UpDownSpinBox.h"

#include <QLineEdit>
#include <QScrollArea>
#include <QTabWidget>

#include <algorithm>

namespace {

constexpr int COMMIT_PAUSE_TICKS = 5;

struct PageInfo {
    const char* objectName;
    const char* caption; // for the tabs the caption table does not name
    bool tabVisible;
};

// The ten settings pages in index order; Sensors, Gear, Race and N2O keep their tabs hidden.
constexpr std::array<PageInfo, PAGE_COUNT> kPages = {{
    { "TabSheetRuzne", nullptr, true },
    { "TabSheetBike", nullptr, true },
    { "TabSheetSensors", "###Sensors##Sensoren##Snímače", false },
    { "TabSheetAdvance", nullptr, true },
    { "TabSheetPOut", "###Power out##Leistungsausgänge##Výkonové výstupy", true },
    { "TabSheetServo", "Servo", true },
    { "TabSheet_Gear", nullptr, false },
    { "TabSheet_Race", "###Race##Rennen##Závod", false },
    { "TabSheet_N2O", "N2O", false },
    { "TabSheet_Ladeni", nullptr, true },
}};

// Controls of functions this unit family does not offer; they stay hidden whatever the monitor data says.
const char* const kFamilyHiddenControls[] = { "CGaugeProgram", "LabelEeDataErr", "LabelHourMeter", "LabelMonLambda",
    "CGaugeLambda", "LabelMonTachoLambdaOut", "GroupBoxLambdaBar", "LabelLambdaBlue", "LabelLambdaGreen",
    "LabelLambdaRed", "LabelStartLimiterMin", "EditStartLimiterMin", "UpDownStartLimiterMin", "EditSoftLimiter",
    "UpDownSoftLimiter", "LabelSoftLimiter", "GroupDwell", "GroupCalibDwell", "CheckBoxSpecDwellByStart", "LabelT1",
    "LabelT2", "LabelT3", "LabelT4", "Label2ndAdv", "LabelMonPotiCor", "LabelPotentiometer", "CGaugePotentiometer",
    "GroupBoxPoti", "GroupBoxAcc", "RadioButtonPoti4", "LabelMonN2oProcent", "LabelMonGear", "LabelMonSpeed",
    "CheckBoxInNeutralSs", "UpDownPocSynchro", "LabelPocSynchro", "EditPocSynchro", "GroupBoxChannelsEnable",
    "GroupBoxInputsEnable", "GroupBoxCAN" };
const char* const kFamilyHiddenPrefixes[] = { "EditDwell", "UpDownDwell", "LabelDwell" };

} // namespace

WindowPages::WindowPages(
    QWidget& window, EditCycle& edits, ControlBinder& binder, MapEditorList& editors, WindowMonitor& monitor)
    : window_(window)
    , edits_(edits)
    , binder_(binder)
    , editors_(editors)
    , monitor_(monitor)
{
}

QTabWidget* WindowPages::CreateTabs(QWidget* parent)
{
    tabs_ = new QTabWidget(parent);
    tabs_->setObjectName("PageControl1");
    // Each sheet scrolls in its tab: on a small or scaled screen the window shrinks below the
    // pages' size and every control stays reachable.
    for (size_t i = 0; i < kPages.size(); ++i) {
        auto* scroll = new QScrollArea(tabs_);
        scroll->setObjectName(kPages[i].objectName);
        scroll->setWidgetResizable(true);
        scroll->setFrameShape(QFrame::NoFrame);
        sheets_[i] = new QWidget;
        sheets_[i]->setObjectName(QString(kPages[i].objectName) + "Controls");
        scroll->setWidget(sheets_[i]);
        tabs_->addTab(scroll, QString());
    }
    // Connected after the sheets are added: adding the first one is no change of page.
    connect(tabs_, &QTabWidget::currentChanged, this, [this](int index) {
        // Applying stores the active page: an edit gathering on the page being left is taken
        // while that page is still the active one.
        CommitPending();
        active_ = index;
        edits_.RefreshPages(false);
        monitor_.Player().LogPages(Record());
    });
    return tabs_;
}

void WindowPages::BuildPages()
{
    pages_[PAGE_MISC] = new PageMisc(
        binder_, edits_, sheets_.at(PAGE_MISC), editors_, [this] { return monitor_.SensorMillivolts(); });
    pages_[PAGE_SENSORS] = pages_[PAGE_MISC]; // the sensors live on the Miscellaneous page
    pages_[PAGE_BIKE] = new PageBike(binder_, edits_, sheets_.at(PAGE_BIKE));
    pages_[PAGE_TEST] = new PageTest(binder_, edits_, sheets_.at(PAGE_TEST),
        [this](MonitorRequest::TestButton b) { monitor_.Request().Press(b); });
    pages_[PAGE_ADVANCE] = new PageAdvance(binder_, edits_, sheets_.at(PAGE_ADVANCE), editors_);
    pages_[PAGE_POWER_OUT] = new PagePowerOut(binder_, edits_, sheets_.at(PAGE_POWER_OUT), editors_);
    pages_[PAGE_SERVO] = new PageServo(binder_, edits_, sheets_.at(PAGE_SERVO), editors_);
    for (int i = 0; i < PAGE_COUNT; ++i)
        if (pages_[i] && i != PAGE_SENSORS)
            pages_[i]->ConnectCaptionBuddies();
}

void WindowPages::ApplyDefaultVisibility()
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        tabs_->setTabVisible(i, kPages[i].tabVisible);
    const auto hide = [](QWidget* w) {
        if (w->objectName() == "CGaugeProgram" || w->objectName() == "LabelEeDataErr") {
            w->hide(); // shown again by a command's progress or by the unit's data-error flag
            return;
        }
        w->setProperty("hiddenInFamily", true);
        w->hide();
    };
    for (const char* name : kFamilyHiddenControls)
        for (QWidget* w : window_.findChildren<QWidget*>(QString::fromLatin1(name)))
            hide(w);
    for (QWidget* w : window_.findChildren<QWidget*>())
        for (const char* prefix : kFamilyHiddenPrefixes)
            if (w->objectName().startsWith(QLatin1String(prefix)))
                hide(w);
}

void WindowPages::SetTabCaptions()
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        if (kPages[i].caption)
            tabs_->setTabText(i, QString::fromUtf8(LangText(kPages[i].caption)));
}

void WindowPages::Retranslate()
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        if (pages_[i] && !(i == PAGE_SENSORS && pages_[i] == pages_[PAGE_MISC]))
            pages_[i]->Retranslate();
}

void WindowPages::StoreActive()
{
    if (SettingsPage* p = Page(active_))
        p->Store();
}

template <class Each> void WindowPages::ForPages(bool all, Each each)
{
    for (int i = 0; i < PAGE_COUNT; ++i)
        if ((all || i == active_) && Page(i))
            each(*Page(i));
}

void WindowPages::Load(bool all)
{
    // Loading puts the image's value back into a control whose edit still gathers its clicks.
    // While the image is the one the pages were loaded from, the edit is taken first; an image
    // replaced since then has had it taken by whoever replaced it, as applying the page now would
    // write the old controls into the new image.
    if (pendingControl_ && edits_.Image() == shown_)
        CommitPending();
    ForPages(all, [](SettingsPage& p) {
        p.Load();
        p.UpdateVisibility();
    });
    shown_ = edits_.Image();
}

void WindowPages::UpdateVisibility(bool all)
{
    ForPages(all, [](SettingsPage& p) { p.UpdateVisibility(); });
}

void WindowPages::Select(int index)
{
    if (index >= 0 && index < PAGE_COUNT && index != tabs_->currentIndex())
        tabs_->setCurrentIndex(index);
}

void WindowPages::SelectSaved(int index)
{
    if (index < 0 || index >= PAGE_COUNT)
        return;
    tabs_->setCurrentIndex(index);
    active_ = tabs_->currentIndex();
}

int WindowPages::PageOf(const QWidget* widget) const
{
    for (const QWidget* w = widget; w; w = w->parentWidget())
        if (const int index = tabs_->indexOf(const_cast<QWidget*>(w)); index >= 0)
            return index;
    return -1;
}

void WindowPages::ApplyTachoPickupText()
{
    if (!pickupEdit_ || !pickupUpDown_) {
        pickupEdit_ = window_.findChild<QLineEdit*>("EditRpmPulsu");
        pickupUpDown_ = window_.findChild<UpDownSpinBox*>("UpDownRpmPulsu");
    }
    QLineEdit* edit = pickupEdit_;
    UpDownSpinBox* upDown = pickupUpDown_;
    if (!edit || !upDown)
        return;
    // Runs on every tick: the usual text is compared without building any.
    const QString text = edit->text();
    if (text.size() != 2 || text[0] != u'-')
        return;
    for (int pickup : { 1, 2 }) {
        if (text[1] != QChar(u'0' + pickup))
            continue;
        ControlBinder::Updating guard(binder_);
        upDown->setValue(-pickup);
        edit->setText(QString("pickup %1").arg(pickup));
        edits_.Image().Adrb(RPM_PULSES) = static_cast<uint8_t>(256 - pickup);
    }
}

void WindowPages::RequestCommit(QObject* control, int kind, int tick)
{
    if (pendingControl_ && pendingControl_ != control)
        kind = PageHost::COMMIT_NOW;
    pendingControl_ = control;
    if (kind == pendingKind_ || pendingKind_ == PageHost::COMMIT_NOW) {
        pendingDue_ = tick + COMMIT_PAUSE_TICKS;
        pendingKind_ = kind;
    } else {
        pendingKind_ = PageHost::COMMIT_NOW;
    }
    if (pendingKind_ == PageHost::COMMIT_NOW) {
        pendingControl_ = nullptr;
        pendingDue_ = 0;
        edits_.CommitEdit();
    }
}

// Through the window, which commits nothing once it is closing.
void WindowPages::CommitIfDue(int tick)
{
    if (pendingControl_ && tick >= pendingDue_)
        edits_.RequestCommit(pendingControl_, PageHost::COMMIT_NOW);
}

void WindowPages::CommitPending()
{
    if (pendingControl_)
        edits_.RequestCommit(pendingControl_, PageHost::COMMIT_NOW);
}

PageRecord WindowPages::Record() const
{
    PageRecord record;
    record.page = static_cast<uint8_t>(active_);
    const int count = std::min(editors_.Count(), static_cast<int>(record.editorIds.size()));
    for (int i = 0; i < count; ++i) {
        const MapEditor* editor = editors_.At(i);
        if (!editor)
            continue;
        record.editorIds[static_cast<size_t>(i)] = static_cast<uint8_t>(editor->OwnerId());
        record.maps[static_cast<size_t>(i)] = static_cast<uint8_t>(editor->ActiveSheet());
    }
    return record;
}

void WindowPages::Restore(const PageRecord& record)
{
    if (record.page != active_)
        Select(record.page);
    // An editor takes the map of the first entry with its identifier; the advance editor's
    // identifier is 0, as is an unused entry, so the entries are searched in their order.
    for (int i = 0; i < editors_.Count(); ++i) {
        MapEditor* editor = editors_.At(i);
        if (!editor)
            continue;
        const auto entry = std::find(record.editorIds.begin(), record.editorIds.end(), editor->OwnerId());
        if (entry == record.editorIds.end())
            continue;
        const int map = record.maps[static_cast<size_t>(entry - record.editorIds.begin())];
        if (editor->ActiveSheet() != map)
            editor->SelectSheet(map);
    }
}
