#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>

// The floor the program's start-up is measured against: the least a Qt Widgets program with a main
// window and a menu does before its window can be seen.
int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QMainWindow window;
    window.menuBar()->addMenu("&File")->addAction("E&xit", &app, &QApplication::quit);
    window.resize(1000, 700);
    window.show();
    return app.exec();
}
