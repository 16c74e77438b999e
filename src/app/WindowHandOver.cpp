#include "app/WindowHandOver.h"

#include "app/BootloaderChannel.h"
#include "app/CommandLine.h"
#include "app/FileMenu.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "base/Trace.h"

#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

WindowHandOver::WindowHandOver(QWidget& window, WindowLink& link, WindowMonitor& monitor, FileMenu& fileMenu)
    : window_(window)
    , link_(link)
    , monitor_(monitor)
    , fileMenu_(fileMenu)
{
}

void WindowHandOver::Listen()
{
    bootloader_ = new BootloaderChannel(
        [this](int port, uint32_t code) { link_.BootloaderMessage(port, code); }, &window_);
    bootloader_->onFile = [this](const QString& path) {
        Open(path);
        window_.raise();
        window_.activateWindow();
    };
    if (!bootloader_->Listen())
        TraceLine("BOOTLOADER CHANNEL NOT OPEN");
}

// The files open on the whole window, after the settings and the language word have been applied.
// The history keeps them by their absolute names, so they open again from any working folder.
void WindowHandOver::OpenCommandLineFiles(const CommandLine& commandLine)
{
    for (const std::string* file : { &commandLine.paramFile, &commandLine.recordingFile })
        if (!file->empty())
            Open(QFileInfo(QFile::decodeName(QByteArray::fromStdString(*file))).absoluteFilePath());
}

void WindowHandOver::Open(const QString& path)
{
    if (path.endsWith(".ignlog", Qt::CaseInsensitive))
        monitor_.OpenRecording(path);
    else
        fileMenu_.OpenDropped({ path });
}

void WindowHandOver::Drop(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    fileMenu_.OpenDropped(paths);
}
