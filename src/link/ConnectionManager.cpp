#include "link/ConnectionManager.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "link/ComMenuModel.h"
#include "link/FrameCommands.h"
#include "link/ProtocolTable.h"
#include "link/StatusSlots.h"
#include "link/TransferEngine.h"
#include "model/ImageValidation.h"
#include "model/MonitorImage.h"
#include "monitor/MonitorRequest.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <iterator>
#include <vector>

namespace {

constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t RED = 0x0000FF;
constexpr uint32_t CYAN = 0xFFFF00;
constexpr uint32_t YELLOW = 0x00FFFF;
constexpr uint32_t GREEN = 0x00FF00;
constexpr uint32_t BUTTON_FACE = 0xFF00000F;

constexpr int RESULT_SLOT = 2;
constexpr int RESULT_MS = 2000;
constexpr int RESULT_PRIORITY = 10;
constexpr int IDENTICAL_MS = 4000;
constexpr int PART_LEN = 100;
constexpr int MONITOR_LEN = 100;

constexpr int ALL_FLAGS = JOB_FLAG_SEND_ALL | JOB_FLAG_CLEAR_DATA;
constexpr int MONITOR_FLAGS = JOB_FLAG_SEND_ALL | JOB_FLAG_ONE_ATTEMPT;

constexpr const char* NO_CONNECTION = "###No connection with PC...##Keine Verbindung zum PC...##Není spojení s PC...";
constexpr const char* SETTINGS_DIFFERENT = "###Unit and PC settings are different##Einrichten der Einheit und der PC "
                                           "sind anders##Nastavení v jednotce a PC se liší";
constexpr const char* SETTINGS_IDENTICAL = "###Unit and PC settings are identical##Einrichten des Einheit und der PC "
                                           "ist die gleichen##Nastavení v jednotce a PC je shodné";
constexpr const char* VERSION_MISMATCH = "###Unmatched version of PC and Ignition programs!##Programm der Zündung ist "
                                         "nicht kompatibel mit dem Programm am PC!##Neshodné verze programu v PC a "
                                         "zapalování!";
constexpr const char* SUBVERSION_MISMATCH = "###Unmatched subversion of PC and Ignition programs!##Inkongruente "
                                            "SubVersion PC und der Zündung!##Neshodné podverze programu v PC a "
                                            "zapalování!";
constexpr const char* NEW_INSTALLATION
    = "###This is a new installation of set software for Motravex ignitions.\nYou have to read actual setting of "
      "ignition before first programming of unit (the Read button),\nor open valid .ign file (e.g. from attached CD) "
      "!##This is a new installation of set software for Motravex ignitions.\nYou have to read actual setting of "
      "ignition before first programming of unit (the Read button),\nor open valid .ign file (e.g. from attached CD) "
      "!##Toto je nová instalace setovacího programu pro zapalování Motravex.\nPřed prvním naprogramováním jednotky "
      "musíte stav připojené jednotky vyčíst (tlačítkem číst),\nnebo otevřít .ign soubor s odpovídajícím nastavením "
      "(například z přiloženého CD) !";
constexpr const char* ATTENTION = "###Attention##Attention##Upozornění";

using Step = ConnectionManager::Step;
constexpr int CONFIG_PARTS = ConnectionManager::CONFIG_PARTS;
static_assert(CONFIG_PARTS * PART_LEN == RS_LEN_EXE, "the parts cover the configuration");

// The shared progress bar, in per mille: the reference reads fill it up to the start, then each of
// the eight configuration reads fills one span.
constexpr int CONFIG_BAR_START = 200;
constexpr int CONFIG_BAR_SPAN = 100;

// Each phase of the configuration reads after connecting is a run of one step per part.
bool InPhase(int step, Step first) { return step >= first && step < first + CONFIG_PARTS; }
int ConfigPart(int step) { return (step - Step::StepConfigFirst) % CONFIG_PARTS; }
bool IsConfigRead(int step) { return InPhase(step, Step::StepConfigFirst) || InPhase(step, Step::StepConfigSecond); }
bool IsMonitorStep(int step)
{
    return step == Step::StepMonitor || InPhase(step, Step::StepConfigMonitorFirst)
        || InPhase(step, Step::StepConfigMonitorSecond);
}
// The configuration reads and the monitor exchanges between them.
bool IsConfigStep(int step)
{
    return step >= Step::StepConfigFirst && step < Step::StepConfigMonitorSecond + CONFIG_PARTS;
}

std::string VersionMismatchText(int major, int minor)
{
    char tail[64];
    std::snprintf(tail, sizeof tail, "  PC-%d.%02d, IGN-%d.%02d", PROGRAM_KEY, PROGRAM_SUBVERSION, major, minor);
    return std::string(LangText(major == PROGRAM_KEY ? SUBVERSION_MISMATCH : VERSION_MISMATCH)) + tail;
}

} // namespace

