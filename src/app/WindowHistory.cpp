#include "app/WindowHistory.h"

#include "app/DifferencesDialog.h"
#include "app/EditCycle.h"
#include "app/SettingsStore.h"
#include "app/WindowDifferences.h"
#include "app/WindowLink.h"
#include "files/ParamFileState.h"
#include "files/IgnWriter.h"
#include "history/HistoryServerUrl.h"
#include "history/HistoryStore.h"
#include "history/HistoryRecord.h"
#include "history/HistoryWriter.h"
#include "lang/LangQString.h"
#include "model/ImageDiff.h"

#include <QAction>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

namespace {

constexpr const char* MENU_TEXT = "###Unit &history…##&Gerätehistorie…##&Historie jednotek…";
constexpr const char* CAPTION = "###Unit history##Gerätehistorie##Historie jednotek";
constexpr const char* WITH_SCREEN = "###Settings on the screen compared with unit %1 after %2 on %3##Einstellungen am "
                                    "Bildschirm verglichen mit Einheit %1 nach „%2“ am %3##Nastavení na obrazovce ve "
                                    "srovnání s jednotkou %1 po „%2“ dne %3";
constexpr const char* WITH_UNIT = "###Unit %1 after %2 on %3 compared with the unit connected now##Einheit %1 nach "
                                  "„%2“ am %3 verglichen mit der jetzt verbundenen Einheit##Jednotka %1 po „%2“ dne %3 "
                                  "ve srovnání s nyní připojenou jednotkou";
constexpr const char* IDENTICAL = "###The settings are identical.##Die Einstellungen sind gleich.##Nastavení jsou "
                                  "shodná.";
constexpr const char* PAST = "###History##Historie##Historie";
constexpr const char* SCREEN = "###Screen##Bildschirm##Obrazovka";
constexpr const char* UNIT = "###Unit##Einheit##Jednotka";
constexpr const char* UNIT_UNKNOWN = "###The connected unit's configuration is not known yet.##Die Konfiguration der "
                                     "verbundenen Einheit ist noch nicht bekannt.##Konfigurace připojené jednotky "
                                     "zatím není známa.";
constexpr const char* NO_CONFIGURATION = "###This event left no configuration.##Dieses Ereignis hat keine "
                                         "Konfiguration hinterlassen.##Tato událost nezanechala žádnou konfiguraci.";
constexpr const char* SAVE_FAILED = "###The file %1 could not be written: %2##Die Datei %1 konnte nicht geschrieben "
                                    "werden: %2##Soubor %1 nelze zapsat: %2";
constexpr const char* SAVE_TITLE = "###Save the configuration as##Konfiguration speichern als##Uložit konfiguraci "
                                   "jako";
constexpr const char* IGN_FILTER = "###Parameter files (*.ign)##Parameterdateien (*.ign)##Soubory parametrů (*.ign)";
constexpr const char* FORGET_ASK = "###Forget the unit %1 (%2) and its %3 events?##Die Einheit %1 (%2) und ihre %3 "
                                   "Ereignisse vergessen?##Zapomenout jednotku %1 (%2) a jejích %3 událostí?";
constexpr const char* WAITING = "###History: %1 waiting##Historie: %1 wartend##Historie: %1 čeká";
constexpr const char* NOT_KEPT = "###The choice of the history server could not be kept in the settings.##Die Wahl "
                                 "des Historienservers konnte nicht in den Einstellungen gespeichert werden.##Volbu "
                                 "serveru historie nelze uložit do nastavení.";
// Events written a moment ago belong in the list the user opens.
constexpr int WRITTEN_WAIT_MS = 2000;
// While the window runs, the events that wait for the server are sent this often.
constexpr int SYNC_INTERVAL_MS = 60000;

QString EventTime(const HistoryEvent& e)
{
    return QDateTime::fromMSecsSinceEpoch(e.timeMs).toLocalTime().toString("yyyy-MM-dd HH:mm:ss");
}

QString Described(const char* text, const HistoryUnit& unit, const HistoryEvent& event)
{
    return LangQString(text).arg(
        QString::fromStdString(unit.SerialText()), QString::fromUtf8(HistoryKindText(event.kind)), EventTime(event));
}

} // namespace

WindowHistory::WindowHistory(QWidget& window, EditCycle& edits, WindowLink& link, WindowDifferences& differences,
    const ParamFileState& files, const SettingsStore& store)
    : window_(window)
    , edits_(edits)
    , link_(link)
    , differences_(differences)
    , files_(files)
    , store_(store)
    , location_(HistoryLocation::Chosen(store.paths().historyFile(), store.paths().folder()))
    , syncTimer_(new QTimer(this))
{
    syncTimer_->setInterval(SYNC_INTERVAL_MS);
    connect(syncTimer_, &QTimer::timeout, this, &WindowHistory::Sync);
    syncTimer_->start();
    // What waited from an earlier run goes at once, and the status bar learns how many wait.
    Sync();
}

