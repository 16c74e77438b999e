#pragma once

#include <string>
#include <vector>

// One entry of the COM menu.
struct ComMenuItem {
    std::string caption; // a LangString for the two fixed items
    bool visible = false;
    bool enabled = true;
    bool checked = false;
    bool radio = false;
    bool separator = false;
};

// The COM menu, always rebuilt from the port selection, the connected port and the present ports.
class ComMenuModel {
public:
    static constexpr int ITEMS = 30;

    // present[p] for p = 1..255 tells whether COM p exists.
    static std::vector<ComMenuItem> Build(int forcedPort, int connectedPort, const std::vector<bool>& present);

    // The port selection a click on item index of the built menu asks for; returns false for the separator.
    static bool Click(const std::vector<ComMenuItem>& items, int index, int& forcedPort);

    // The caption of LabelCom while no unit is connected. slotPorts: the ports the search slots hold.
    static std::string LabelComText(bool searchEnabled, int rememberedPort, int forcedPort, const std::vector<int>& slotPorts);
};
