#include "files/IgnOpen.h"

#include "files/IgnWriter.h"
#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageDefaults.h"

namespace {

// The bytes a complete file of the current version sets, learnt by reading one back.
const IgnFileBytes& CompleteFileBytes()
{
    static const IgnFileBytes bytes = [] {
        ParamImage image = StartupImage();
        IgnReader reader(image);
        reader.ReadIgnText(PAGE_ALL, false, IgnFileText(image, IgnUnitInfo {}));
        return reader.FileBytes();
    }();
    return bytes;
}

} // namespace

int MissingSettings(const IgnFileBytes& fileBytes)
{
    const IgnFileBytes& complete = CompleteFileBytes();
    int missing = 0;
    for (const FieldFact& f : FieldFacts::All()) {
        bool lacks = false;
        for (int b = f.FirstByte(); b < f.FirstByte() + f.ByteCount() && b < RS_LEN_EXE; ++b)
            lacks |= complete[static_cast<size_t>(b)] && !fileBytes[static_cast<size_t>(b)];
        missing += lacks;
    }
    return missing;
}

IgnOpenResult ReadIgnTwoPass(IgnReader& reader, std::string_view text, int page, OutsideSettings* outside)
{
    reader.ClearBikeRecordSeen();
    reader.ReadIgnText(PAGE_ALL, false, text);
    if (reader.BikeRecordSeen())
        ResetDefaults(reader.Image(), page);
    reader.ReadIgnText(PAGE_ALL, true, text);
    ValidateImage(reader.Image(), outside);
    const int version = reader.FileVersion();
    return { IgnLoadStatus::Loaded, version, version ? MissingSettings(reader.FileBytes()) : 0 };
}

IgnOpenResult OpenIgnTwoPass(IgnReader& reader, const QString& path, int page, OutsideSettings* outside)
{
    QByteArray text;
    const IgnLoadStatus status = IgnReader::ReadFileText(path, text);
    if (status != IgnLoadStatus::Loaded)
        return { status, 0 };
    return ReadIgnTwoPass(reader, std::string_view(text.constData(), static_cast<size_t>(text.size())), page, outside);
}
