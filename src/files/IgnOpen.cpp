#include "files/IgnOpen.h"

#include "model/ImageDefaults.h"

IgnOpenResult ReadIgnTwoPass(IgnReader& reader, std::string_view text, int page, OutsideSettings* outside)
{
    reader.ClearBikeRecordSeen();
    reader.ReadIgnText(PAGE_ALL, false, text);
    if (reader.BikeRecordSeen())
        ResetDefaults(reader.image(), page);
    reader.ReadIgnText(PAGE_ALL, true, text);
    ValidateImage(reader.image(), outside);
    return { IgnLoadStatus::Loaded, reader.FileVersion() };
}

IgnOpenResult OpenIgnTwoPass(IgnReader& reader, const QString& path, int page, OutsideSettings* outside)
{
    QByteArray text;
    const IgnLoadStatus status = IgnReader::ReadFileText(path, text);
    if (status != IgnLoadStatus::Loaded)
        return { status, 0 };
    return ReadIgnTwoPass(reader, std::string_view(text.constData(), static_cast<size_t>(text.size())), page, outside);
}
