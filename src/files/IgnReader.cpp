#include "files/IgnReader.h"

#include "files/FileTexts.h"
#include "files/IgnRecordTable.h"
#include "files/IgnScanner.h"
#include "files/IgnWriter.h"
#include "model/BikePresets.h"
#include "model/ImageDefaults.h"
#include "model/LobeByte.h"

#include "base/InputFile.h"


#include <string_view>

namespace {

using Action = IgnRecord::Action;
using Step = IgnRecord::Step;
using When = IgnRecord::When;

// One pass of the record loop over the text.
class RecordReader {
public:
    RecordReader(ParamImage& img, IgnScanner& scan, const LoadGroups& groups, int fileVersion, bool& bikeSeen,
        bool allPages, IgnFileBytes& fileBytes)
        : img_(img)
        , scan_(scan)
        , groups_(groups)
        , fileVersion_(fileVersion)
        , bikeSeen_(bikeSeen)
        , allPages_(allPages)
        , fileBytes_(fileBytes)
    {
    }

    void Run()
    {
        std::string token;
        while (scan_.NextToken(token)) {
            token.resize(std::min(token.size(), token.find('\r')));
            if (token.empty())
                continue;
            if (const IgnRecord* record = IgnRecordTable::Find(token); record && Applies(*record))
                for (const Step& step : record->steps)
                    Apply(step);
        }
    }

private:
    bool Applies(const IgnRecord& record) const
    {
        switch (record.when) {
        case When::AllPages:
            return allPages_;
        case When::GroupSelected:
            return groups_[record.group];
        case When::Always:
            break;
        }
        return true;
    }

    void ByteField(int address, int multiplier, int addend, int group)
    {
        const std::optional<int32_t> n = scan_.NextNumber();
        if (!n || !groups_[group])
            return;
        const int64_t result = int64_t { *n } / multiplier - addend;
        img_.Adrb(address) = result < 0 || result > 255 ? 0 : static_cast<uint8_t>(result);
        MarkByte(address);
    }

    void MarkByte(int address)
    {
        if (address >= 0 && address < RS_LEN_EXE)
            fileBytes_.set(static_cast<size_t>(address));
    }

    void WordField(int address, int group)
    {
        const std::optional<int32_t> n = scan_.NextNumber();
        if (n && groups_[group]) {
            img_.Adrw(address) = static_cast<uint16_t>(*n);
            MarkByte(2 * address);
            MarkByte(2 * address + 1);
        }
    }

    // Three numbers per lobe byte: lobe number, second edge, second pick-up (not with system 14,
    // where the lobe number has seven bits and its bit 6 lives in bit 7).
    void DecodeLobe(int address)
    {
        const auto n1 = scan_.NextNumber();
        const auto n2 = scan_.NextNumber();
        const auto n3 = scan_.NextNumber();
        if (!n1 || !n2 || !n3)
            return;
        const unsigned lobe = static_cast<unsigned>(*n1);
        uint8_t b = static_cast<uint8_t>(lobe & 0x3F);
        if (*n2 != 0)
            b |= LobeByte::SECOND_EDGE;
        if (LobeByte::Wide(img_.Adrb(PICKUP_SYSTEM))) {
            if (lobe & 0x40)
                b |= 0x80;
        } else if (*n3 != 0) {
            b |= LobeByte::SECOND_PICKUP;
        }
        img_.Adrb(address) = b;
        MarkByte(address);
    }

    void Bytes(const Step& step)
    {
        for (int i = 0; i < step.count; ++i)
            ByteField(step.address + i, step.multiplier, step.addend, step.group);
    }

    void ServoMap(const Step& step)
    {
        if (fileVersion_ != IgnReader::OLD_FILE_VERSION) {
            Bytes(step);
            return;
        }
        for (int c = 0; c < MAP_DIM; ++c) {
            ByteField(step.address + c, step.multiplier, step.addend, step.group);
            if (groups_[step.group])
                for (int r = 1; r < MAP_DIM; ++r)
                    img_.Adrb(step.address + MAP_DIM * r + c) = img_.Adrb(step.address + c);
        }
        if (groups_[step.group])
            img_.Adrb(SERVO_MAPA) = 0;
    }

    // Copied without a mark: the file holds only the first element.
    void Copies(const Step& step)
    {
        for (int i = 1; i <= step.count; ++i)
            img_.Adrb(step.address + i) = img_.Adrb(step.address);
        Skip(step.count);
    }

    void Skip(int count)
    {
        for (int i = 0; i < count; ++i)
            scan_.NextNumber();
    }

    void Cells(const Step& step)
    {
        for (int i = 0; i < step.count; ++i) {
            uint8_t b = 0;
            bool complete = true;
            for (int k = 0; k < POUT_COLUMNS; ++k) {
                const auto n = scan_.NextNumber();
                complete &= n.has_value();
                if (n && *n != 0)
                    b |= static_cast<uint8_t>(1u << k);
            }
            if (groups_[step.group]) {
                img_.Adrb(step.address + i) = b;
                if (complete)
                    MarkByte(step.address + i);
            }
        }
    }

