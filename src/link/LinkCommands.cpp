#include "link/LinkCommands.h"

#include "base/TickClock.h"
#include "lang/LangString.h"
#include "link/TransferEngine.h"
#include "link/StatusSlots.h"

#include <QString>

#include <chrono>
#include <cstdlib>
#include <thread>

namespace {

// Status slots for a program without a window: each message is printed once as it appears.
class PrintedLabels : public StatusLabels {
public:
    explicit PrintedLabels(std::FILE* err)
        : err_(err)
    {
    }
    bool HasControl(int slot) const override { return slot != 3; }
    bool IsShown(int slot) const override { return shown_[static_cast<size_t>(slot & 3)]; }
    void ShowLabel(int slot, const std::string& text, uint32_t, uint32_t) override
    {
        shown_[static_cast<size_t>(slot & 3)] = true;
        if (err_)
            std::fprintf(err_, "%s\n", text.c_str());
    }
    void HideLabel(int slot) override { shown_[static_cast<size_t>(slot & 3)] = false; }

private:
    std::FILE* err_;
    bool shown_[4] = {};
};

// The row of the chosen protocol: the first one in the search order at the chosen rate, else its
// first one at all, with the chosen rate.
SearchRow ChosenRow(const SearchTable& table, const PortChoice& choice)
{
    int row = choice.baud ? table.Find(choice.protocol, choice.baud) : -1;
    for (int i = 0; row < 0 && !table.IsEnd(i); ++i)
        if (table.Row(i).protocol == choice.protocol)
            row = i;
    SearchRow chosen = table.Row(row < 0 ? 0 : row);
    chosen.protocol = choice.protocol;
    if (choice.baud)
        chosen.baud = choice.baud;
    return chosen;
}

} // namespace

bool ParseProtocolOption(const std::string& value, PortChoice& choice, std::string* error)
{
    for (const ProtocolInfo& row : Protocols())
        if (QString::fromStdString(value).compare(row.name, Qt::CaseInsensitive) == 0) {
            choice.protocol = row.id;
            return true;
        }
    if (error)
        *error = "--protocol needs one of " + ProtocolNames(", ") + ": \"" + value + "\"";
    return false;
}

bool ParseBaudOption(const std::string& value, PortChoice& choice, std::string* error)
{
    char* end = nullptr;
    const long baud = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || !end || *end || baud < 1 || baud > long(FASTEST_BAUD)) {
        if (error)
            *error = "--baud needs a line rate from 1 to " + std::to_string(FASTEST_BAUD) + ": \"" + value + "\"";
        return false;
    }
    choice.baud = static_cast<uint32_t>(baud);
    return true;
}

void ApplyPortChoice(TransferEngine& link, const PortChoice& choice)
{
    UnitSearch& search = link.Search();
    search.searchTable.FillFamilyRows();
    if (choice.protocol)
        search.searchTable.KeepOnly(ChosenRow(search.searchTable, choice));
    search.forcedPort = choice.forcedPort;
    PortMap map = choice.map;
    // A device named for the forced port is the only port.
    if (choice.forcedPort > 0 && !map.Device(choice.forcedPort).empty())
        map.onlyMapped = true;
    link.Ports().SetPortMap(map);
}

bool ParsePortOption(const std::string& value, PortChoice& choice, std::string* error)
{
    // A device named by its path or link (/dev/serial/by-id/...) is the COM number it has.
    if (!value.empty() && value[0] == '/') {
        const int port = PortDirectory::Assign(PortDirectory::ListSystemDevices(), choice.map).Find(value);
        if (!port && error)
            *error = "--port names no serial device of this system: \"" + value + "\"";
        choice.forcedPort = port ? port : choice.forcedPort;
        return port != 0;
    }
    if (value.find('=') != std::string::npos) {
        if (!choice.map.Add(value, error))
            return false;
        choice.forcedPort = std::atoi(value.c_str());
        return true;
    }
    char* end = nullptr;
    const long port = std::strtol(value.c_str(), &end, 10);
    if (value.empty() || !end || *end || port < 1 || port > 255) {
        if (error)
            *error = "--port needs a COM number from 1 to 255, or N=DEVICE: \"" + value + "\"";
        return false;
    }
    choice.forcedPort = static_cast<int>(port);
    return true;
}

