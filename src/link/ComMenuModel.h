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
    std::string toolTip; // a LangString: why the port cannot be used
};

// What the menu tells of one port besides its number.
struct ComPortNote {
    std::string label; // "COM204 – /dev/ttyUSB0 – FT232R USB UART (FTDI, A50285BI)"
    std::string failure; // a LangString: why the port could not be opened, "" when it could
};

// The COM menu, always rebuilt from the port selection, the connected port and the present ports.
class ComMenuModel {
public:
    static constexpr int ITEMS = 30;

    // present[p] for p = 1..255 tells whether COM p exists; notes[p], when given, names its device
    // and why it could not be opened: such a port is greyed with the reason as its tool tip.
    static std::vector<ComMenuItem> Build(int forcedPort, int connectedPort, const std::vector<bool>& present,
        const std::vector<ComPortNote>& notes = {});

    // The port selection a click on item index of the built menu asks for; returns false for the separator.
    static bool Click(const std::vector<ComMenuItem>& items, int index, int& forcedPort);

    // The caption of LabelCom while no unit is connected. slotPorts: the ports the search slots hold.
    static std::string LabelComText(bool searchEnabled, int rememberedPort, int forcedPort, const std::vector<int>& slotPorts);
};
