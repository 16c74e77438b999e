#pragma once

#include "mapedit/ui/ToolbarIcons.h"

#include <QRect>
#include <QString>

#include <array>
#include <cstdint>

class QPainter;
class MapEditor;

// The row of buttons drawn inside a map editor with a toolbar: copy, copy table, paste, step up
// and down, the use-only choices and the views. A button's index is the command it runs. Maps
// without a toolbar get a single button that switches between their table and their graph.
class MapToolbar {
public:
    static constexpr int MAX_BUTTONS = 30;
    static constexpr int HEIGHT = 24;

    struct Button {
        bool exists = false;
        bool toggle = false;
        int view = 0; // the only view in which the button is shown; 0: every view
        bool enabled = true;
        bool pressed = false;
        QRect rect;
        ToolbarIcon icon = ToolbarIcon::None;
        QString caption; // "+" and "-" are drawn as glyphs
        uint32_t face = 0xFF00000F;
        const char* hint = nullptr;
    };

    explicit MapToolbar(MapEditor& tab);

    // The width the active sheet's toolbar needs (0 without a toolbar).
    int Width() const;
    // Lays the buttons out at height top for the active sheet and refreshes everything.
    void Build(int top);
    // Enabling of the step and copy buttons, and of paste (which asks the clipboard); true when
    // a button changed.
    bool Refresh(bool stepsAndCopy, bool paste);
    void Paint(QPainter& painter);
    // Everything the toolbar draws lies inside this, the frame around the step buttons included.
    QRect Bounds() const;

    // The command of the visible button under a point, -1 for none.
    int ButtonAt(QPoint position) const;
    // Mouse on the buttons; each returns whether a button took it.
    bool MousePress(QPoint position);
    bool MouseRelease(QPoint position);
    bool DoubleClick(QPoint position);
    QString HintAt(QPoint position) const;

    const Button& At(int command) const { return buttons[static_cast<size_t>(command)]; }
    // The table / graph switch of a map without a toolbar; empty when it has none.
    QRect ViewToggle() const { return viewToggle_; }

private:
    int UseOnlyCount() const;
    int ViewCount() const;
    bool Visible(const Button& b) const;
    void SetPressedStates();
    void PaintButton(QPainter& p, int command);
    void PaintStepFrame(QPainter& p);
    void PaintViewToggle(QPainter& p);
    QRect StepButtons() const;

    MapEditor& tab_;
    std::array<Button, MAX_BUTTONS> buttons {};
    QRect viewToggle_;
    int held = -1; // the button the left button went down on
};
