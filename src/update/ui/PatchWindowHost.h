#pragma once

#include "update/UpdateCheckHost.h"
#include "update/ui/UpdateDialog.h"

#include <functional>

class QWidget;

// The main window's side of the update check: the patch dialog centred over the window, message
// boxes, the system's "open" action and the window's own status panel, settings and closing.
class PatchWindowHost : public UpdateCheckHost {
public:
    PatchWindowHost(QWidget* window, std::function<void(const std::string&)> setStatusText,
        std::function<void()> saveSettings, UpdateDialog::LinkOpener openLink = {});

    void SetStatusText(const std::string& text) override;
    int ShowPatchDialog(const UpdateOffer& offer) override;
    void OpenLink(const std::string& link) override;
    void ShowMessage(const std::string& caption, const std::string& text) override;
    void SaveSettings() override;
    void CloseMainWindow() override;

    // Called with the dialog before it runs; tests use it to press a button.
    std::function<void(UpdateDialog&)> onDialogShown;

private:
    QWidget* window_;
    std::function<void(const std::string&)> setStatusText_;
    std::function<void()> saveSettings_;
    UpdateDialog::LinkOpener openLink_;
};