WindowHistory::~WindowHistory()
{
    // The writer's thread may still announce a message to this object: it goes first.
    writer_.reset();
}

QString WindowHistory::Path() const { return store_.paths().historyFile(); }

HistoryWriter& WindowHistory::Writer()
{
    if (!writer_) {
        writer_ = std::make_unique<HistoryWriter>(location_);
        writer_->SetMessageNotice([this] {
            QMetaObject::invokeMethod(
                this, [this] { ShowMessages(); }, Qt::QueuedConnection);
        });
        writer_->SetWaitingNotice([this](int waiting) {
            QMetaObject::invokeMethod(
                this, [this, waiting] { ShowWaiting(waiting); }, Qt::QueuedConnection);
        });
    }
    return *writer_;
}

HistoryStore& WindowHistory::Reader()
{
    if (!reader_)
        reader_ = location_.NewStore(true);
    return *reader_;
}

void WindowHistory::Sync()
{
    if (location_.OnServer())
        Writer().Sync();
}

void WindowHistory::AddStatusWidget(QStatusBar* bar)
{
    waitingLabel_ = new QLabel(bar);
    waitingLabel_->setObjectName("LabelHistoryWaiting");
    waitingLabel_->hide();
    bar->addPermanentWidget(waitingLabel_);
    ShowWaiting(writer_ ? writer_->Waiting() : 0);
}

void WindowHistory::ShowWaiting(int waiting)
{
    if (waitingLabel_) {
        waitingLabel_->setText(LangQString(WAITING).arg(waiting));
        waitingLabel_->setVisible(waiting > 0);
    }
    if (dialog_)
        dialog_->ShowServer(location_.OnServer() ? Reader().Location() : QString(), waiting);
}

bool WindowHistory::ChooseServer(const QString& url)
{
    QString error;
    const std::optional<HistoryServerUrl> server = url.isEmpty() ? std::nullopt : HistoryServerUrl::Parse(url, &error);
    if (!url.isEmpty() && !server) {
        link_.ShowMessageBox(error.toStdString(), LangText(CAPTION), ConnectionHost::MessageError);
        return false;
    }
    if (!HistoryLocation::SaveServerUrl(store_.paths().folder(), server ? server->Text() : QString())) {
        link_.ShowMessageBox(LangText(NOT_KEPT), LangText(CAPTION), ConnectionHost::MessageError);
        return false;
    }
    // What was queued for the old place is written there first.
    writer_.reset();
    reader_.reset();
    location_ = HistoryLocation::Chosen(Path(), store_.paths().folder());
    Sync();
    if (dialog_)
        Open();
    ShowWaiting(writer_ ? writer_->Waiting() : 0);
    return true;
}

bool WindowHistory::WaitWritten(int timeoutMs) { return !writer_ || writer_->WaitIdle(timeoutMs); }

void WindowHistory::ShowMessages()
{
    std::vector<std::string> messages = writer_ ? writer_->TakeMessages() : std::vector<std::string> {};
    if (reader_)
        for (std::string& m : reader_->TakeMessages())
            messages.push_back(std::move(m));
    for (const std::string& m : messages)
        link_.ShowMessageBox(m, LangText(CAPTION), ConnectionHost::MessageWarning);
}

void WindowHistory::AddMenuItem(QMenu* device)
{
    QAction* action = device->addAction(LangQString(MENU_TEXT), this, &WindowHistory::Open);
    action->setObjectName("MenuUnitHistory");
    // The caption tables do not know this item; it follows the language whenever the menu opens.
    connect(device, &QMenu::aboutToShow, action, [action] { action->setText(LangQString(MENU_TEXT)); });
}

void WindowHistory::CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit)
{
    // A program or a verify of the settings of a file names the file, while the screen still shows it.
    const bool ofFile = (kind == ConnectionHost::CommandProgram || kind == ConnectionHost::CommandVerify)
        && edits_.Image() == files_.savedImage;
    const std::string file = ofFile ? files_.currentFile.toStdString() : std::string();
    Writer().Record(HistoryRecord::Make(kind, ok, unit, link_.Manager().unitInfo, file));
}

std::string WindowHistory::ConnectedIdentity() const
{
    const ConnectionManager& m = link_.Manager();
    if (m.linkStep == ConnectionManager::StepOffline || m.unitInfo.name.empty())
        return {};
    return HistoryUnit::FromUnitInfo(m.unitInfo).Identity();
}

