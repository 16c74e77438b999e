#pragma once

#include <QString>

#include <functional>

class QMainWindow;
class QPrinter;
class QWidget;

// What a printout holds: the window with its active page, every settings page (and the maps), or
// the maps alone as numbers.
enum class PrintScope { ActivePage, AllPages, Maps };

// The File menu's printing: Print, Print All, Print maps, the print preview and Export PDF, each through the
// platform's dialogs. The window's own preparations (applying a pending edit, reloading the pages)
// and the head line come from the window through the hooks.
class PrintCommands {
public:
    explicit PrintCommands(QMainWindow& window);

    void Print();
    void PrintAll();
    void PrintMaps();
    void Preview();
    void ExportPdf();

    // Writes what scope names to a PDF file; the file appears only when it was written whole. error
    // gets a message when it was not.
    static bool WritePdf(
        QMainWindow& window, const QString& path, PrintScope scope, const QString& header, QString* error);
    // Adds ".pdf" unless the name ends in it (case ignored).
    static QString WithPdfSuffix(const QString& path);

    // Applies a pending edit; all: reloads every page from the image first.
    std::function<void(bool all)> beforePrint;
    std::function<QString()> header;
    // Runs the print dialog; false when it was cancelled. Tests answer it.
    std::function<bool(QPrinter&)> printDialog;
    // Asks where to export; an empty text cancels. Tests answer it.
    std::function<QString()> chooseExportFile;
    std::function<void(const QString&)> errorBox;

private:
    void PrintWith(PrintScope scope);
    QString HeaderText() const { return header ? header() : QString(); }

    QMainWindow& window_;
};
