#include "files/ParamFileCommands.h"

#include "files/FileTexts.h"
#include "files/IgnWriter.h"
#include "model/ImageDefaults.h"

ParamFileCommands::ParamFileCommands(
    ParamImage& image, ParamFileState& state, IgnMessageSink sink, OutsideSettings* outside)
    : image_(image)
    , state_(state)
    , sink_(sink)
    , outside_(outside)
    , reader_(image, sink)
{
}

void ParamFileCommands::TakeSavedImage()
{
    state_.savedImage = image_;
    state_.unchanged = true;
}

void ParamFileCommands::New(int page)
{
    ResetDefaults(image_, page);
    ValidateImage(image_, outside_);
    state_.currentFile.clear();
    state_.history.PutAtHead(QString());
}

IgnOpenResult ParamFileCommands::OpenParameterFile(int page, const QString& path)
{
    const IgnOpenResult result = OpenIgnTwoPass(reader_, path, page, outside_);
    if (result.status != IgnLoadStatus::Loaded) {
        if (sink_)
            sink_(FileMessageText(FileMessage::OpenFileError));
        state_.history.Remove(path);
        return result;
    }
    TakeSavedImage();
    if (result.accepted()) {
        state_.newInstal = 0;
        state_.currentFile = path;
        state_.fileFolder = path;
        state_.history.PutAtHead(path);
    }
    return result;
}

bool ParamFileCommands::Save(const QString& path, const IgnUnitInfo& unit)
{
    ValidateImage(image_, outside_);
    if (!WriteIgnFile(path, image_, unit)) {
        if (sink_)
            sink_(FileMessageText(FileMessage::OpenFileError));
        return false;
    }
    TakeSavedImage();
    state_.currentFile = path;
    state_.fileFolder = path;
    state_.history.PutAtHead(path);
    return true;
}
