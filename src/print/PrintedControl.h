#pragma once

#include "print/PrintKinds.h"

#include <QColor>
#include <QPalette>
#include <QPointer>
#include <QWidget>

// One change the printout made to a control, kept so that it can be put back exactly.
struct PrintedControl {
    enum Change {
        MAP_EDITOR_PRINT_MODE = 0,
        LABEL_TRANSPARENT = 1,
        COLOUR_CHANGED = 2,
        CONTROL_HIDDEN = 3,
    };

    QPointer<QWidget> control; // a control deleted meanwhile is skipped on restoring
    PrintKind kind = KIND_OTHER;
    Change change = CONTROL_HIDDEN;
    QColor colour; // the colour the control had
    QPalette palette; // its whole palette, so a colour it only inherited is inherited again
    bool ownPalette = false;
};
