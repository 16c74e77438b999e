#pragma once

#include "update/UpdateOffer.h"

#include <string>

// What the update check needs from the main window. The window's implementation shows the
// `UpdateDialog` dialog and message boxes; tests answer in code.
class UpdateCheckHost {
public:
    virtual ~UpdateCheckHost() = default;

    // Status panel 0 of the window; an empty text clears it.
    virtual void SetStatusText(const std::string& text) = 0;
    // Shows the patch dialog centred over the window; returns 1 download, 2 remind later,
    // 3 do not remind this update.
    virtual int ShowPatchDialog(const UpdateOffer& offer) = 0;
    // The system's "open" action on a link.
    virtual void OpenLink(const std::string& link) = 0;
    virtual void ShowMessage(const std::string& caption, const std::string& text) = 0;
    virtual void SaveSettings() = 0;
    virtual void CloseMainWindow() = 0;
};
