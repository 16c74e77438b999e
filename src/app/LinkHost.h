#pragma once

#include "link/ConnectionHost.h"

#include <cstdint>
#include <string>

// What the window's link side hands on to the rest of the window: the events of the unit link
// that concern parts which themselves use the link (the comparison, the workshop history), the
// status bar and the port selection kept in the settings.
class LinkHost {
public:
    virtual ~LinkHost() = default;

    // The COM menu chose another port selection.
    virtual void PortSelectionChanged(int forcedPort) = 0;
    // The bootloader tool took or gave back the port: texts and captions are built again.
    virtual void PortHandedOver() = 0;
    // Panel 4 of the status bar.
    virtual void SetUnitPanelText(const std::string& text) = 0;
    // A status message was shown in slot with the background colour backColour (0x00BBGGRR).
    virtual void ResultShown(int slot, uint32_t backColour) = 0;
    // The connection manager's report of a connection or a command that ended.
    virtual void CommandEnded(ConnectionHost::CommandKind kind, bool ok, const ParamImage* unit) = 0;
};
