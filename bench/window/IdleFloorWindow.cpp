// The floor of bench/window-idle.sh: a minimal Qt Widgets window with a menu and a 55 ms timer that
// does nothing, the least a window with the program's main-timer tick can cost while idle.
#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu("&File");
    window.resize(800, 600);
    window.show();
    QTimer tick;
    tick.start(55);
    return app.exec();
}
