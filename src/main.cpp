#include "app/TMainForm.h"

#include <QApplication>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("VORDAX4");
    QApplication::setOrganizationName("Motravex");

    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.emplace_back(argv[i]);

    TMainForm window(args);
    window.show();
    return app.exec();
}
