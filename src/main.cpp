#include "app/BootloaderChannel.h"
#include "app/CommandLine.h"
#include "app/MainWindow.h"
#include "lang/LangString.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QIcon>

#include <iostream>

namespace {

// A second start with files hands them to the window already running and ends there. The
// running window has another working folder, so it gets absolute paths.
bool HandFilesToRunningProgram(const CommandLine& cl, int& argc, char* argv[])
{
    const QCoreApplication probe(argc, argv);
    bool handed = false;
    for (const std::string* file : { &cl.paramFile, &cl.recordingFile }) {
        if (file->empty())
            continue;
        const QString path = QFileInfo(QFile::decodeName(QByteArray::fromStdString(*file))).absoluteFilePath();
        if (!BootloaderChannel::SendFile(BootloaderChannel::DefaultName(), path))
            return false;
        handed = true;
    }
    return handed;
}

} // namespace

int main(int argc, char* argv[])
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    const CommandLine commandLine = CommandLine::Parse(args);
    if (commandLine.language >= 0)
        LanguageIndex = commandLine.language;
    // Help, the version and wrong options need no display: they are answered before Qt loads one.
    if (const std::optional<int> code = commandLine.AnswerWithoutWindow(std::cout, std::cerr))
        return *code;
    if (commandLine.hasFiles() && HandFilesToRunningProgram(commandLine, argc, argv))
        return 0;

    QApplication app(argc, argv);
    QApplication::setApplicationName("VORDAX4");
    QApplication::setOrganizationName("Motravex");
    // The task bar and the desktop find the program's menu entry and icon by these.
    QApplication::setDesktopFileName("vordax4");
    QIcon icon;
    for (const QFileInfo& picture : QDir(":/packaging/icons").entryInfoList())
        icon.addFile(picture.filePath());
    QApplication::setWindowIcon(icon);

    MainWindow window(args);
    if (window.Closed())
        return 0;
    window.show();
    return app.exec();
}
