#pragma once

#include "lang/LanguageSwitch.h"
#include "lang/RuntimeTexts.h"

#include "app/ControlIndex.h"

#include <QObject>

#include <memory>

class ConnectionManager;
class QAction;
class EditCycle;
class QMenuBar;
class QWidget;
class WindowMonitor;
class WindowPages;

// The language side of the main window: the Language menu, switching the language, and
// re-captioning the menus, hints, controls and tabs with the texts of the language chosen.
class WindowLanguage : public QObject {
public:
    // window: where the controls named by the caption tables are found. The pages, the monitor side
    // and the connection manager keep texts of their own that follow a switch.
    WindowLanguage(
        QWidget& window, EditCycle& edits, WindowPages& pages, WindowMonitor& monitor, ConnectionManager& manager);

    // MenuLanguage with one checkable item per language.
    void CreateMenu(QMenuBar* bar);

    // The caption table alone; start-up runs it once before the runtime texts are built.
    void ApplyCaptions();
    // Qt's own texts, the runtime texts, then the menus, hints, captions and the pages' item texts,
    // all in the current language.
    void Retranslate();
    // Switches to language and shows the active page and the monitor in it.
    void SetLanguage(int language);

    const RuntimeTexts& Texts() const { return texts_; }

private:
    LanguageTargets Targets();
    // Runs one pass over the caption tables with the window's named objects gathered once for it.
    template <typename Pass> void WithIndex(Pass pass);
    void NameIconButtons();
    // Controls carry their names as object names; a name may stand for menu items, a tab and a widget.
    void SetControlText(const char* control, const char* text);
    void SetControlHint(const char* control, const char* text);
    // The first menu action of that name, or null.
    QAction* Action(const char* control) const;
    void SetActionChecked(const char* control, bool on);
    void SetActionVisible(const char* control, bool on);

    QWidget& window_;
    EditCycle& edits_;
    WindowPages& pages_;
    WindowMonitor& monitor_;
    ConnectionManager& manager_;
    RuntimeTexts texts_;
    // The named objects while a pass runs.
    std::unique_ptr<ControlIndex> index_;
};