const ConnectionManager::ResultMessage ConnectionManager::REFERENCE_TITLE
    = { "###Reference read:##Referenzlesen:##Čtení reference:", Title };
const ConnectionManager::ResultMessage ConnectionManager::READ_TITLE = { "###Read:##Lesen:##Čtení:", Title };
const ConnectionManager::ResultMessage ConnectionManager::VERIFY_TITLE
    = { "###Verify:##Vergleichen:##Verifikace:", Title };
const ConnectionManager::ResultMessage ConnectionManager::PROGRAM_TITLE
    = { "###Program device:##Programmieren:##Programování:", Title };
const ConnectionManager::ResultMessage ConnectionManager::SAVING_TITLE = { "###Saving:##Speichern:##Ukládání:", Title };
const ConnectionManager::ResultMessage ConnectionManager::REFERENCE_OK
    = { "###Reference read: OK##Referenzlesen: OK##Čtení reference: OK", Success };
const ConnectionManager::ResultMessage ConnectionManager::VERIFY_OK
    = { "###Verify: OK##Vergleichen: OK##Verifikace: OK", Success };
const ConnectionManager::ResultMessage ConnectionManager::PROGRAM_OK
    = { "###Program device: OK##Programmieren: OK##Programování: OK", Success };
const ConnectionManager::ResultMessage ConnectionManager::REFERENCE_ERROR
    = { "###Reference read error !##Referenzlesefehler !##Chyba čtení reference !", Failure };
const ConnectionManager::ResultMessage ConnectionManager::READ_ERROR
    = { "###Read error !##Lesefehler !##Chyba čtení !", Failure };
const ConnectionManager::ResultMessage ConnectionManager::VERIFY_ERROR
    = { "###Verify error !##Vergleichsfehler !##Chyba verifikace !", Failure };
const ConnectionManager::ResultMessage ConnectionManager::COMMAND_CUT
    = { "###Connection lost: the command did not finish !##Verbindung verloren: der Befehl wurde nicht beendet "
        "!##Spojení ztraceno: příkaz nebyl dokončen !",
          Failure };

ConnectionManager::ConnectionManager(TransferEngine& link, ParamImage& image, MonitorImage& monitor, MonitorRequest& request,
    StatusSlots& status, ConnectionHost& host)
    : link_(link)
    , image_(image)
    , monitor_(monitor)
    , request_(request)
    , status_(status)
    , host_(host)
{
}

int ConnectionManager::ConfigReadPercent(int step, int p)
{
    if (!IsConfigRead(step))
        return p;
    const int index = ConfigPart(step) + (InPhase(step, StepConfigSecond) ? CONFIG_PARTS : 0);
    const int from = CONFIG_BAR_START + index * CONFIG_BAR_SPAN;
    return (from * 100 + CONFIG_BAR_SPAN * p) / 1000;
}

