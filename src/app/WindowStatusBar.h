#pragma once

#include <QString>

#include <array>
#include <string>

class QLabel;
class QMenuBar;
class QStatusBar;

// The status bar of the main window: hints and short status texts, the fixed labels "EXE" and
// "HEX", the program's version line and the connected unit, each in a panel of its own.
class WindowStatusBar {
public:
    enum Panel { HINT_PANEL = 0, EXE_PANEL = 1, VERSION_PANEL = 2, HEX_PANEL = 3, UNIT_PANEL = 4, PANELS = 5 };

    // Builds the five panels into the window's status bar.
    explicit WindowStatusBar(QStatusBar* bar);

    // The texts of start-up: the version line with the program's compile date, and no unit yet.
    void ShowStartTexts(const std::string& compileDate);
    // The hint of the moment or a short status text; an empty text empties the panel.
    void ShowHint(const QString& text);
    void SetUnitText(const std::string& text);
    // The hints of a menu bar's menus leave the hint panel when their menu closes.
    void FollowMenus(QMenuBar* bar);
    // The text of a panel; empty for a panel that does not exist.
    QString Text(int panel) const;

private:
    std::array<QLabel*, PANELS> panels_ {};
    QString textBeforeMenu_;
};
