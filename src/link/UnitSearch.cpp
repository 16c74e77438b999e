#include "link/UnitSearch.h"

#include "link/WindowCaption.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "link/FrameCommands.h"
#include "link/PortTable.h"
#include "link/StatusSlots.h"
#include "link/UnitTypeTable.h"
#include "model/ImageLayout.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr int32_t PAUSE_MS = 300;
constexpr int32_t OPENING_MS = 600;
constexpr uint32_t BLACK = 0x000000;
constexpr uint32_t WHITE = 0xFFFFFF;
constexpr uint32_t RED = 0x0000FF;

// WCOM and WCOMS rows follow each other on an open port, and a unit answers with its own
// protocol's check. An answer of the other check is a late one to the previous row's request: taken,
// it would connect the unit with a protocol it does not understand.
bool AnswersThisRow(const FrameCodec& codec, const ProtocolInfo& info)
{
    const uint8_t check = info.sumCheck ? WCOM_KIND_SUM : WCOM_KIND_CRC;
    return (codec.kind() & WCOM_KIND_CHECK_MASK) == check;
}

const char* const connectedText = "###%s connected##%s verbunden##%s připojen";
const char* const unmatchedText
    = "###COM %i:%s (unmatched)##COM %i:%s verbunden (unübertroffen)##COM %i:%s připojen (nekompatibilní)";

} // namespace

UnitSearch::UnitSearch(PortTable& ports)
    : ports_(ports)
{
    connectedUnit.codec.ResetCodec();
}

std::string UnitSearch::WindowCaption(const std::string& fileName) const
{
    return ::WindowCaption(fileName, searchEnabled != 0);
}

void UnitSearch::SearchPass()
{
    ports_.ServicePorts();
    if (!ports_.portsEnumerated || connectedPort.load(std::memory_order_relaxed) || !searchEnabled)
        return;
    if (!comFoundTraced_) {
        comFoundTraced_ = true;
        TraceLine("COM found");
    }
    if (forcedPort == -1) {
        for (SearchSlot& slot : searchSlots) {
            if (slot.port)
                ports_.ClosePort(slot.port);
            slot.port = 0;
            slot.state = SLOT_IDLE;
        }
        return;
    }
    const int32_t now = TickMs.load();
    for (int i = 0; i < SLOT_COUNT; ++i)
        if (HandleSlot(i, now))
            return;
}

// A port is used only when it is open and not about to close: one still open because its close
// has not been carried out yet would close under a unit found on it, and what it received belongs
// to the session that was given up. Such a port is opened afresh (close, then open).
bool UnitSearch::PortReady(int port) const
{
    const PortRecord& com = ports_.Port(port);
    return com.state.load(std::memory_order_acquire) == PORT_OPEN && !(com.requestFlags & REQUEST_CLOSE);
}

bool UnitSearch::HeldBySlot(int port) const
{
    for (const SearchSlot& slot : searchSlots)
        if (slot.port == port)
            return true;
    return false;
}