void ConnectionManager::Pass()
{
    if (firstPass_) {
        firstPass_ = false;
        if (link_.Search().searchEnabled)
            ShowNoConnection();
    }
    link_.LinkTick();
    const int32_t port = link_.Search().connectedPort.load(std::memory_order_acquire);
    if (!port) {
        // The link can also go without DropConnection (a vanished device, the bootloader tool).
        if (linkStep != StepOffline)
            ForgetUnit();
        linkStep = StepOffline;
        // A command belongs to the unit it was given for: the next unit to connect must not get it.
        pendingCommand = 0;
        UpdateLabelCom();
    }
    if (!port || !link_.Search().searchEnabled)
        return;
    if (linkStep == StepOffline) {
        linkStep = StepReference;
        BeginCommand(StepReference);
        attempts = 0;
        lastMonitorTick = 0;
        programPending = 0;
        SetLabelCom("COM=" + std::to_string(port));
    }
    if (!FollowJob())
        return;
    if (linkStep == StepIdle) {
        attempts = 0;
        if (pendingCommand) {
            linkStep = pendingCommand;
            BeginCommand(pendingCommand);
            pendingCommand = 0;
        } else {
            const int32_t tick = TickMs.load() / MS_PER_TICK;
            if (tick - lastMonitorTick > MONITOR_INTERVAL_TICKS) {
                lastMonitorTick = tick;
                linkStep = StepMonitor;
            }
        }
    }
    if (!HasJob())
        StartStepJob();
    ShowStoring();
}

bool ConnectionManager::HasJob() const { return link_.job() != JobNone; }

void ConnectionManager::BeginCommand(int32_t step)
{
    switch (step) {
    case StepReference:
        activeCommand_ = ConnectionHost::CommandConnect;
        referenceRead_ = false;
        break;
    case StepRead:
        activeCommand_ = ConnectionHost::CommandRead;
        break;
    case StepVerify:
        activeCommand_ = ConnectionHost::CommandVerify;
        break;
    case StepProgramReference:
    case StepProgramWrite:
        activeCommand_ = ConnectionHost::CommandProgram;
        break;
    default:
        activeCommand_ = -1;
        break;
    }
}

void ConnectionManager::EndCommand(bool ok, const ParamImage* unit)
{
    if (activeCommand_ < 0)
        return;
    const auto kind = static_cast<ConnectionHost::CommandKind>(activeCommand_);
    activeCommand_ = -1;
    // A command queued while connecting was meant for a unit that turned out unreadable or of
    // another program version: it must not run on it.
    if (kind == ConnectionHost::CommandConnect && !ok)
        pendingCommand = 0;
    if (kind != ConnectionHost::CommandConnect || referenceRead_)
        host_.CommandEnded(kind, ok, unit);
}

void ConnectionManager::VerifyCommand()
{
    ValidateImage(image_);
    host_.RefreshPages();
    pendingCommand = StepVerify;
}

bool ConnectionManager::ProgramCommand()
{
    if (!link_.Search().connectedPort.load(std::memory_order_acquire))
        return false;
    if (host_.NewInstallation()) {
        host_.ShowMessageBox(LangText(NEW_INSTALLATION), LangText(ATTENTION), ConnectionHost::MessageError);
        return false;
    }
    ValidateImage(image_);
    host_.RefreshPages();
    programAll = 1;
    pendingCommand = connectReads == ConnectReads::ReferenceOnce ? StepProgramWrite : StepProgramReference;
    return true;
}

void ConnectionManager::RequestProgramChanged()
{
    programAll = 0;
    pendingCommand = StepProgramWrite;
}

bool ConnectionManager::ProgramUnderway() const
{
    const auto programStep = [](int32_t step) { return step >= StepProgramReference && step <= StepProgramReadBack; };
    return programStep(pendingCommand) || programStep(linkStep) || programPending != 0;
}

bool ConnectionManager::CommandsEnabled(bool replaying) const
{
    return link_.Search().connectedPort.load(std::memory_order_acquire) != 0 || replaying;
}

void ConnectionManager::DropConnection()
{
    link_.Disconnect();
    ForgetUnit();
    linkStep = StepOffline;
}

