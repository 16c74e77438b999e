#include "print/PrintCommands.h"

#include "base/AtomicFile.h"
#include "lang/LangQString.h"
#include "print/MapsPrinter.h"
#include "print/WindowPrinter.h"

#include <QBuffer>
#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPageLayout>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace {

const char* const PRINT_FAILED = "###Printing failed!##Drucken fehlgeschlagen!##Tisk se nezdařil!";
const char* const PDF_FAILED = "###The PDF file could not be written:##Die PDF-Datei konnte nicht geschrieben "
                               "werden:##Soubor PDF nelze zapsat:";
const char* const PDF_FILTER = "PDF (*.pdf)";
constexpr int PDF_DPI = 300;

// Landscape suits the window's shape best; the maps alone read best as tables down a portrait page.
void SetUpPage(QPagedPaintDevice& device, PrintScope scope)
{
    device.setPageOrientation(scope == PrintScope::Maps ? QPageLayout::Portrait : QPageLayout::Landscape);
    device.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
}

bool PrintOn(QMainWindow& window, QPagedPaintDevice& device, PrintScope scope, const QString& header)
{
    switch (scope) {
    case PrintScope::ActivePage:
        return WindowPrinter::PrintActive(window, device, header);
    case PrintScope::AllPages:
        return WindowPrinter::PrintAll(window, device, header) > 0;
    case PrintScope::Maps:
        return MapsPrinter::Print(window, device, header);
    }
    return false;
}

} // namespace

PrintCommands::PrintCommands(QMainWindow& window)
    : window_(window)
{
    printDialog = [this](QPrinter& printer) {
        QPrintDialog dialog(&printer, &window_);
        return dialog.exec() == QDialog::Accepted;
    };
    chooseExportFile = [this] { return QFileDialog::getSaveFileName(&window_, QString(), QString(), PDF_FILTER); };
    errorBox = [this](const QString& text) { QMessageBox::warning(&window_, QString(), text); };
}

QString PrintCommands::WithPdfSuffix(const QString& path)
{
    return path.endsWith(".pdf", Qt::CaseInsensitive) ? path : path + ".pdf";
}

void PrintCommands::PrintWith(PrintScope scope)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer, scope);
    if (!printDialog(printer))
        return;
    // The maps are read from their editors: reloaded from the settings, they show what is printed.
    if (beforePrint)
        beforePrint(scope != PrintScope::ActivePage);
    if (!PrintOn(window_, printer, scope, HeaderText()))
        errorBox(LangQString(PRINT_FAILED));
}

void PrintCommands::Print() { PrintWith(PrintScope::ActivePage); }

void PrintCommands::PrintAll() { PrintWith(PrintScope::AllPages); }

void PrintCommands::PrintMaps() { PrintWith(PrintScope::Maps); }

void PrintCommands::Preview()
{
    if (beforePrint)
        beforePrint(true);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer, PrintScope::AllPages);
    QPrintPreviewDialog dialog(&printer, &window_);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
        [this](QPrinter* p) { WindowPrinter::PrintAll(window_, *p, HeaderText()); });
    dialog.exec();
}

void PrintCommands::ExportPdf()
{
    const QString chosen = chooseExportFile();
    if (chosen.isEmpty())
        return;
    if (beforePrint)
        beforePrint(true);
    QString error;
    if (!WritePdf(window_, WithPdfSuffix(chosen), PrintScope::AllPages, HeaderText(), &error))
        errorBox(error);
}

bool PrintCommands::WritePdf(
    QMainWindow& window, const QString& path, PrintScope scope, const QString& header, QString* error)
{
    // The pages are made in memory and saved as a whole, so a full disk keeps the previous file and
    // a device or pipe named as the target is written into, not replaced.
    QByteArray pdf;
    bool written = false;
    {
        QBuffer buffer(&pdf);
        buffer.open(QIODevice::WriteOnly);
        QPdfWriter writer(&buffer);
        writer.setResolution(PDF_DPI);
        writer.setCreator("VORDAX4");
        SetUpPage(writer, scope);
        written = PrintOn(window, writer, scope, header);
    }
    QString reason;
    written = written && SaveFileAtomically(path, pdf, &reason);
    if (!written && error)
        *error = LangQString(PDF_FAILED) + " " + path + (reason.isEmpty() ? QString() : "\n" + reason);
    return written;
}
