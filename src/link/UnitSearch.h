#pragma once

#include "link/KnownUnit.h"
#include "link/SearchSlot.h"
#include "link/SearchTable.h"
#include "link/UnitTypeTable.h"

#include <array>
#include <atomic>
#include <string>

class PortTable;
class StatusSlots;

// Codes of the bootloader hand-over message (number 33545) the window receives.
enum BootloaderCode : uint32_t {
    BOOT_RELEASE_PORT = 0x7FFFFFA1,
    BOOT_RESET_UNIT = 0x7FFFFFA2,
    BOOT_RETURN_PORT = 0x7FFFFFA4,
};
constexpr int BOOTLOADER_MESSAGE = 33545;

// The unit search: three slots try present ports of the port table with the rows of the
// SearchTable until one finds a unit of the required type, which becomes the connected unit.
class UnitSearch {
public:
    static constexpr int SLOT_COUNT = 3;

    // The search opens, uses and closes the ports of this table, which outlives it.
    explicit UnitSearch(PortTable& ports);
    UnitSearch(const UnitSearch&) = delete;
    UnitSearch& operator=(const UnitSearch&) = delete;

    // One pass; called by LinkTick on every connection-manager pass.
    void SearchPass();

    // The status slots the search announces connections in (may stay null: then nothing is shown).
    void SetStatusSlots(StatusSlots* statusSlots) { status_ = statusSlots; }

    // What the window caption reads: "  VORDAX4 (v93)       " + file name + the bootloader note.
    std::string WindowCaption(const std::string& fileName) const;

    SearchTable searchTable;
    SearchSlot connectedUnit;
    std::array<SearchSlot, SLOT_COUNT> searchSlots;
    std::atomic<int32_t> connectedPort { 0 };
    int32_t searchEnabled = 1;
    int32_t requiredUnitType = REQUIRED_UNIT_TYPE;
    int32_t extraTailByte = 0;
    int32_t forcedPort = 0; // -1 offline, 0 automatic, 1..255 only this port
    int32_t nextScanPort = 1;
    int32_t rememberedPort = -1; // the port a bootloader tool holds
    // The unit of the last connection (the window keeps it in its settings); updated on every
    // connection.
    KnownUnit knownUnit;

    // Takes the known unit from the settings; a port, row or rate the search cannot use leaves
    // none known.
    void SetKnownUnit(const KnownUnit& unit);

    // The settings keys ComPort and ComPortAuto: out-of-range values become -1 and 1.
    static int32_t SanitiseForcedPort(int32_t value) { return value < -1 || value > 255 ? -1 : value; }
    static int32_t SanitiseNextScanPort(int32_t value) { return value < 1 || value > 255 ? 1 : value; }
    // The tail of IGN50..IGN150 identify and monitor frames.
    int TailValue() const { return extraTailByte * 256 + requiredUnitType; }

    // Every port the search may use failed to open (a fixed port, or each present one): no unit
    // can answer until the user puts that right, so a program waiting for one can stop at once.
    bool NoPortCanOpen() const;

    // The next start of the search tries the known unit first; the engine calls it when it drops
    // the connection, since the unit is most likely still on that port.
    void TryKnownUnitFirst() { knownFirst_ = true; }

private:
    // Handles one slot; returns true when the pass ends with it.
    bool HandleSlot(int index, int32_t now);
    void ReceiveIdentity(int index, SearchSlot& slot);
    bool Connect(int index, SearchSlot& slot);
    void Unmatched(int index, SearchSlot& slot);
    bool ChoosePort(int index, SearchSlot& slot);
    void ReportOpenFailure(int port);
    bool TakeKnownPort(SearchSlot& slot);
    // The rate a slot opens its port at, and the row it tries after its current one.
    uint32_t SlotBaud(const SearchSlot& slot) const;
    int NextRow(const SearchSlot& slot) const;
    bool HeldBySlot(int port) const;
    bool PortReady(int port) const;

    PortTable& ports_;
    StatusSlots* status_ = nullptr;
    bool comFoundTraced_ = false;
    bool knownFirst_ = true;
};
