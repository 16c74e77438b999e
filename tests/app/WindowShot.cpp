// Writes a picture of the main window without a display, for looking at a page or a map editor
// in a language, at a size, and under a light or a dark palette (this platform has no desktop
// theme to give a dark one).
// Usage: [QT_SCALE_FACTOR=2] window-shot OUT.png LANG WxH PAGE [dark] [2d|3d|about]
//   LANG is ENGLISH, DEUTSCH or CESKY; PAGE the page index (3 the advance map, 9 the test page).
#include "about/AboutDialog.h"
#include "app/MainWindow.h"
#include "app/WindowHelp.h"
#include "app/WindowPages.h"
#include "mapedit/MapEditTypes.h"
#include "mapedit/ui/MapEditor.h"

#include <QApplication>
#include <QFile>
#include <QPalette>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstring>
#include <iostream>

namespace {

QPalette DarkPalette()
{
    QPalette p;
    const QColor window(0x35, 0x35, 0x35), base(0x2A, 0x2A, 0x2A), text(0xEE, 0xEE, 0xEE);
    for (const auto role : { QPalette::Window, QPalette::Button })
        p.setColor(role, window);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    for (const auto role : { QPalette::WindowText, QPalette::ButtonText, QPalette::Text, QPalette::ToolTipText })
        p.setColor(role, text);
    p.setColor(QPalette::ToolTipBase, base);
    p.setColor(QPalette::Highlight, QColor(0x2A, 0x82, 0xDA));
    p.setColor(QPalette::HighlightedText, Qt::black);
    p.setColor(QPalette::Light, window.lighter(150));
    p.setColor(QPalette::Mid, window.lighter(120));
    p.setColor(QPalette::Dark, window.darker(150));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x80, 0x80, 0x80));
    return p;
}

bool Has(int argc, char* argv[], const char* word)
{
    for (int i = 5; i < argc; ++i)
        if (std::strcmp(argv[i], word) == 0)
            return true;
    return false;
}

} // namespace

int main(int argc, char* argv[])
{
    int width = 0, height = 0;
    if (argc < 5 || std::sscanf(argv[3], "%dx%d", &width, &height) != 2) {
        std::cerr << "usage: window-shot OUT.png LANG WxH PAGE [dark] [2d|3d|about]\n";
        return 2;
    }
    QTemporaryDir settings;
    qputenv("VORDAX4_SETTINGS_DIR", settings.path().toUtf8());
    // A screen of the asked size (in device pixels; QT_SCALE_FACTOR divides it), the window filling it.
    const QString screen = settings.filePath("screen.json");
    QFile config(screen);
    if (!config.open(QIODevice::WriteOnly))
        return 1;
    config.write(QString(R"({"screens": [{"name": "shot", "x": 0, "y": 0, "width": %1, "height": %2,)"
                         R"( "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1}]})")
                     .arg(width)
                     .arg(height)
                     .toUtf8());
    config.close();
    qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + screen.toUtf8());
    QApplication app(argc, argv);
    if (Has(argc, argv, "dark"))
        QApplication::setPalette(DarkPalette());
    MainWindow window({ argv[2], "nopatchcheck" }, [](const std::string& e) { std::cerr << e << "\n"; });
    window.show();
    window.setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    window.Pages().Select(std::atoi(argv[4]));
    const int view = Has(argc, argv, "2d") ? CMD_VIEW_2D : Has(argc, argv, "3d") ? CMD_VIEW_3D : 0;
    for (MapEditor* editor : window.findChildren<MapEditor*>())
        if (view && editor->isVisible())
            editor->RunCommand(view);
    QApplication::processEvents();
    QWidget* shown = &window;
    if (Has(argc, argv, "about")) {
        shown = window.Help().AboutBox();
        shown->show();
        QApplication::processEvents();
    }
    return shown->grab().save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