    void Apply(const Step& step)
    {
        switch (step.action) {
        case Action::End:
        case Action::Unread:
            return;
        case Action::Bytes:
            Bytes(step);
            return;
        case Action::Words:
            for (int i = 0; i < step.count; ++i)
                WordField(step.address + i, step.group);
            return;
        case Action::Skip:
            Skip(step.count);
            return;
        case Action::Copies:
            Copies(step);
            return;
        case Action::AdvanceMap:
            for (int i = 0; i < step.count; ++i)
                if (const auto n = scan_.NextNumber(); n && groups_[step.group]) {
                    img_.Adrb(step.address + i) = static_cast<uint8_t>(int64_t { *n } - step.addend);
                    MarkByte(step.address + i);
                }
            return;
        case Action::ServoMap:
            ServoMap(step);
            return;
        case Action::Lobes:
            for (int k = 0; k < step.count; ++k)
                DecodeLobe(step.LobeAddress(k));
            return;
        case Action::Cells:
            Cells(step);
            return;
        case Action::TpsMapa:
            if (groups_[step.group]) {
                img_.Adrb(TPSIAP_SENSOR) = 1;
                if (img_.Adrb(ADV_MAPA) > 1)
                    img_.Adrb(ADV_MAPA) = 1;
            }
            return;
        case Action::BikeSeen:
            bikeSeen_ = true;
            return;
        }
    }

    ParamImage& img_;
    IgnScanner& scan_;
    const LoadGroups& groups_;
    int fileVersion_;
    bool& bikeSeen_;
    bool allPages_;
    IgnFileBytes& fileBytes_;
};

} // namespace

IgnReader::IgnReader(ParamImage& image, IgnMessageSink sink)
    : img_(image)
    , sink_(std::move(sink))
{
}

void IgnReader::Show(bool messages, FileMessage message)
{
    if (messages && sink_)
        sink_(FileMessageText(message));
}

// The numbered default steps for all groups (without the lobe reset), then the bike preset.
// ResetDefaults also clears the lobe bytes and GEBER_MODE and clamps CHANNEL_COUNT, so those
// bytes are kept and the preset is applied again over them.
void IgnReader::ConvertVersion80(bool messages)
{
    if (groups_[PAGE_MISC] || groups_[PAGE_BIKE]) {
        ParamImage kept = img_;
        ResetDefaults(img_, PAGE_ALL);
        for (int a : { CHANNEL_COUNT, GEBER_MODE })
            img_.Adrb(a) = kept.Adrb(a);
        for (int i = 0; i < 2 * CHANNELS; ++i)
            img_.Adrb(LOBE_START + i) = kept.Adrb(LOBE_START + i);
        ApplyBikePreset(img_, LoadGroups::All());
    }
    Show(messages, FileMessage::OlderVersion);
    if (groups_[PAGE_POWER_OUT]) {
        img_.Adrb(POWER_OUT_MODE) = 1;
        img_.Adrb(POWER_OUT_MODE + 1) = 2;
        for (int n = 0; n < POWER_OUT_COUNT; ++n)
            PowerOutDefaults(img_, n, PowerOutDefaultForm::Reset);
    }
    if (groups_[PAGE_BIKE])
        for (int a : { PICKUPS_INTERCHANGE, NO_LOBE_CHECK, SPARK_BEFORE_LOBE, SPECIAL_START, START_EXCITATION })
            img_.Adrb(a) = 0;
    if (groups_[PAGE_SERVO])
        img_.Adrb(SERVO_NO) = 0;
}

void IgnReader::ReadIgnText(int page, bool messages, std::string_view text)
{
    fileVersion_ = 0;
    fileBytes_.reset();
    groups_ = LoadGroups(page);
    IgnScanner scan(text);
    std::string token;
    bool found = false;
    while (!found && scan.NextToken(token))
        found = token == IgnRecordTable::HEADER_KEY;
    if (!found) {
        // Not a parameter file at all: refused like a foreign version, so the user learns why.
        Show(messages, FileMessage::UnmatchedVersion);
        return;
    }
    const std::optional<int32_t> version = scan.NextNumber();
    if (version == IGN_FILE_VERSION) {
        fileVersion_ = IGN_FILE_VERSION;
    } else if (version == OLD_FILE_VERSION) {
        fileVersion_ = OLD_FILE_VERSION;
        ConvertVersion80(messages);
    } else {
        Show(messages, FileMessage::UnmatchedVersion);
        return;
    }
    RecordReader(img_, scan, groups_, fileVersion_, bikeRecordSeen_, page == PAGE_ALL, fileBytes_).Run();
}

IgnLoadStatus IgnReader::ReadFileText(const QString& path, QByteArray& text)
{
    switch (InputFile::Read(path, MAX_FILE_SIZE, text)) {
    case InputFile::Status::Read:
        return IgnLoadStatus::Loaded;
    case InputFile::Status::CannotOpen:
        return IgnLoadStatus::CannotOpen;
    case InputFile::Status::NotRegular:
        return IgnLoadStatus::NotRegular;
    case InputFile::Status::TooLarge:
        return IgnLoadStatus::TooLarge;
    case InputFile::Status::ReadError:
        break;
    }
    return IgnLoadStatus::ReadError;
}

IgnLoadStatus IgnReader::LoadIgnFile(const QString& path, int page, bool messages)
{
    QByteArray text;
    const IgnLoadStatus status = ReadFileText(path, text);
    if (status == IgnLoadStatus::Loaded)
        ReadIgnText(page, messages, std::string_view(text.constData(), static_cast<size_t>(text.size())));
    return status;
}
