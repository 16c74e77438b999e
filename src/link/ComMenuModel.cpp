#include "link/ComMenuModel.h"

#include "lang/LangString.h"

#include <cctype>
#include <cstdio>

std::vector<ComMenuItem> ComMenuModel::Build(int forcedPort, int connectedPort, const std::vector<bool>& present)
{
    const auto isPresent = [&](int p) { return p >= 0 && static_cast<size_t>(p) < present.size() && present[static_cast<size_t>(p)]; };
    std::vector<int> ports;
    for (int p = 1; p <= 255; ++p)
        if (isPresent(p) || p == forcedPort)
            ports.push_back(p);

    std::vector<ComMenuItem> items(ITEMS);
    items[0] = {"###COM &offline##COM &offline##COM &odpojen", true, true, forcedPort == -1};
    items[1] = {"###COM &auto##COM &auto##COM &automaticky", true, true, forcedPort == 0};
    items[2] = {"-", true, true, false, false, true};

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
        item.caption = "COM&" + std::to_string(port);
        item.visible = true;
        item.enabled = isPresent(port);
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
        std::snprintf(buf, sizeof buf, "COM=%i (DISCONECTED)", rememberedPort);
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
