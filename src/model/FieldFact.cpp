#include "model/FieldFact.h"

#include "lang/CaptionTables.h"
#include "lang/LangString.h"
#include "model/LobeByte.h"

#include <string_view>
#include <vector>

namespace {

// Part element of a list "a, b, c"; a list shorter than the field repeats from its start.
std::string listPart(std::string_view list, int element)
{
    constexpr std::string_view SEPARATOR = ", ";
    std::vector<std::string_view> parts;
    for (size_t start = 0;;) {
        const size_t end = list.find(SEPARATOR, start);
        parts.push_back(list.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            break;
        start = end + SEPARATOR.size();
    }
    return std::string(parts[static_cast<size_t>(element) % parts.size()]);
}

std::string withElementNumber(const char* pattern, int element)
{
    if (!pattern)
        return {};
    std::string name = pattern;
    if (const size_t mark = name.find(FieldFact::ELEMENT_MARK); mark != std::string::npos)
        name.replace(mark, 1, std::to_string(element + 1));
    return name;
}

std::string lobeText(int number, uint8_t b, int system, int language)
{
    std::string text = std::to_string(number);
    const auto flag = [&](bool set, const char* captionKey) {
        const char* caption = CaptionFor(CaptionTableId::Caption, captionKey, language);
        if (set && caption)
            text += std::string(", ") + caption;
    };
    flag(b & LobeByte::SECOND_EDGE, "LabelHrana2");
    flag(!LobeByte::Wide(system) && (b & LobeByte::SECOND_PICKUP), "LabelSnimac2");
    return text;
}

std::string cellsText(int bits)
{
    std::string text;
    for (int bit = 0; bit < POUT_COLUMNS; ++bit)
        text += std::string(bit ? " " : "") + ((bits >> bit & 1) ? "1" : "0");
    return text;
}

} // namespace

bool FieldFact::Switched(const ParamImage& img) const
{
    if (other.flagAddress < 0)
        return false;
    const int flag = img.Adrb(other.flagAddress);
    return other.flagValue == FieldUnitSwitch::ANY_NONZERO ? flag != 0 : flag == other.flagValue;
}

int FieldFact::ScaleIn(const ParamImage& img) const { return Switched(img) ? other.scale : scale; }

int FieldFact::MaximumIn(const ParamImage& img) const { return Switched(img) ? other.maximum : maximum; }

std::string FieldFact::UnitIn(const ParamImage& img, int element) const
{
    return listPart(Switched(img) ? other.unit : unit, element);
}

int FieldFact::UserValue(const ParamImage& img, int element) const
{
    const int raw = Ref(element).Read(img);
    switch (kind) {
    case FieldKind::Lobe:
        return LobeByte::Number(static_cast<uint8_t>(raw), img.Adrb(PICKUP_SYSTEM));
    case FieldKind::Number:
        return ScaleIn(img) * (raw + offset);
    case FieldKind::Flag:
    case FieldKind::Choice:
    case FieldKind::Cells:
    case FieldKind::Reserved:
        break;
    }
    return raw;
}

void FieldFact::StoreUser(ParamImage& img, int element, int value) const
{
    const FieldRef r = Ref(element);
    switch (kind) {
    case FieldKind::Lobe:
        r.Write(img, LobeByte::WithNumber(static_cast<uint8_t>(r.Read(img)), value, img.Adrb(PICKUP_SYSTEM)));
        return;
    case FieldKind::Number:
        ScreenToImage(img, r, value, ScaleIn(img), offset);
        return;
    case FieldKind::Flag:
        r.Write(img, value != 0 ? 1 : 0);
        return;
    case FieldKind::Choice:
    case FieldKind::Cells:
    case FieldKind::Reserved:
        break;
    }
    r.Write(img, value);
}

std::string FieldFact::UserText(const ParamImage& img, int element, int language) const
{
    const int value = UserValue(img, element);
    if (const char* item = ChoiceText(value))
        return LangText(item, language);
    if (kind == FieldKind::Lobe)
        return lobeText(value, img.Adrb(Ref(element).Index()), img.Adrb(PICKUP_SYSTEM), language);
    if (kind == FieldKind::Cells)
        return cellsText(value);
    const std::string u = UnitIn(img, element);
    return std::to_string(value) + (u.empty() ? "" : " " + u);
}

int FieldFact::FileValue(const ParamImage& img, int element) const
{
    return ImageToFile(img, FieldRef { view, address, element }, FileMultiplier(), offset);
}

const char* FieldFact::ChoiceText(int code) const
{
    if (!choices)
        return nullptr;
    for (const CodedItem& item : choices())
        if (item.code == code)
            return item.text;
    return nullptr;
}

std::string FieldFact::ControlName(int element) const { return withElementNumber(control, element); }

std::string FieldFact::CaptionKey(int element) const { return withElementNumber(caption ? caption : control, element); }

std::string FieldFact::CaptionIn(int element, int language) const
{
    const std::string key = CaptionKey(element);
    if (const char* text = key.empty() ? nullptr : CaptionFor(CaptionTableId::Caption, key, language); text && *text)
        return text;
    return captionText ? LangText(captionText, language) : name;
}
