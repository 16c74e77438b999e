#include "files/IgnWriter.h"

#include "base/AtomicFile.h"
#include "files/IgnRecordTable.h"
#include "model/FieldRef.h"
#include "model/LobeByte.h"

#include <algorithm>
#include <cstdio>

namespace {

using Action = IgnRecord::Action;

constexpr int VALUE_COLUMN = 15;
constexpr int VALUES_PER_LINE = 10;
constexpr int MAX_LABEL_CHARS = 8190;
constexpr const char* LINE_BREAK = "\r\n";

// Builds the text record by record; every line break is CR LF whatever the platform.
class IgnTextBuilder {
public:
    explicit IgnTextBuilder(const ParamImage& image)
        : img_(image)
    {
    }

    std::string& Text() { return text_; }

    void Value(long v)
    {
        char field[24];
        std::snprintf(field, sizeof field, "%5li ", v);
        text_ += field;
    }

    // A line break, the key and blanks up to the value grid (15 columns, then steps of 6).
    void Key(const char* name)
    {
        text_ += LINE_BREAK;
        KeyField(name);
    }

    void KeyField(const char* name)
    {
        const int length = static_cast<int>(std::char_traits<char>::length(name));
        const int width = std::max(VALUE_COLUMN, 6 * ((length - 2) / 6) + 9);
        text_ += name;
        text_.append(static_cast<size_t>(width - length), ' ');
    }

    void Continuation()
    {
        text_ += LINE_BREAK;
        text_.append(VALUE_COLUMN, ' ');
    }

    // The numbers of one step of a record.
    void Step(const IgnRecord::Step& s)
    {
        for (int i = 0; i < s.lineBreaks; ++i)
            Continuation();
        switch (s.action) {
        case Action::Bytes:
        case Action::Words:
        case Action::Unread:
            for (int i = 0; i < s.count; ++i)
                Value(FileValue(s, i));
            return;
        case Action::Copies:
            for (int i = 0; i < s.count; ++i)
                Value(FileValue(s, 0));
            return;
        case Action::AdvanceMap:
        case Action::ServoMap:
            for (int i = 0; i < s.count; ++i) {
                if (i > 0 && i % VALUES_PER_LINE == 0)
                    Continuation();
                Value(FileValue(s, i));
            }
            return;
        case Action::Lobes:
            for (int k = 0; k < s.count; ++k) {
                if (k > 0)
                    Continuation();
                Lobe(s.LobeAddress(k));
            }
            return;
        case Action::Cells:
            for (int i = 0; i < s.count; ++i) {
                if (i > 0)
                    Continuation();
                CellBits(s.address + i);
            }
            return;
        case Action::End:
        case Action::Skip:
        case Action::TpsMapa:
        case Action::BikeSeen:
            return;
        }
    }

    int FileValue(const IgnRecord::Step& s, int element) const
    {
        const FieldRef ref { s.action == Action::Words ? FieldRef::Word : FieldRef::Byte, s.address, element };
        return ImageToFile(img_, ref, s.multiplier, s.addend);
    }

    void Lobe(int address)
    {
        const uint8_t b = img_.Adrb(address);
        const int system = img_.Adrb(PICKUP_SYSTEM);
        Value(LobeByte::Number(b, system));
        Value((b & LobeByte::SECOND_EDGE) ? 1 : 0);
        Value(!LobeByte::Wide(system) && (b & LobeByte::SECOND_PICKUP) ? 1 : 0);
    }

    void CellBits(int address)
    {
        for (int bit = 0; bit < POUT_COLUMNS; ++bit)
            Value((img_.Adrb(address) >> bit) & 1);
    }

private:
    const ParamImage& img_;
    std::string text_;
};

void writeRecord(IgnTextBuilder& out, const IgnRecord& r)
{
    out.Key(r.keys[0]);
    for (const IgnRecord::Step& s : r.steps)
        out.Step(s);
    if (r.emptyLineAfter)
        out.Continuation();
}

std::string label8Bit(const QString& text) { return text.left(MAX_LABEL_CHARS).toLatin1().toStdString(); }

void writeVersions(IgnTextBuilder& out, const IgnUnitInfo& unit, const BuildStamp& stamp)
{
    out.Key("VERSIONS");
    std::string& t = out.Text();
    t += LINE_BREAK;
    t += "HEX  " + label8Bit(unit.firmwareDate) + "\t" + label8Bit(unit.firmwareTime) + "\t"
        + label8Bit(unit.firmwareVersion);
    t += LINE_BREAK;
    t += "EXE  " + stamp.date + "\t" + stamp.time;
    out.Continuation();
}

void writeCalibration(IgnTextBuilder& out, const IgnUnitInfo& unit)
{
    static constexpr const char* keys[] = { "Mon_Calib_CoefEE", "Mon_Calib_CoefFLASH", "Mon_Calib_CoefNEW" };
    for (int i = 0; i < 3; ++i) {
        out.Key(keys[i]);
        out.Text() += std::to_string(unit.calibration[static_cast<size_t>(i)]);
    }
}

} // namespace

std::string IgnFileText(const ParamImage& img, const IgnUnitInfo& unit, const BuildStamp& stamp)
{
    IgnTextBuilder out(img);
    out.KeyField(IgnRecordTable::HEADER_KEY);
    out.Value(IGN_FILE_VERSION);
    out.Text() += std::string(PRODUCT_WORD) + "/" + PRODUCT_WORD;
    out.Continuation();

    for (const IgnRecord& r : IgnRecordTable::Current())
        writeRecord(out, r);
    writeVersions(out, unit, stamp);
    if (unit.connectedPort != 0)
        writeCalibration(out, unit);
    return std::move(out.Text());
}

bool WriteIgnFile(
    const QString& path, const ParamImage& image, const IgnUnitInfo& unit, QString* error, const BuildStamp& stamp)
{
    const std::string text = IgnFileText(image, unit, stamp);
    return SaveFileAtomically(path, QByteArray(text.data(), static_cast<qsizetype>(text.size())), error);
}
