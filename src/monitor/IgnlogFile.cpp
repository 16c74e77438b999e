#include "monitor/IgnlogFile.h"

#include "base/InputFile.h"
#include "base/ProductIdentity.h"

#include <QByteArray>
#include <QFile>

#include <cstdio>

namespace {

constexpr const char* DAMAGED = "###The monitor log file is damaged and cannot be played.##"
                                "Die Monitorprotokolldatei ist beschädigt und kann nicht abgespielt werden.##"
                                "Soubor záznamu monitoru je poškozený a nelze jej přehrát.";
constexpr const char* CANNOT_OPEN = "###Cannot open the file.##Die Datei kann nicht geöffnet werden.##Soubor nelze "
                                    "otevřít.";

} // namespace

const char* IgnlogFile::DamagedText() { return DAMAGED; }

std::string IgnlogFile::Load(const std::string& path)
{
    QByteArray raw;
    const InputFile::Status status = InputFile::Read(QFile::decodeName(QByteArray::fromStdString(path)), ignlog::MAX_FILE, raw);
    if (status == InputFile::Status::CannotOpen)
        return CANNOT_OPEN;
    if (status == InputFile::Status::NotRegular)
        return InputFile::Message(status);
    if (status != InputFile::Status::Read || parse(std::vector<uint8_t>(raw.begin(), raw.end())) != ParseError::None)
        return DAMAGED;
    if (rsKey() != PROGRAM_KEY) {
        char text[64];
        std::snprintf(text, sizeof text, "RS keys are not equal (%i!=%i)", rsKey(), PROGRAM_KEY);
        *this = {};
        return text;
    }
    return {};
}

using namespace ignlog;

IgnlogFile::ParseError IgnlogFile::parse(const std::vector<uint8_t>& file)
{
    header.clear();
    area.clear();
    if (file.size() < static_cast<size_t>(HEADER_BASE))
        return ParseError::TooShort;
    const int headerLength = static_cast<int16_t>(get16(&file[H_LENGTH]));
    if (headerLength < HEADER_BASE || headerLength > MAX_HEADER || headerLength % 2 != 0
        || static_cast<size_t>(headerLength) > file.size())
        return ParseError::BadHeaderLength;
    const int total = get16(&file[H_TOTAL_COUNT]);
    const int snapshots = get16(&file[H_SNAPSHOT_COUNT]);
    if (HEADER_BASE + 2 * total != headerLength || snapshots > total)
        return ParseError::BadCounts;
    const uint32_t areaLength = get32(&file[H_AREA_LENGTH]);
    if (areaLength > static_cast<uint32_t>(MAX_AREA) || file.size() - static_cast<size_t>(headerLength) < areaLength)
        return ParseError::Truncated;

    std::vector<uint8_t> h(file.begin(), file.begin() + headerLength);
    std::vector<uint8_t> a(file.begin() + headerLength, file.begin() + headerLength + areaLength);
    for (int i = 0; i < total; ++i) {
        const int off = static_cast<int16_t>(get16(&h[static_cast<size_t>(H_OFFSETS + 2 * i)]));
        if (off < 0 || static_cast<size_t>(off) + RECORD_HEAD > a.size())
            return ParseError::BadRecord;
        const uint8_t* r = &a[static_cast<size_t>(off)];
        const int length = get16(r + R_LENGTH);
        const int expected = recordLength(r[R_TYPE]);
        if (expected == 0 || length != expected || static_cast<size_t>(off) + static_cast<size_t>(length) > a.size())
            return ParseError::BadRecord;
    }
    header = std::move(h);
    area = std::move(a);
    return ParseError::None;
}

std::vector<uint8_t> IgnlogFile::serialize() const
{
    const size_t headerLength = static_cast<int16_t>(get16(&header[H_LENGTH]));
    const size_t areaLength = get32(&header[H_AREA_LENGTH]);
    std::vector<uint8_t> out(header.begin(), header.begin() + static_cast<long>(headerLength));
    out.insert(out.end(), area.begin(), area.begin() + static_cast<long>(areaLength));
    return out;
}