void ConnectionManager::ChoosePort(int32_t forcedPort, bool portItem)
{
    UnitSearch& search = link_.Search();
    search.forcedPort = forcedPort;
    if (portItem)
        TraceLine("NEW PORT");
    // Choosing a port takes the link back from a bootloader tool that still holds it.
    if (!search.searchEnabled) {
        search.searchEnabled = 1;
        search.rememberedPort = -1;
    }
    const int32_t connected = search.connectedPort.load(std::memory_order_acquire);
    if (connected && forcedPort != 0 && forcedPort != connected)
        DropConnection();
}

bool ConnectionManager::CommandUnderway() const
{
    return linkStep >= StepRead || pendingCommand != 0 || programPending != 0;
}

void ConnectionManager::ForgetUnit()
{
    // Otherwise the last result shown (often the OK of the read before) would stand for the cut command.
    if (CommandUnderway())
        ShowResult(COMMAND_CUT);
    EndCommand(false, nullptr);
    // The unit went before it reported its storing done.
    if (programPending)
        host_.CommandEnded(ConnectionHost::CommandProgram, false, nullptr);
    programPending = 0;
    saveCountdown = 0;
    if (link_.Search().searchEnabled)
        ShowNoConnection();
    unitMirrorValid = 0;
    CompareWithUnit();
    versionState = VERSION_NOT_CONNECTED;
    versionText.clear();
    UpdateUnitPanel();
}

void ConnectionManager::CompareWithUnit()
{
    host_.RebuildCaption();
    if (!unitMirrorValid) {
        status_.ShowStatus(4, nullptr, 0, BLACK, BUTTON_FACE, RESULT_PRIORITY);
        return;
    }
    if (unitMirror != image_)
        status_.ShowStatus(4, SETTINGS_DIFFERENT, -1, BLACK, YELLOW, RESULT_PRIORITY);
    else
        status_.ShowStatus(4, SETTINGS_IDENTICAL, IDENTICAL_MS, BLACK, GREEN, RESULT_PRIORITY);
}

void ConnectionManager::UpdateUnitPanel()
{
    host_.SetUnitPanelText(UnitPanelText(versionState, versionText, unitInfo));
}

void ConnectionManager::Retranslate()
{
    if (versionState == VERSION_OTHER)
        versionText = VersionMismatchText(unitVersionMajor, unitVersionMinor);
    status_.Retranslate();
    UpdateUnitPanel();
    // The COM menu's reasons follow the language.
    link_.Ports().portsChanged = 1;
}

void ConnectionManager::ShowNoConnection() { status_.ShowStatus(1, NO_CONNECTION, -1, BLACK, RED, -5); }

void ConnectionManager::UpdateLabelCom()
{
    const UnitSearch& search = link_.Search();
    std::vector<int> slotPorts;
    for (const SearchSlot& slot : search.searchSlots)
        if (slot.port > 0)
            slotPorts.push_back(slot.port);
    SetLabelCom(ComMenuModel::LabelComText(search.searchEnabled, search.rememberedPort, search.forcedPort, slotPorts));
}

void ConnectionManager::SetLabelCom(const std::string& text)
{
    if (labelComShown_ && text == labelComText_)
        return;
    labelComShown_ = true;
    labelComText_ = text;
    host_.SetLabelComText(text);
}

void ConnectionManager::SetProgress(bool visible, uint32_t colour, int percent)
{
    if (visible == progressVisible_ && colour == progressColour_ && percent == progressPercent_)
        return;
    progressVisible_ = visible;
    progressColour_ = colour;
    progressPercent_ = percent;
    host_.ShowProgress(visible, colour, percent);
}

