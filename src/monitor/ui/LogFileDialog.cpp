#include "monitor/ui/LogFileDialog.h"

#include "lang/LangQString.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const char* const LOG_FILTER = "###IGN log file (*.ignlog)##IGN-Protokolldatei (*.ignlog)##Záznam IGN (*.ignlog)";

} // namespace

void LogFileDialog::Prepare(QFileDialog& dialog, bool forSaving)
{
    dialog.setNameFilter(LangQString(LOG_FILTER));
    dialog.setAcceptMode(forSaving ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(forSaving ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    // A name typed without its extension gets it, so the Open dialog lists the file just recorded.
    dialog.setDefaultSuffix("ignlog");
}

QString LogFileDialog::Choose(QWidget* parent, bool forSaving, QString& folder)
{
    QFileDialog dialog(parent);
    Prepare(dialog, forSaving);
    // Recordings are looked for where the last one was kept, not in the program's working folder.
    dialog.setDirectory(
        folder.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation) : folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString chosen = dialog.selectedFiles().first();
    folder = QFileInfo(chosen).absolutePath();
    return chosen;
}
