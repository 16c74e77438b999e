#include "link/ComMenuModel.h"

#include "lang/LangString.h"

#include <cctype>
#include <cstdio>

namespace {

// "COM&204 – /dev/ttyUSB0 – …": the number is the item's mnemonic; an "&" of a device's
// description is shown as it is.
std::string Caption(int port, const ComPortNote* note)
{
    const std::string number = std::to_string(port);
    std::string caption = "COM&" + number;
    const std::string prefix = "COM" + number;
    if (!note || note->label.compare(0, prefix.size(), prefix) != 0)
        return caption;
    for (char c : note->label.substr(prefix.size()))
        caption += c == '&' ? std::string("&&") : std::string(1, c);
    return caption;
}

} // namespace

std::vector<ComMenuItem> ComMenuModel::Build(
    int forcedPort, int connectedPort, const std::vector<bool>& present, const std::vector<ComPortNote>& notes)
{
    const auto isPresent = [&](int p) { return p >= 0 && static_cast<size_t>(p) < present.size() && present[static_cast<size_t>(p)]; };
    std::vector<int> ports;
    for (int p = 1; p <= 255; ++p)
        if (isPresent(p) || p == forcedPort)
            ports.push_back(p);

    std::vector<ComMenuItem> items(ITEMS);
    items[0] = {"###COM &offline##COM &offline##COM &odpojen", true, true, forcedPort == -1, false, false, {}};
    items[1] = {"###COM &auto##COM &auto##COM &automaticky", true, true, forcedPort == 0, false, false, {}};
    items[2] = {"-", true, true, false, false, true, {}};

    const bool automatic = forcedPort <= 0;
    const int selected = automatic ? connectedPort : forcedPort;
    const int shown = std::min<int>(static_cast<int>(ports.size()) + 3, ITEMS);
    for (int i = 3; i < shown; ++i) {
        int port = ports[static_cast<size_t>(i - 3)];
        // The last item that fits shows the selected port when it lies beyond the list.
        const bool last = i == ITEMS - 1 && static_cast<int>(ports.size()) + 3 > ITEMS;
        if (last && selected > 0 && selected > port)
            port = selected;
        ComMenuItem& item = items[static_cast<size_t>(i)];
        const ComPortNote* note = static_cast<size_t>(port) < notes.size() ? &notes[static_cast<size_t>(port)] : nullptr;
        item.caption = Caption(port, note);
        item.toolTip = note ? note->failure : std::string();
        item.visible = true;
        item.enabled = isPresent(port) && item.toolTip.empty();
        item.radio = automatic;
        item.checked = port == selected && selected > 0;
    }
    return items;
}

bool ComMenuModel::Click(const std::vector<ComMenuItem>& items, int index, int& forcedPort)
{
    if (index == 0) {
        forcedPort = -1;
        return true;
    }
    if (index == 1) {
        forcedPort = 0;
        return true;
    }
    if (index < 3 || static_cast<size_t>(index) >= items.size())
        return false;
    int port = 0;
    bool digits = false;
    for (char c : items[static_cast<size_t>(index)].caption) {
        if (c == '&')
            continue;
        if (std::isdigit(static_cast<unsigned char>(c))) {
            port = port * 10 + (c - '0');
            digits = true;
        } else if (digits) {
            break;
        }
    }
    if (!digits)
        return false;
    forcedPort = port;
    return true;
}

std::string ComMenuModel::LabelComText(bool searchEnabled, int rememberedPort, int forcedPort, const std::vector<int>& slotPorts)
{
    char buf[64];
    if (!searchEnabled) {
        std::snprintf(buf, sizeof buf, "COM=%i (DISCONNECTED)", rememberedPort);
        return buf;
    }
    if (forcedPort == -1)
        return "COM=OFF";
    std::string held;
    for (int p : slotPorts)
        if (p > 0) {
            if (!held.empty())
                held += ',';
            held += std::to_string(p);
        }
    const bool automatic = forcedPort <= 0;
    if (automatic && held.empty())
        return std::string("COM=") + LangText("###none##kain##žádný");
    return automatic ? "COM=(auto " + held + ")" : "COM=" + held;
}
