#include "mapedit/ui/MapEditor.h"

#include <QApplication>
#include <QClipboard>
#include <QMimeData>

#include <cstring>

const char* const MapEditor::SheetMimeType = "application/x-qt-windows-mime;value=\"CF_MOTRAVEX_SHEET\"";

void MapEditor::CopyGraph()
{
    if (geometry_.graphArea.isNull())
        return;
    whiteBackground_ = true;
    Render();
    const QImage copy = picture_.copy(geometry_.graphArea);
    whiteBackground_ = false;
    Render();
    QApplication::clipboard()->setImage(copy);
}

void MapEditor::ClipboardSet(const std::string& plain, const std::string* sheet)
{
    auto* mime = new QMimeData;
    mime->setText(QString::fromUtf8(plain.c_str()));
    if (sheet)
        mime->setData(SheetMimeType, QByteArray(sheet->c_str(), static_cast<qsizetype>(sheet->size() + 1)));
    QApplication::clipboard()->setMimeData(mime);
}

int MapEditor::ClipboardFormats() const
{
    if (clipboardFormats_ < 0) {
        const QMimeData* mime = QApplication::clipboard()->mimeData();
        clipboardFormats_ = mime ? (mime->hasText() ? 1 : 0) | (mime->hasFormat(SheetMimeType) ? 2 : 0) : 0;
    }
    return clipboardFormats_;
}

std::string MapEditor::ClipboardText(bool sheetFormat) const
{
    const QMimeData* mime = QApplication::clipboard()->mimeData();
    if (!mime)
        return {};
    if (!sheetFormat)
        return mime->text().toStdString();
    const QByteArray bytes = mime->data(SheetMimeType);
    return std::string(bytes.constData(), strnlen(bytes.constData(), static_cast<size_t>(bytes.size())));
}
