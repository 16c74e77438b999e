#pragma once

#include "mapedit/ui/MapEditor.h"

#include <QAbstractSpinBox>
#include <QStringList>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <gtest/gtest.h>

// A window on the screen has been laid out and painted, which creates Qt's own helper widgets (tab
// scroll buttons, tool bar extension); a window that never was is settled so before and after match.
inline void SettleWindow(QWidget& window) { (void)window.grab(); }

// One line per widget of a window with everything the printout may change, so that two
// snapshots compare equal exactly when the window was put back as it was.
inline QStringList WindowSnapshot(QWidget& window)
{
    QStringList lines;
    QList<QWidget*> widgets = window.findChildren<QWidget*>();
    widgets.prepend(&window);
    for (QWidget* w : widgets) {
        // Qt's own helpers follow the space they get, not the program's state.
        if (w->objectName().startsWith("qt_") || qobject_cast<QTabBar*>(w->parentWidget()))
            continue;
        QString line = QString("%1 %2 hidden=%3 fill=%4 colour=%5 own=%6")
                           .arg(w->metaObject()->className(), w->objectName())
                           .arg(w->isHidden())
                           .arg(w->autoFillBackground())
                           .arg(w->palette().color(w->backgroundRole()).name())
                           .arg(w->testAttribute(Qt::WA_SetPalette));
        if (auto* spin = qobject_cast<QAbstractSpinBox*>(w))
            line += QString(" arrows=%1").arg(spin->buttonSymbols());
        if (auto* tab = qobject_cast<MapEditor*>(w))
            line += QString(" print=%1").arg(tab->PrintMode());
        if (auto* tabs = qobject_cast<QTabWidget*>(w)) {
            line += QString(" current=%1 tabs=").arg(tabs->currentIndex());
            for (int i = 0; i < tabs->count(); ++i)
                line += tabs->isTabVisible(i) ? '1' : '0';
        }
        lines << line;
    }
    // Raising a sheet reorders the children; the order is no state of the window.
    lines.sort();
    return lines;
}

// Reports only the widgets whose state differs, so a failure names what was not put back.
inline void ExpectSameSnapshot(const QStringList& before, const QStringList& after)
{
    for (const QString& line : after)
        EXPECT_TRUE(before.contains(line)) << "new or changed: " << line.toStdString();
    ASSERT_EQ(after.size(), before.size()) << "widgets came or went";
    for (int i = 0; i < before.size(); ++i)
        EXPECT_EQ(after[i].toStdString(), before[i].toStdString());
}