int ListPortsCommand(const PortChoice& choice, std::FILE* out, std::FILE* err)
{
    PortTable sys;
    PortMap map = choice.map;
    if (choice.forcedPort > 0 && !map.Device(choice.forcedPort).empty())
        map.onlyMapped = true;
    sys.SetPortMap(map);
    sys.EnumeratePorts();
    int count = 0;
    std::vector<std::string> fixes;
    for (int port = 1; port < PORT_COUNT; ++port) {
        if (!sys.Port(port).present)
            continue;
        ++count;
        std::string line = sys.PortLabel(port);
        // Only what can be told without opening the device: opening it would switch its signals.
        const PortOpenFailure failure = PortOpenFailure::Probe(sys.DevicePath(port));
        if (failure.Failed()) {
            line += " – cannot be opened: " + failure.Mark();
            fixes.push_back(LangText(failure.Message(port)));
        }
        std::fprintf(out, "%s\n", line.c_str());
    }
    if (!count && err)
        std::fprintf(err, "no serial ports found\n");
    for (const std::string& fix : fixes)
        if (err)
            std::fprintf(err, "%s\n", fix.c_str());
    return 0;
}

IdentifyResult IdentifyUnit(const PortChoice& choice, int timeoutMs, std::FILE* err)
{
    IdentifyResult result;
    PrintedLabels labels(err);
    StatusSlots status(&labels);
    TransferEngine link;
    link.Search().SetStatusSlots(&status);
    ApplyPortChoice(link, choice);
    const auto start = std::chrono::steady_clock::now();
    const int32_t origin = TickMs.load();
    int lastPass = -1;
    for (;;) {
        const auto elapsed
            = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
        if (elapsed > timeoutMs)
            break;
        const int tick = static_cast<int>(elapsed / MS_PER_TICK);
        TickMs = origin + tick * MS_PER_TICK;
        status.ExpireStatus();
        if (tick / 2 != lastPass) {
            lastPass = tick / 2;
            link.LinkTick();
        }
        if (link.Search().NoPortCanOpen()) {
            result.noPortCanOpen = true;
            break;
        }
        if (link.Search().connectedPort.load()) {
            const SearchSlot& unit = link.Search().connectedUnit;
            result.found = true;
            result.port = link.Search().connectedPort.load();
            result.name = unit.name;
            result.protocol = ProtocolName(unit.codec.protocol);
            result.maxFrameLength = unit.maxFrameLength;
            result.dataBytesPerFrame = link.DataBytesPerFrame();
            result.device = link.Ports().DevicePath(result.port);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return result;
}

std::string NoUnitText(const IdentifyResult& result, int timeoutMs)
{
    if (result.noPortCanOpen)
        return NO_PORT_OPENS_TEXT;
    char text[64];
    std::snprintf(text, sizeof text, "no unit found within %.1f s", timeoutMs / 1000.0);
    return text;
}

int IdentifyCommand(const PortChoice& choice, int timeoutMs, std::FILE* out, std::FILE* err)
{
    const IdentifyResult r = IdentifyUnit(choice, timeoutMs, err);
    if (!r.found) {
        if (err)
            std::fprintf(err, "%s\n", NoUnitText(r, timeoutMs).c_str());
        return 1;
    }
    std::fprintf(out, "COM%i\t%s\t%s\tprotocol %s\tmax frame %i\t%i data bytes per frame\n", r.port, r.device.c_str(),
        r.name.c_str(), r.protocol.c_str(), r.maxFrameLength, r.dataBytesPerFrame);
    return 0;
}
