#pragma once

#include "files/IgnOpen.h"
#include "files/IgnUnitInfo.h"
#include "files/ParamFileCommands.h"

#include <QKeySequence>
#include <QObject>
#include <QString>
#include <QStringList>

#include <array>
#include <functional>
#include <memory>
#include <string>

class EditCycle;
class PrintCommands;
class ReferenceFile;
class QAction;
class QMainWindow;
class QMenu;
class QMenuBar;
class QToolBar;
class StatusSlots;
class WindowPages;

// The File menu with its tool buttons and history items, and the service menu of test mode. It
// asks the questions, runs the file dialogs and hands the file work to ParamFileCommands; the
// window's page framework refreshes the pages, the caption and the undo ring afterwards.
class FileMenu : public QObject {
public:
    static constexpr int HISTORY_ITEMS = 9;
    static constexpr const char* NEW_QUESTION = "###Do you want default setting?##Wollen Sie Standardeinstellungen "
                                                "öffnen?##Chcete nastavit základní hodnoty?";

    // window: the parent of the dialogs and what is printed; Exit closes it. status: where the
    // result of the last command is hidden after New and Open. errorSink shows "Open file error!"
    // and the reader's messages.
    FileMenu(QMainWindow& window, EditCycle& edits, WindowPages& pages, StatusSlots& status, ParamFileState& state,
        IgnMessageSink errorSink, OutsideSettings* outside);
    ~FileMenu() override;

    // The File menu goes first in the menu bar and the three tool buttons at the start of the
    // tool bar; the service menu "Servis" stands before the Help menu and starts hidden.
    void Build(QMenuBar* menuBar, QToolBar* toolBar);
    void SetServiceMenuVisible(bool visible);

    // New asks first and stops unless the answer is Yes; NewConfirmed is New after a Yes (also
    // the bike change's New). page: PAGE_ALL or the active page.
    void New(bool activePageOnly);
    void NewConfirmed(int page);
    void Open(bool fromDefaultPath, bool activePageOnly);
    void Save(bool presetDefaultPath);
    void OpenHistory(int item);
    // "Open reference...": asks for a file (its dialog remembers its own) and keeps it as the
    // reference the map editors compare against.
    void OpenReference();
    void ClearReference();
    ReferenceFile& Reference() { return *reference_; }
    // Opens the first ".ign" file of a drop; false when there was none.
    bool OpenDropped(const QStringList& paths);
    IgnOpenResult OpenParameterFile(int page, const QString& path);
    void SaveAllNew();
    void CompareAllNew();

    // Shows item k (1..9) with the caption of history entry k while k < count.
    void RefreshHistoryMenu();
    // Sets the file name both dialogs start with.
    void PresetDialogs(const QString& path);
    const QString& OpenDialogName() const { return openName_; }
    const QString& SaveDialogName() const { return saveName_; }
    const QString& DefaultPath() const { return defaultPath_; }
    // The current file, the dialogs' folder, the history and the new-installation flag.
    ParamFileState& State() { return state_; }
    // Print, Print All, Print maps, the print preview and Export PDF.
    PrintCommands& Printing() { return *printing_; }

    // "data.ign" in the program's folder.
    static QString DefaultParamPath();
    // The first name that ends in ".ign" (case of A..Z ignored); empty when none does.
    static QString FirstIgnFile(const QStringList& names);

    // Runs the open or save dialog starting with fileName; returns the chosen path or an empty
    // text when it was cancelled. Tests answer it; the default shows the real dialog.
    std::function<QString(bool forSaving, const QString& fileName)> chooseFile;
    // Whether a Ctrl key is down at the moment of a tool-button click.
    std::function<bool()> ctrlHeld;
    // What the writer records about the connected unit; the default is no unit.
    std::function<IgnUnitInfo()> unitInfo;
    // Shows a note that is no error (the result of Compare All New).
    std::function<void(const std::string&)> infoBox;

private:
    QString RunDialog(bool forSaving, const QString& fileName);
    QString Choose(bool forSaving);
    QString ChooseAs(bool forSaving, QString& name);
    // Clear reference is offered while there is one.
    void RefreshReferenceMenu();
    void AfterFileChange();
    void ConnectPrinting();
    QAction* AddCommand(QMenu* menu, const char* name, const QKeySequence& keys, std::function<void()> handler);

    void HideResultStatus();

    QMainWindow& window_;
    EditCycle& edits_;
    WindowPages& pages_;
    StatusSlots& status_;
    ParamFileState& state_;
    IgnMessageSink errorSink_;
    ParamFileCommands commands_;
    const QString defaultPath_;
    QString openName_;
    QString saveName_;
    std::array<QAction*, HISTORY_ITEMS> historyItems_ {};
    QAction* historySeparator_ = nullptr;
    std::unique_ptr<ReferenceFile> reference_;
    QString referenceName_;
    QAction* clearReference_ = nullptr;
    QMenu* serviceMenu_ = nullptr;
    std::unique_ptr<PrintCommands> printing_;
};
