#include "app/ReferenceFile.h"

#include "app/EditCycle.h"
#include "files/FileTexts.h"
#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "lang/LangString.h"
#include "mapedit/ui/MapEditor.h"
#include "mapedit/ui/MapEditorList.h"

#include <QFileInfo>

namespace {

const char* const ReferenceCaption = "###  [reference: %1]##  [Referenz: %1]##  [reference: %1]";

} // namespace

ReferenceFile::ReferenceFile(
    EditCycle& edits, MapEditorList& editors, IgnMessageSink errorSink, OutsideSettings* outside)
    : edits_(edits)
    , editors_(editors)
    , errorSink_(std::move(errorSink))
    , outside_(outside)
{
}

bool ReferenceFile::Open(const QString& path)
{
    // From the screen's configuration, as Open would read the file over it.
    ParamImage image = edits_.Image();
    IgnReader reader(image, errorSink_);
    const IgnOpenResult result = OpenIgnTwoPass(reader, path, PAGE_ALL, outside_);
    if (result.status != IgnLoadStatus::Loaded && errorSink_)
        errorSink_(FileMessageText(FileMessage::OpenFileError));
    if (!result.accepted())
        return false;
    image_ = image;
    path_ = path;
    Changed();
    return true;
}

void ReferenceFile::Clear()
{
    path_.clear();
    Changed();
}

QString ReferenceFile::Caption() const
{
    if (!Loaded())
        return {};
    return QString::fromUtf8(LangText(ReferenceCaption)).arg(QFileInfo(path_).fileName());
}

void ReferenceFile::Changed()
{
    editors_.SetReference(Loaded() ? &image_ : nullptr);
    edits_.UpdateCaption();
}
