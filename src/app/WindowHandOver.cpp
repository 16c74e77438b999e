#include "app/WindowHandOver.h"

#include "app/BootloaderChannel.h"
#include "app/CommandLine.h"
#include "app/FileMenu.h"
#include "app/WindowLink.h"
#include "app/WindowMonitor.h"
#include "base/InputFile.h"
#include "base/Trace.h"
#include "lang/LangString.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

namespace {

constexpr const char* NOT_OPENED = "###These files could not be opened:##Diese Dateien konnten nicht geöffnet "
                                   "werden:##Tyto soubory nelze otevřít:";

} // namespace

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
        OpenHandedOver(path);
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

void WindowHandOver::OpenHandedOver(const QString& path)
{
    QString reason;
    const InputFile::Status status = InputFile::Check(path, &reason);
    if (status == InputFile::Status::Read)
        Open(path);
    else
        ReportNotOpened(path, status == InputFile::Status::CannotOpen ? reason : QString::fromUtf8(LangText(InputFile::Message(status))));
}

// The box waits for the user without an event loop of its own; files that fail while it is open
// are added to it.
void WindowHandOver::ReportNotOpened(const QString& path, const QString& reason)
{
    const QString line = QDir::toNativeSeparators(path) + ": " + reason;
    if (notOpenedBox_) {
        notOpenedBox_->setText(notOpenedBox_->text() + "\n" + line);
        return;
    }
    notOpenedBox_ = new QMessageBox(QMessageBox::Critical, "Error", QString::fromUtf8(LangText(NOT_OPENED)) + "\n" + line,
        QMessageBox::Ok, &window_);
    notOpenedBox_->setObjectName("MessageFilesNotOpened");
    notOpenedBox_->setAttribute(Qt::WA_DeleteOnClose);
    notOpenedBox_->open();
}

void WindowHandOver::Drop(const QMimeData& data)
{
    QStringList paths;
    for (const QUrl& url : data.urls())
        if (url.isLocalFile())
            paths << url.toLocalFile();
    fileMenu_.OpenDropped(paths);
}