void ConnectionManager::ShowResult(const ResultMessage& message, int titlePercent)
{
    const uint32_t back = message.kind == Failure ? RED : BUTTON_FACE;
    status_.ShowStatus(RESULT_SLOT, message.text, RESULT_MS, BLACK, back, RESULT_PRIORITY);
    switch (message.kind) {
    case Title:
        SetProgress(true, CYAN, titlePercent);
        break;
    case Success:
        SetPercent(100);
        break;
    case Failure:
        SetProgress(progressVisible_, RED, 100);
        break;
    }
}

bool ConnectionManager::FollowJob()
{
    const int32_t job = link_.job();
    if (job == JobWrite || job == JobRead) {
        ShowJobProgress();
    } else if (job == JobFailed) {
        link_.ClearJob();
        ++failedJobs;
        if (failedJobs > JOB_RESTARTS)
            return JobFailedInStep();
    } else if (job == JobDone) {
        link_.ClearJob();
        failedJobs = 0;
        if (startedJob_ == JobMonitor)
            TakeOverMonitor();
        Judge();
        // A port handed to the bootloader tool takes no further job.
        return link_.Search().connectedPort.load(std::memory_order_acquire) != 0;
    }
    return true;
}

void ConnectionManager::ShowJobProgress()
{
    const int span = rangeEnd - rangeStart;
    if (span <= 0)
        return;
    const int p = std::clamp((link_.jobPos() - rangeStart) * 100 / span, 0, 100);
    SetPercent(IsConfigRead(linkStep) ? ConfigReadPercent(linkStep, p) : p);
}

bool ConnectionManager::JobFailedInStep()
{
    if (linkStep == StepMonitor) {
        DropConnection();
        return false;
    }
    if (linkStep == StepReference || linkStep == StepReferenceAgain || IsConfigStep(linkStep))
        ShowResult(REFERENCE_ERROR);
    else if (linkStep == StepRead || linkStep == StepReadAgain)
        ShowResult(READ_ERROR);
    else if (linkStep == StepVerify || (linkStep >= StepProgramReference && linkStep <= StepProgramReadBack))
        ShowResult(VERIFY_ERROR);
    linkStep = StepIdle;
    EndCommand(false, nullptr);
    return true;
}

void ConnectionManager::Retry(int32_t step, const ResultMessage& error, int retryPercent)
{
    if (attempts < READ_ATTEMPTS) {
        SetPercent(retryPercent);
        linkStep = step;
    } else {
        ShowResult(error);
        linkStep = StepIdle;
        EndCommand(false, nullptr);
    }
}

void ConnectionManager::Judge()
{
    const uint8_t* rx = link_.jobRxData;
    const int step = linkStep;
    if (step == StepMonitor) {
        linkStep = StepIdle;
    } else if (step == StepReference || step == StepProgramReference) {
        std::memcpy(firstRead.data(), rx, static_cast<size_t>(referenceLength_));
        if (step == StepReference && connectReads == ConnectReads::ReferenceOnce)
            JudgeReference();
        else
            linkStep = step + 1;
    } else if (step == StepReferenceAgain || step == StepProgramReferenceAgain) {
        JudgeReference();
    } else if (InPhase(step, StepConfigFirst)) {
        const int part = ConfigPart(step);
        std::memcpy(firstRead.data() + part * PART_LEN, rx + part * PART_LEN, PART_LEN);
        // A monitor exchange before the next part; after the last part the second pass begins.
        linkStep = part + 1 < CONFIG_PARTS ? StepConfigMonitorFirst + part + 1 : StepConfigMonitorSecond;
    } else if (InPhase(step, StepConfigMonitorFirst)) {
        linkStep = StepConfigFirst + ConfigPart(step);
    } else if (InPhase(step, StepConfigSecond)) {
        JudgeConfigSecond();
    } else if (InPhase(step, StepConfigMonitorSecond)) {
        linkStep = StepConfigSecond + ConfigPart(step);
    } else if (step == StepRead) {
        std::memcpy(firstRead.data(), rx, RS_LEN_EXE);
        linkStep = StepReadAgain;
    } else if (step == StepReadAgain) {
        JudgeReadAgain();
    } else if (step == StepVerify) {
        JudgeCompare(StepVerify);
    } else if (step == StepProgramWrite) {
        linkStep = StepProgramReadBack;
    } else if (step == StepProgramReadBack) {
        JudgeCompare(StepProgramWrite);
    } else if (step == StepReset) {
        linkStep = StepIdle;
    } else if (step == StepBootloaderReset) {
        link_.BootloaderHandOver(link_.Search().connectedPort.load(std::memory_order_acquire), BOOT_RELEASE_PORT);
        host_.RebuildCaption();
        linkStep = StepIdle;
    }
}

