#include "mapedit/MapModel.h"

#include "mapedit/SheetClipboard.h"

void MapModel::CopySelection()
{
    if (sheetCount_ && Sel().count)
        ClipboardSet(SelectionText(*this), nullptr);
}

void MapModel::CopyTable()
{
    if (sheetCount_ == 0)
        return;
    const std::string sheet = TableSheetText(*this);
    ClipboardSet(TablePlainText(*this), &sheet);
}

void MapModel::PasteClipboard()
{
    if (sheetCount_ == 0)
        return;
    const int formats = ClipboardFormats();
    // A whole table wins over plain text: other editors put both on the clipboard.
    if (formats & CLIP_SHEET)
        PasteTableText(*this, ClipboardText(true));
    else if (formats & CLIP_TEXT)
        PasteSelectionText(*this, ClipboardText(false));
}

void MapModel::ClipboardSet(const std::string& plain, const std::string* sheet)
{
    localPlain_ = plain;
    localSheet_ = sheet ? *sheet : std::string();
    localFormats_ = CLIP_TEXT | (sheet ? CLIP_SHEET : 0);
}

int MapModel::ClipboardFormats() const { return localFormats_; }

std::string MapModel::ClipboardText(bool sheetFormat) const { return sheetFormat ? localSheet_ : localPlain_; }
