#pragma once

#include <cstdint>
#include <string>

class ParamImage;

// What the connection manager asks of its owner: the main window implements it with its widgets,
// the command-line tool with printed lines. Every method has a harmless default so an owner only
// implements what it shows.
class ConnectionHost {
public:
    enum MessageKind { MessageError, MessageWarning, MessageInformation };
    // What has just ended: the reads after connecting, or one of the user's commands.
    enum CommandKind { CommandConnect, CommandRead, CommandVerify, CommandProgram };

    virtual ~ConnectionHost() = default;

    // CGaugeProgram; colours are 0x00BBGGRR.
    virtual void ShowProgress(bool /*visible*/, uint32_t /*colour*/, int /*percent*/) { }
    // A modal message box on top of all windows; text and caption are already in the current language.
    virtual void ShowMessageBox(const std::string& /*text*/, const std::string& /*caption*/, MessageKind /*kind*/) { }
    // The ParamImage changed under the controls: the pages show it again.
    virtual void RefreshPages() { }
    // An edit still gathering in a control goes into the ParamImage now, before the image is
    // validated for a new unit or replaced by what the unit holds; refreshing the pages afterwards
    // would otherwise put the old value back into the control.
    virtual void TakePendingEdit() { }
    virtual void UndoSnapshot() { }
    virtual void SaveSettings() { }
    virtual void SetLabelComText(const std::string& /*text*/) { }
    // Panel 4 of the status bar.
    virtual void SetUnitPanelText(const std::string& /*text*/) { }
    virtual void RefreshMonitorDisplay() { }
    // The window caption, rebuilt before every comparison of the image with the unit.
    virtual void RebuildCaption() { }
    // The monitor recorder takes each monitor block (100 bytes) the unit sent.
    virtual void FeedRecorder(const uint8_t* /*monitorBytes*/) { }
    // A Read replaces the image: the parameter file name no longer describes it.
    virtual void ForgetFileName() { }
    // The settings key NEWINSTAL.
    virtual bool NewInstallation() const { return false; }
    virtual void ClearNewInstallation() { }
    // A connection or a command ended; ok: the unit now holds what it promised (a program only once
    // the unit has stored it). unit: the unit's configuration afterwards where it is known, else null.
    virtual void CommandEnded(CommandKind /*kind*/, bool /*ok*/, const ParamImage* /*unit*/) { }
};