void ConnectionManager::JudgeReference()
{
    const uint8_t* rx = link_.jobRxData;
    const int32_t first
        = linkStep == StepReference || linkStep == StepReferenceAgain ? StepReference : StepProgramReference;
    if (std::memcmp(firstRead.data(), rx, static_cast<size_t>(referenceLength_)) != 0) {
        Retry(first, REFERENCE_ERROR);
        return;
    }
    // Bytes a short block cannot carry stay unknown rather than showing a stale unit's bytes.
    referenceBlock.fill(0);
    std::copy(rx, rx + referenceLength_, referenceBlock.begin());
    unitInfo = BuildUnitInfo(referenceBlock);
    referenceRead_ = true;
    host_.TakePendingEdit();
    ValidateImage(image_);
    host_.RefreshPages();
    const int major = unitInfo.versionMajor, minor = unitInfo.versionMinor;
    if (major == PROGRAM_KEY && minor == PROGRAM_SUBVERSION) {
        // After connecting the mirror still holds the previous unit's bytes; it only becomes
        // valid once the configuration has been read twice alike.
        if (first == StepProgramReference)
            unitMirrorValid = 1;
        attempts = 0;
        if (first == StepReference && connectReads == ConnectReads::ReferenceOnce)
            EndReferenceOnlyConnect();
        else
            linkStep = first == StepReference ? StepConfigMonitorFirst : StepProgramWrite;
        return;
    }
    linkStep = StepIdle;
    SetProgress(progressVisible_, RED, 100);
    EndCommand(false, nullptr);
    VersionMessageBox(major, minor);
}

void ConnectionManager::EndReferenceOnlyConnect()
{
    // The mirror stays unknown: nothing of the configuration was read.
    ShowResult(REFERENCE_OK);
    linkStep = StepIdle;
    EndCommand(true, nullptr);
}

void ConnectionManager::VersionMessageBox(int major, int minor)
{
    host_.ShowMessageBox(VersionMismatchText(major, minor), PRODUCT_WORD, ConnectionHost::MessageError);
}

void ConnectionManager::JudgeConfigSecond()
{
    const int part = ConfigPart(linkStep);
    const uint8_t* rx = link_.jobRxData + part * PART_LEN;
    if (std::memcmp(firstRead.data() + part * PART_LEN, rx, PART_LEN) != 0) {
        // The second pass starts over, with the bar back where the configuration reads begin.
        Retry(StepConfigMonitorFirst, REFERENCE_ERROR, ConfigReadPercent(StepConfigFirst, 0));
        return;
    }
    std::memcpy(unitMirror.data() + part * PART_LEN, rx, PART_LEN);
    if (part + 1 < CONFIG_PARTS) {
        linkStep = StepConfigMonitorSecond + part + 1;
        return;
    }
    unitMirrorValid = 1;
    CompareWithUnit();
    ShowResult(REFERENCE_OK);
    linkStep = StepIdle;
    EndCommand(true, &unitMirror);
}

