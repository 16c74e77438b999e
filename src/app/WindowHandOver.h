#pragma once

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>

class BootloaderChannel;
class FileMenu;
class QMimeData;
class QWidget;
class WindowLink;
class WindowMonitor;
struct CommandLine;

// What reaches the window from outside it: the files named on the command line, the files a second
// start of the program hands over, dropped files, and the bootloader tool's messages.
class WindowHandOver : public QObject {
public:
    // window: raised when a second start hands it a file.
    WindowHandOver(QWidget& window, WindowLink& link, WindowMonitor& monitor, FileMenu& fileMenu);

    // The bootloader tool's socket, which also brings the files of a second start of the program.
    void Listen();
    // The parameter file and the recording named on the command line, in that order.
    void OpenCommandLineFiles(const CommandLine& commandLine);
    // A ".ign" file opens as File > Open opens it, a ".ignlog" recording in the monitor player;
    // other names are ignored.
    void Open(const QString& path);
    // Only the first parameter file of a drop is opened; other files are ignored.
    void Drop(const QMimeData& data);
    // A file a second start handed over: opened when it can be read, else named in the one box
    // that collects such files, so that many failed hand-overs never pile up boxes.
    void OpenHandedOver(const QString& path);

private:
    void ReportNotOpened(const QString& path, const QString& reason);

    QWidget& window_;
    WindowLink& link_;
    WindowMonitor& monitor_;
    FileMenu& fileMenu_;
    BootloaderChannel* bootloader_ = nullptr;
    QPointer<QMessageBox> notOpenedBox_;
};
