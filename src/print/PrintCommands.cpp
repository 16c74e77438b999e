#include "print/PrintCommands.h"

#include "base/AtomicFile.h"
#include "lang/LangQString.h"
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

// Landscape suits the window's shape best.
void SetUpPage(QPagedPaintDevice& device)
{
    device.setPageOrientation(QPageLayout::Landscape);
    device.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
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

void PrintCommands::PrintWith(bool all)
{
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer);
    if (!printDialog(printer))
        return;
    if (beforePrint)
        beforePrint(all);
    const bool printed = all ? WindowPrinter::PrintAll(window_, printer, HeaderText()) > 0
                             : WindowPrinter::PrintActive(window_, printer, HeaderText());
    if (!printed)
        errorBox(LangQString(PRINT_FAILED));
}

void PrintCommands::Print() { PrintWith(false); }

void PrintCommands::PrintAll() { PrintWith(true); }

void PrintCommands::Preview()
{
    if (beforePrint)
        beforePrint(true);
    QPrinter printer(QPrinter::HighResolution);
    SetUpPage(printer);
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
    if (!WritePdf(window_, WithPdfSuffix(chosen), true, HeaderText(), &error))
        errorBox(error);
}

bool PrintCommands::WritePdf(QMainWindow& window, const QString& path, bool all, const QString& header, QString* error)
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
        SetUpPage(writer);
        written = all ? WindowPrinter::PrintAll(window, writer, header) > 0
                      : WindowPrinter::PrintActive(window, writer, header);
    }
    QString reason;
    written = written && SaveFileAtomically(path, pdf, &reason);
    if (!written && error)
        *error = LangQString(PDF_FAILED) + " " + path + (reason.isEmpty() ? QString() : "\n" + reason);
    return written;
}