void ConnectionManager::JudgeReadAgain()
{
    const uint8_t* rx = link_.jobRxData;
    if (std::memcmp(firstRead.data(), rx, RS_LEN_EXE) != 0) {
        Retry(StepRead, VERIFY_ERROR);
        return;
    }
    // Taken first, the edit is kept in the undo history as one made earlier during the read is.
    host_.TakePendingEdit();
    changedMap.fill(0);
    std::memcpy(image_.data(), rx, RS_LEN_EXE);
    if (host_.NewInstallation()) {
        host_.ClearNewInstallation();
        host_.SaveSettings();
    }
    unitMirror = image_;
    unitMirrorValid = 1;
    CompareWithUnit();
    host_.UndoSnapshot();
    ValidateImage(image_);
    host_.RefreshPages();
    ShowResult(VERIFY_OK);
    linkStep = StepIdle;
    EndCommand(true, &unitMirror);
}

void ConnectionManager::JudgeCompare(int32_t retryStep)
{
    const bool onlyChanged = linkStep == StepProgramReadBack && !programAll;
    if (CountDifferences(image_.data(), link_.jobRxData, onlyChanged)) {
        Retry(retryStep, VERIFY_ERROR);
        return;
    }
    if (linkStep == StepProgramReadBack) {
        changedMap.fill(0);
        programPending = 1;
        // Storing is shown until the next monitor data reports the real count.
        saveCountdown = 1;
        // The program ends when the unit has stored the bytes, below in ShowStoring.
        activeCommand_ = -1;
    }
    ShowResult(VERIFY_OK);
    linkStep = StepIdle;
    EndCommand(true, &image_);
}

int ConnectionManager::CountDifferences(const uint8_t* a, const uint8_t* b, bool onlyChanged) const
{
    int n = 0;
    for (int i = 0; i < RS_LEN_EXE; ++i)
        if ((!onlyChanged || changedMap[static_cast<size_t>(i)]) && a[i] != b[i])
            ++n;
    return n;
}

void ConnectionManager::StartStepJob()
{
    const int step = linkStep;
    if (IsMonitorStep(step)) {
        StartMonitorExchange();
        return;
    }
    switch (step) {
    case StepReference:
    case StepProgramReference:
        ++attempts;
        [[fallthrough]];
    case StepReferenceAgain:
    case StepProgramReferenceAgain:
        rangeStart = 0;
        referenceLength_ = ReferenceReadLength();
        rangeEnd = referenceLength_;
        if (link_.StartJob(JobReference, 0, referenceLength_, ALL_FLAGS))
            startedJob_ = JobReference;
        ShowResult(REFERENCE_TITLE);
        return;
    case StepRead:
        // A Read during storing takes the place of the program's message; the bytes were verified.
        if (programPending)
            host_.CommandEnded(ConnectionHost::CommandProgram, true, &unitMirror);
        programPending = 0;
        ++attempts;
        ShowResult(READ_TITLE);
        host_.ForgetFileName();
        StartRead(0, RS_LEN_EXE, ALL_FLAGS);
        return;
    case StepReadAgain:
        ShowResult(VERIFY_TITLE);
        StartRead(0, RS_LEN_EXE, ALL_FLAGS);
        return;
    case StepVerify:
        ++attempts;
        ShowResult(VERIFY_TITLE);
        StartRead(0, RS_LEN_EXE, ALL_FLAGS);
        return;
    case StepProgramWrite:
        StartProgramWrite();
        return;
    case StepProgramReadBack:
        ShowResult(VERIFY_TITLE);
        if (programAll) {
            StartRead(0, RS_LEN_EXE, ALL_FLAGS);
        } else {
            std::copy(changedMap.begin(), changedMap.end(), link_.jobToSend);
            StartRead(0, RS_LEN_EXE, JOB_FLAG_CLEAR_DATA);
        }
        return;
    case StepReset:
    case StepBootloaderReset:
        StartReset();
        return;
    default:
        break;
    }
    if (IsConfigRead(step)) {
        if (step == StepConfigFirst)
            ++attempts;
        const int part = ConfigPart(step);
        // The eight reads share one bar, so a part starts where the previous one ended.
        ShowResult(REFERENCE_TITLE, ConfigReadPercent(step, 0));
        StartRead(part * PART_LEN, PART_LEN, ALL_FLAGS);
    }
}