void WindowHistory::Open()
{
    if (!dialog_) {
        dialog_ = new HistoryDialog(&window_);
        dialog_->act = [this](HistoryDialog::Action a, const HistoryUnit& u, const HistoryEvent* e) { Act(a, u, e); };
        dialog_->chooseServer = [this](const QString& url) { ChooseServer(url); };
    }
    WaitWritten(WRITTEN_WAIT_MS);
    dialog_->Reload(Reader(), ConnectedIdentity());
    ShowWaiting(writer_ ? writer_->Waiting() : Reader().Waiting());
    ShowMessages();
    dialog_->show();
    dialog_->raise();
}

void WindowHistory::Act(HistoryDialog::Action action, const HistoryUnit& unit, const HistoryEvent* event)
{
    if (action == HistoryDialog::ForgetUnit) {
        Forget(unit);
        return;
    }
    ParamImage past;
    if (!event || !Reader().Configuration(event->id, past)) {
        link_.ShowMessageBox(LangText(NO_CONFIGURATION), LangText(CAPTION), ConnectionHost::MessageWarning);
        ShowMessages();
        return;
    }
    switch (action) {
    case HistoryDialog::OpenAsSettings:
        OpenAsSettings(past);
        break;
    case HistoryDialog::CompareWithScreen:
    case HistoryDialog::CompareWithUnit:
        Compare(past, unit, *event, action == HistoryDialog::CompareWithUnit);
        break;
    case HistoryDialog::SaveAsFile:
        Save(past, unit, *event);
        break;
    case HistoryDialog::ForgetUnit:
        break;
    }
}

void WindowHistory::OpenAsSettings(const ParamImage& past)
{
    // As a file open: an edit still waiting lands first, and the new settings are one undo step.
    edits_.FocusProgramAfterChange();
    edits_.CommitPendingEdit();
    edits_.Image() = past;
    edits_.ImageReplaced();
    edits_.TakeUndoSnapshot();
    edits_.CommitEdit();
}

void WindowHistory::Compare(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event, bool withUnit)
{
    const ConnectionManager& m = link_.Manager();
    if (withUnit && !m.unitMirrorValid) {
        link_.ShowMessageBox(LangText(UNIT_UNKNOWN), LangText(CAPTION), ConnectionHost::MessageWarning);
        return;
    }
    if (!comparison_)
        comparison_ = new DifferencesDialog(&window_);
    comparison_->showPlace = [this](const ImageDifference& d) { differences_.ShowPlace(d); };
    comparison_->refresh = [this, past, unit, event, withUnit] {
        edits_.CommitPendingEdit();
        const ParamImage& first = withUnit ? past : edits_.Image();
        const ParamImage& second = withUnit ? link_.Manager().unitMirror : past;
        const std::vector<ImageDifference> list = ImageDiff::Compare(first, second);
        QString subject = Described(withUnit ? WITH_UNIT : WITH_SCREEN, unit, event);
        if (list.empty())
            subject += "\n" + LangQString(IDENTICAL);
        comparison_->ShowList(subject, withUnit ? UNIT : PAST, list, withUnit ? PAST : SCREEN);
    };
    comparison_->refresh();
    comparison_->show();
    comparison_->raise();
}

void WindowHistory::Save(const ParamImage& past, const HistoryUnit& unit, const HistoryEvent& event)
{
    QString path;
    if (chooseSaveFile) {
        path = chooseSaveFile();
    } else {
        QString name = QString::fromStdString(unit.SerialText()) + "-"
            + QDateTime::fromMSecsSinceEpoch(event.timeMs).toLocalTime().toString("yyyyMMdd-HHmmss") + ".ign";
        name.replace(' ', '_');
        const QString folder = QFileInfo(files_.fileFolder).absolutePath();
        path = QFileDialog::getSaveFileName(dialog_, LangQString(SAVE_TITLE), QDir(folder).filePath(name), LangQString(IGN_FILTER));
    }
    if (path.isEmpty())
        return;
    QString error;
    if (!WriteIgnFile(path, past, IgnUnitInfo {}, &error))
        link_.ShowMessageBox(LangQString(SAVE_FAILED).arg(QDir::toNativeSeparators(path), error).toStdString(),
            LangText(CAPTION), ConnectionHost::MessageError);
}

void WindowHistory::Forget(const HistoryUnit& unit)
{
    const QString question = LangQString(FORGET_ASK)
                                 .arg(QString::fromStdString(unit.SerialText()), QString::fromStdString(unit.name),
                                     QString::number(unit.events));
    const std::string text = question.toStdString();
    if (edits_.AskYesNoCancel(text.c_str()) != PageHost::ANSWER_YES)
        return;
    const int64_t id = unit.id;
    Writer().Run([id](HistoryStore& db) { db.ForgetUnit(id); });
    WaitWritten(WRITTEN_WAIT_MS);
    if (dialog_)
        dialog_->Reload(Reader(), ConnectedIdentity());
    ShowMessages();
}
