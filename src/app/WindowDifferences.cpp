#include "app/WindowDifferences.h"

#include "app/DifferencesDialog.h"
#include "app/EditCycle.h"
#include "app/WindowLink.h"
#include "app/WindowPages.h"
#include "files/ParamFileState.h"
#include "mapedit/ui/MapEditorList.h"
#include "lang/LangQString.h"
#include "mapedit/ProgramMaps.h"
#include "mapedit/ui/MapEditor.h"
#include "model/ImageDiff.h"

#include <QAction>
#include <QEvent>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTabWidget>
#include <QTimer>

#include <algorithm>

namespace {

constexpr const char* MENU_TEXT = "###&Differences…##&Unterschiede…##&Rozdíly…";
constexpr const char* WITH_UNIT = "###Settings on the screen compared with the unit on COM%1##Einstellungen am "
                                  "Bildschirm verglichen mit der Einheit an COM%1##Nastavení na obrazovce ve "
                                  "srovnání s jednotkou na COM%1";
constexpr const char* WITH_FILE = "###Settings on the screen compared with the file %1##Einstellungen am Bildschirm "
                                  "verglichen mit der Datei %1##Nastavení na obrazovce ve srovnání se souborem %1";
constexpr const char* NOTHING = "###No unit is connected and no parameter file is open.##Keine Einheit ist verbunden "
                                "und keine Parameterdatei ist geöffnet.##Není připojena jednotka a není otevřen "
                                "žádný soubor s parametry.";
constexpr const char* IDENTICAL = "###The settings are identical.##Die Einstellungen sind gleich.##Nastavení jsou "
                                  "shodná.";
constexpr const char* UNIT = "###Unit##Einheit##Jednotka";
constexpr const char* FILE_TITLE = "###File##Datei##Soubor";
constexpr uint32_t RED = 0x0000FF;
constexpr int RESULT_SLOT = 2;
constexpr int EDGE = 10;
constexpr int TOP = 60;

// The editor of a map, found by the owner id its page gave it.
int OwnerId(MapId map)
{
    switch (map) {
    case MapId::Advance:
        return ProgramMap(MapKind::Advance).ownerId;
    case MapId::Servo:
        return ProgramMap(MapKind::Servo).ownerId;
    case MapId::PowerOut1:
        return ProgramMap(MapKind::PowerOutA, 1).ownerId;
    case MapId::PowerOut2:
        return ProgramMap(MapKind::PowerOutA, 2).ownerId;
    case MapId::None:
        break;
    }
    return -1;
}

// The element the editor selects for a row or column of the map: an axis that is off shows one entry.
int Entry(const MapAxis& axis, int index) { return index == HEADER || !axis.off ? index : axis.offIndex; }

} // namespace

WindowDifferences::WindowDifferences(QWidget& window, EditCycle& edits, WindowPages& pages, WindowLink& link,
    const ParamFileState& files, MapEditorList& editors)
    : window_(window)
    , edits_(edits)
    , pages_(pages)
    , link_(link)
    , files_(files)
    , editors_(editors)
{
}

WindowDifferences::~WindowDifferences() = default;

void WindowDifferences::AddMenuItem(QMenu* device)
{
    QAction* action = device->addAction(LangQString(MENU_TEXT), this, &WindowDifferences::Open);
    action->setObjectName("MenuDifferences");
    // The caption tables do not know this item; it follows the language whenever the menu opens.
    connect(device, &QMenu::aboutToShow, action, [action] { action->setText(LangQString(MENU_TEXT)); });
}

void WindowDifferences::OpenOnClick(QLabel* label)
{
    label_ = label;
    label->setCursor(Qt::PointingHandCursor);
    label->installEventFilter(this);
}

bool WindowDifferences::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == label_ && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Open();
        return true;
    }
    return QObject::eventFilter(watched, event);
}

void WindowDifferences::ResultShown(int slot, uint32_t backColour)
{
    ConnectionManager& m = link_.Manager();
    if (slot != RESULT_SLOT || backColour != RED
        || (m.linkStep != ConnectionManager::StepVerify && m.linkStep != ConnectionManager::StepProgramReadBack))
        return;
    // A read that failed on the line holds only part of the unit's bytes; the mirror then stays the
    // best knowledge.
    const TransferEngine& link = link_.Engine();
    if (std::find(link.jobRxFlags, link.jobRxFlags + RS_LEN_EXE, 0) == link.jobRxFlags + RS_LEN_EXE) {
        std::copy_n(link.jobRxData, RS_LEN_EXE, failedRead_.data());
        mirrorAtFailure_ = m.unitMirror;
        mirrorValidAtFailure_ = m.unitMirrorValid;
        failedReadValid_ = true;
    }
    // Opened once the connection routine's pass has ended, not from inside it.
    QTimer::singleShot(0, this, &WindowDifferences::Open);
}