int ConnectionManager::ReferenceReadLength() const
{
    // The unit answers every reference request with block 0, so a fixed block shorter than the
    // reference block can only ever carry its first block; the unit texts all lie inside it.
    const ProtocolInfo* info = FindProtocol(link_.Search().connectedUnit.codec.protocol);
    if (info && !info->wcomFamily && info->blockSize > 0)
        return std::min(info->blockSize, REFERENCE_BLOCK_LEN);
    return REFERENCE_BLOCK_LEN;
}

void ConnectionManager::StartRead(int start, int length, int flags)
{
    rangeStart = start;
    rangeEnd = start + length;
    if (link_.StartJob(JobRead, start, length, flags))
        startedJob_ = JobRead;
}

void ConnectionManager::StartMonitorExchange()
{
    const auto bytes = request_.Build();
    std::copy(bytes.begin(), bytes.end(), link_.jobData);
    if (link_.StartJob(JobMonitor, 0, MONITOR_LEN, MONITOR_FLAGS))
        startedJob_ = JobMonitor;
}

void ConnectionManager::StartProgramWrite()
{
    ++attempts;
    ShowResult(PROGRAM_TITLE);
    rangeStart = 0;
    rangeEnd = RS_LEN_EXE;
    unitMirror = image_;
    unitMirrorValid = 0;
    CompareWithUnit();
    std::memcpy(link_.jobData, image_.data(), RS_LEN_EXE);
    int flags = JOB_FLAG_SEND_ALL;
    if (!programAll) {
        std::copy(changedMap.begin(), changedMap.end(), link_.jobToSend);
        flags = 0;
    }
    if (link_.StartJob(JobWrite, 0, RS_LEN_EXE, flags))
        startedJob_ = JobWrite;
}

void ConnectionManager::StartReset()
{
    std::fill(link_.jobData, link_.jobData + REFERENCE_BLOCK_LEN, 0);
    std::copy(std::begin(IGN_RESET_MARK), std::end(IGN_RESET_MARK), link_.jobData + IGN_RESET_MARK_OFFSET);
    link_.rawCommand = WCOM_RESET;
    link_.rawLength = 0;
    if (link_.StartJob(JobCommand, 0, 1, JOB_FLAG_SEND_ALL))
        startedJob_ = JobCommand;
}

void ConnectionManager::TakeOverMonitor()
{
    monitor_.SetBlock(link_.jobRxData);
    const int major = monitor_.Monb(MON_KEY), minor = monitor_.Monb(MON_SUBVERSION);
    if (major == PROGRAM_KEY && minor == PROGRAM_SUBVERSION) {
        versionState = VERSION_MATCHING;
        char text[32];
        std::snprintf(text, sizeof text, "RSKEY=%d.%02d", PROGRAM_KEY, PROGRAM_SUBVERSION);
        versionText = text;
    } else {
        versionState = VERSION_OTHER;
        unitVersionMajor = major;
        unitVersionMinor = minor;
        versionText = VersionMismatchText(major, minor);
    }
    saveCountdown = monitor_.Monw(MON_SAVE_COUNTDOWN);
    status_.ShowStatus(1, nullptr, 0, BLACK, BUTTON_FACE, RESULT_PRIORITY);
    UpdateUnitPanel();
    host_.FeedRecorder(link_.jobRxData);
    host_.RefreshMonitorDisplay();
}

void ConnectionManager::ShowStoring()
{
    if (saveCountdown > 0) {
        if (!HasJob())
            ShowResult(SAVING_TITLE);
        SetProgress(
            true, progressColour_, (STORING_START - std::min(saveCountdown, STORING_START)) * 100 / STORING_START);
        return;
    }
    if (programPending) {
        unitMirrorValid = 1;
        CompareWithUnit();
        programPending = 0;
        ShowResult(PROGRAM_OK);
        host_.CommandEnded(ConnectionHost::CommandProgram, true, &unitMirror);
    }
}