bool UnitSearch::HandleSlot(int i, int32_t now)
{
    SearchSlot& slot = searchSlots[static_cast<size_t>(i)];
    const SearchRow& row = searchTable.Row(slot.row);
    if (slot.state == SLOT_PAUSING) {
        if (now - slot.timeStamp > PAUSE_MS) {
            slot.port = 0;
            slot.state = SLOT_IDLE;
        }
        if (ports_.Port(slot.port).state.load(std::memory_order_acquire) == PORT_CLOSED)
            slot.state = SLOT_IDLE;
    }
    if (forcedPort > 0 && slot.port > 0 && slot.port != forcedPort) {
        TraceLinef("[%i]FORCE CLOSE - Close port COM%i", i, slot.port);
        ports_.ClosePort(slot.port);
        slot.port = 0;
        slot.timeStamp = now;
        slot.state = SLOT_PAUSING;
    }
    if (slot.state == SLOT_OPENING) {
        if (ports_.Port(slot.port).error.load(std::memory_order_acquire) == PORT_ERROR_OPEN) {
            ReportOpenFailure(slot.port);
            slot.state = SLOT_PORT_FAILED;
        } else if (now - slot.timeStamp > OPENING_MS) {
            TraceLinef("[%i] Not Opening...", i);
            slot.state = SLOT_PORT_FAILED;
        } else if (PortReady(slot.port)) {
            ports_.ClearOpenFailure(slot.port);
            slot.codec.SetProtocol(row.protocol, row.timeoutMs);
            slot.codec.BuildIdentifyRequest(TailValue());
            slot.codec.SendFrame(ports_.Port(slot.port));
            slot.timeStamp = now;
            slot.state = SLOT_SENT_ONCE;
            TraceLinef("[%i] Send Once (%s)...", i, ProtocolName(row.protocol));
        }
    }
    const bool sent = slot.state == SLOT_SENT_ONCE || slot.state == SLOT_SENT_AGAIN;
    if (sent && now - slot.timeStamp > row.timeoutMs) {
        if (slot.state == SLOT_SENT_ONCE) {
            if (slot.codec.remaining == 0)
                slot.codec.RestartSend();
            slot.timeStamp = now;
            slot.state = SLOT_SENT_AGAIN;
            TraceLinef("[%i] Send Again...", i);
        } else {
            slot.state = SLOT_PROTOCOL_FAILED;
        }
    }
    if (slot.state == SLOT_SENT_ONCE || slot.state == SLOT_SENT_AGAIN) {
        slot.codec.SendFrame(ports_.Port(slot.port));
        if (slot.codec.ReceiveFrame(ports_.Port(slot.port), now))
            ReceiveIdentity(i, slot);
    }
    if (slot.state == SLOT_IDENTIFIED) {
        if (slot.unitTypeCode == requiredUnitType)
            return Connect(i, slot);
        Unmatched(i, slot);
    }
    if (slot.state == SLOT_PORT_FAILED) {
        TraceLinef("[%i]FAIL PORT - Close port COM%i", i, slot.port);
        ports_.ClosePort(slot.port);
        slot.port = 0;
        slot.timeStamp = now;
        slot.state = SLOT_PAUSING;
    }
    if (slot.state == SLOT_PROTOCOL_FAILED) {
        const int next = NextRow(slot);
        if (slot.port && !searchTable.IsEnd(next) && searchTable.Row(next).baud == SlotBaud(slot)) {
            TraceLinef("[%i]FAIL PROTOCOL - skip port closing", i);
            slot.state = SLOT_IDLE;
        } else {
            TraceLinef("[%i]FAIL PROTOCOL - Close port COM%i", i, slot.port);
            ports_.ClosePort(slot.port);
            slot.timeStamp = now;
            slot.state = SLOT_PAUSING;
        }
    }
    if (slot.state != SLOT_IDLE)
        return false;
    if (slot.port) {
        slot.row = NextRow(slot);
        slot.knownTry = false;
        if (searchTable.IsEnd(slot.row))
            slot.port = 0;
    }
    if (!slot.port) {
        if (forcedPort > 0 && i > 0)
            return true;
        if (!ChoosePort(i, slot))
            return false;
    }
    const SearchRow& next = searchTable.Row(slot.row);
    slot.codec.SetProtocol(next.protocol, next.timeoutMs);
    slot.timeStamp = now;
    slot.state = SLOT_OPENING;
    if (PortReady(slot.port)) {
        TraceLinef(
            "[%i]...skip opening port COM%i, Protocol=%i, Timeout=%i", i, slot.port, next.protocol, next.timeoutMs);
        // Whatever came after the last row gave up answers its request, not the new one.
        ports_.Port(slot.port).DiscardReceived();
        return HandleSlot(i, now);
    }
    ports_.OpenPort(slot.port, SlotBaud(slot));
    // The thread starts opening now, so the request can go out on the next pass.
    ports_.ServicePortNow(slot.port);
    TraceLinef("[%i]Open Port COM%i, Protocol=%i, Timeout=%i", i, slot.port, next.protocol, next.timeoutMs);
    return false;
}

// Told once per new reason, at once: a port the user may not open never answers, and waiting for
// the search's time-out would only hide why.
void UnitSearch::ReportOpenFailure(int port)
{
    if (!ports_.NoteOpenFailure(port))
        return;
    const std::string text = ports_.OpenFailure(port).Message(port);
    TraceLine(LangText(text, 0));
    if (status_)
        status_->ShowStatus(1, text.c_str(), -1, BLACK, RED, 10);
}

bool UnitSearch::NoPortCanOpen() const
{
    if (forcedPort == -1 || !ports_.portsEnumerated)
        return false;
    if (forcedPort > 0)
        return ports_.OpenFailure(forcedPort).Failed();
    bool any = false;
    for (int port = 1; port < PORT_COUNT; ++port)
        if (ports_.Port(port).present) {
            if (!ports_.OpenFailure(port).Failed())
                return false;
            any = true;
        }
    return any;
}

void UnitSearch::SetKnownUnit(const KnownUnit& unit)
{
    const bool usable = unit.Valid() && !searchTable.IsEnd(unit.row) && unit.baud <= FASTEST_BAUD;
    knownUnit = usable ? unit : KnownUnit {};
}

uint32_t UnitSearch::SlotBaud(const SearchSlot& slot) const
{
    return slot.knownTry ? knownUnit.baud : searchTable.Row(slot.row).baud;
}

// After the known unit's row the port gets the full order from its first row.
int UnitSearch::NextRow(const SearchSlot& slot) const { return slot.knownTry ? 0 : slot.row + 1; }

