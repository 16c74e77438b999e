#pragma once

#include "update/PatchSettings.h"

#include <memory>
#include <string>

class EditCycle;
class PatchWindowHost;
class QWidget;
class UpdateCheck;
class WindowStatusBar;

// The update check of the main window: started once start-up is done, stepped by the main timer and
// stopped at shutdown. Its short texts go to the status bar; a choice made in its dialog is saved
// with the settings at once.
class WindowUpdate {
public:
    // window: the parent of the patch dialog and what a chosen update closes.
    WindowUpdate(QWidget& window, WindowStatusBar& status, EditCycle& edits);
    ~WindowUpdate();

    // skip: the command line asked for no check.
    void Start(const std::string& compileDate, bool skip);
    void Tick();
    void Stop();

private:
    QWidget& window_;
    WindowStatusBar& status_;
    EditCycle& edits_;
    PatchSettings settings_;
    std::unique_ptr<PatchWindowHost> host_;
    std::unique_ptr<UpdateCheck> check_;
};