WindowDifferences::Other WindowDifferences::ChooseOther() const
{
    Other other;
    const ConnectionManager& m = link_.Manager();
    const int port = link_.Engine().Search().connectedPort.load();
    const bool failedReadIsNewest
        = failedReadValid_ && m.unitMirror == mirrorAtFailure_ && m.unitMirrorValid == mirrorValidAtFailure_;
    if (port && (failedReadIsNewest || m.unitMirrorValid)) {
        other = { true, failedReadIsNewest ? failedRead_ : m.unitMirror, LangQString(WITH_UNIT).arg(port), UNIT };
    } else if (!port && !files_.currentFile.isEmpty()) {
        const ParamFileState& file = files_;
        other = { true, file.savedImage, LangQString(WITH_FILE).arg(QFileInfo(file.currentFile).fileName()), FILE_TITLE };
    } else {
        other.subject = LangQString(NOTHING);
        other.title = port ? UNIT : FILE_TITLE;
    }
    return other;
}

void WindowDifferences::Open()
{
    const bool first = !dialog_;
    if (first) {
        dialog_ = new DifferencesDialog(&window_);
        dialog_->showPlace = [this](const ImageDifference& d) { ShowPlace(d); };
        dialog_->refresh = [this] { Refresh(); };
    }
    Refresh();
    dialog_->show();
    dialog_->raise();
    // Over the monitor side of the window, so that the page it shows stays in sight.
    if (first)
        dialog_->move(window_.mapToGlobal(QPoint(window_.width() - dialog_->width() - EDGE, TOP)));
}

void WindowDifferences::Refresh()
{
    // An edit still waiting for its delay belongs to the screen.
    edits_.CommitPendingEdit();
    const Other other = ChooseOther();
    const std::vector<ImageDifference> list
        = other.known ? ImageDiff::Compare(edits_.Image(), other.image) : std::vector<ImageDifference> {};
    const QString subject = other.known && list.empty() ? other.subject + "\n" + LangQString(IDENTICAL) : other.subject;
    dialog_->ShowList(subject, other.title, list);
}

bool WindowDifferences::SelectPageOf(QWidget* widget)
{
    QTabWidget* tabs = pages_.Tabs();
    for (QWidget* w = widget; w && tabs; w = w->parentWidget())
        if (const int page = tabs->indexOf(w); page >= 0) {
            if (!tabs->isTabVisible(page))
                return false;
            pages_.Select(page);
            return true;
        }
    return false;
}

bool WindowDifferences::FocusControl(const FieldFact& f, int element)
{
    QWidget* control = f.control ? window_.findChild<QWidget*>(QString::fromStdString(f.ControlName(element))) : nullptr;
    if (!control || !SelectPageOf(control))
        return false;
    window_.activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    return true;
}

bool WindowDifferences::SelectMapElement(const ImageDifference& d)
{
    MapEditor* editor = editors_.EditorByOwnerId(OwnerId(d.map));
    if (!editor || !SelectPageOf(editor))
        return false;
    const MapSheet& sheet = editor->Sheet();
    const int column = Entry(sheet.axisX, d.column < 0 ? HEADER : d.column);
    const int row = Entry(sheet.axisY, d.row < 0 ? HEADER : d.row);
    editor->SelectElement(column, row);
    editor->ScrollTo(column, row);
    window_.activateWindow();
    editor->setFocus(Qt::OtherFocusReason);
    editor->update();
    return true;
}

void WindowDifferences::ShowPlace(const ImageDifference& d)
{
    if (d.kind == ImageDifference::Kind::Byte)
        return;
    if (d.map != MapId::None && SelectMapElement(d))
        return;
    if (!d.fact || FocusControl(*d.fact, d.element))
        return;
    // A setting without a control of its own (a map's kind, the third input): its page.
    QTabWidget* tabs = pages_.Tabs();
    if (tabs && d.fact->loadGroup >= 0 && tabs->isTabVisible(d.fact->loadGroup))
        pages_.Select(d.fact->loadGroup);
}