// Once per start of the search: the first slot to choose takes the known unit's port with its row,
// unless the port is gone or another port is fixed.
bool UnitSearch::TakeKnownPort(SearchSlot& slot)
{
    if (!knownFirst_)
        return false;
    knownFirst_ = false;
    const int port = knownUnit.port;
    if (!knownUnit.Valid() || searchTable.IsEnd(knownUnit.row) || (forcedPort > 0 && port != forcedPort)
        || !ports_.Port(port).present || HeldBySlot(port))
        return false;
    slot.port = port;
    slot.row = knownUnit.row;
    slot.knownTry = true;
    if (forcedPort <= 0)
        nextScanPort = port >= 255 ? 1 : port + 1;
    return true;
}

bool UnitSearch::ChoosePort(int, SearchSlot& slot)
{
    slot.knownTry = false;
    if (TakeKnownPort(slot))
        return true;
    int chosen = 0;
    if (forcedPort > 0) {
        chosen = forcedPort;
    } else {
        int candidate = SanitiseNextScanPort(nextScanPort);
        for (int tries = 0; tries < 256 && !chosen; ++tries) {
            if (ports_.Port(candidate).present && !HeldBySlot(candidate))
                chosen = candidate;
            candidate = candidate >= 255 ? 1 : candidate + 1;
        }
        if (!chosen)
            return false;
        nextScanPort = chosen >= 255 ? 1 : chosen + 1;
    }
    slot.port = chosen;
    slot.row = 0;
    return true;
}

void UnitSearch::ReceiveIdentity(int i, SearchSlot& slot)
{
    FrameCodec& codec = slot.codec;
    const ProtocolInfo* info = FindProtocol(codec.protocol);
    const int length = info->wcomFamily ? codec.dataLength() + WCOM_OVERHEAD : codec.frameLength;
    TraceLinef("[%i] Frame rec (%i)...", i, length);
    if (length == static_cast<int>(codec.txLength) && std::memcmp(codec.rxFrame, codec.txFrame, codec.txLength) == 0) {
        TraceLinef("[%i] ECHO !", i);
        slot.state = SLOT_PORT_FAILED;
        return;
    }
    if (info->wcomFamily && !AnswersThisRow(codec, *info)) {
        TraceLinef("[%i] Late answer to the other protocol's request, passed over", i);
        return;
    }
    UnitIdentity identity;
    if (!codec.ParseIdentity(identity))
        return;
    slot.hardwareCode = -1;
    if (!info->wcomFamily) {
        slot.frameOverhead = IGN_OVERHEAD;
        slot.maxFrameLength = info->requestLength;
        slot.unitTypeCode = identity.unitTypeCode;
        if (const char* typeName = UnitTypeName(slot.unitTypeCode))
            std::snprintf(slot.name, sizeof slot.name, "%s v%i", typeName, slot.unitTypeCode);
        else
            std::snprintf(slot.name, sizeof slot.name, "Motravex %i", slot.unitTypeCode);
    } else {
        slot.frameOverhead = WCOM_OVERHEAD;
        slot.maxFrameLength = identity.maxFrameLength >= 0 ? identity.maxFrameLength : WCOM_DEFAULT_MAX_FRAME;
        slot.hardwareCode = identity.hardwareCode;
        slot.unitTypeCode = identity.unitTypeCode;
        std::snprintf(slot.name, sizeof slot.name, "%s v%i (hw:%x)", identity.name, slot.unitTypeCode,
            static_cast<unsigned>(slot.hardwareCode));
    }
    slot.state = SLOT_IDENTIFIED;
}

bool UnitSearch::Connect(int i, SearchSlot& slot)
{
    const int port = slot.port;
    knownUnit = { port, slot.row, SlotBaud(slot) };
    connectedUnit = slot;
    for (SearchSlot& other : searchSlots) {
        if (other.port && other.port != port)
            ports_.ClosePort(other.port);
        other.port = 0;
        other.state = SLOT_IDLE;
    }
    ports_.portsChanged = 1;
    nextScanPort = port;
    searchEnabled = 1;
    char text[256];
    std::snprintf(text, sizeof text, connectedText, connectedUnit.name, connectedUnit.name, connectedUnit.name);
    if (status_)
        status_->ShowStatus(1, text, -1, BLACK, WHITE, 100);
    TraceLinef("[%i]%s", i, text);
    connectedPort.store(port, std::memory_order_release);
    return true;
}

void UnitSearch::Unmatched(int i, SearchSlot& slot)
{
    char text[256];
    std::snprintf(text, sizeof text, unmatchedText, slot.port, slot.name, slot.port, slot.name, slot.port, slot.name);
    TraceLinef("[%i]%s", i, text);
    if (status_)
        status_->ShowStatus(1, text, 6000, BLACK, RED, 10);
    slot.state = SLOT_PORT_FAILED;
}
