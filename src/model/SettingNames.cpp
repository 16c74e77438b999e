#include "model/SettingNames.h"

#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "model/MapFact.h"

#include <algorithm>
#include <span>

namespace {

constexpr const char* CHANNEL = "###Channel %d##Kanal %d##Kanál %d";
constexpr const char* SERVO = "Servo";
constexpr const char* VOLTAGE = "###Voltage##Spannung##Napětí";
constexpr const char* TACHOMETER = "###Tachometer output##Drehzahlmesserausgang##Výstup otáčkoměru";

constexpr CodedItem SERVO_MAP_KINDS[] = {
    { 0, "###by rpm##nach Drehzahl##podle otáček" },
    { 1, "###by load##nach Last##podle zatížení" },
    { 2, "###by rpm and load##nach Drehzahl und Last##podle otáček a zatížení" },
};
std::span<const CodedItem> ServoMapKinds() { return SERVO_MAP_KINDS; }

// What the window's layout adds to a field's facts when it names the field.
struct Naming {
    const FieldFact* fact;
    const char* caption = nullptr; // LangString in place of a caption the facts do not give
    const char* otherCaption = nullptr; // the caption of every second element, where they alternate
    const char* group = nullptr; // LangString of the box around the control; %d: its number
    int perGroup = 1; // elements in one box
    std::span<const CodedItem> (*choices)() = nullptr; // the window shows the value as one of these
};

constexpr Naming NAMINGS[] = {
    { .fact = &Fact("GEBER_MODE"),
        .caption = "###Ignitions per revolution##Zündungen pro Umdrehung##Zápaly za otáčku" },
    { .fact = &Fact("LOBE_START"), .group = CHANNEL },
    { .fact = &Fact("LOBE_END"), .group = CHANNEL },
    { .fact = &Fact("COMPENSATION"), .group = CHANNEL },
    { .fact = &Fact("PICKUP_POLARITY"), .group = "###Pick-up %d##Geber %d##Snímač %d" },
    { .fact = &Fact("RPM_PULSES"), .group = TACHOMETER },
    { .fact = &Fact("RPM_CORR"), .group = TACHOMETER },
    { .fact = &Fact("TPS"),
        .caption = VOLTAGE,
        .group = "###TP sensor, point %d##TP-Sensor, Punkt %d##Snímač TP, bod %d" },
    { .fact = &Fact("IAP_SENSOR"),
        .caption = "###Pressure##Druck##Tlak",
        .otherCaption = VOLTAGE,
        .group = "###IAP sensor, point %d##IAP-Sensor, Punkt %d##Snímač IAP, bod %d",
        .perGroup = 2 },
    { .fact = &Fact("CORR_ADVANCE"),
        .caption = "###Advance correction##Vorzündungskorrektur##Korekce předstihu",
        .group = "###Cylinder %d##Zylinder %d##Válec %d" },
    { .fact = &Fact("ADV_MAPA"),
        .caption = "###Advance map by load##Vorzündungskarte nach Last##Mapa předstihu podle zatížení",
        .choices = OnOffList },
    { .fact = &Fact("SERVO_ENABLE"), .group = SERVO },
    { .fact = &Fact("SERVO_PERCENT"), .group = SERVO },
    { .fact = &Fact("SERVO_HYSTER"), .group = SERVO },
    { .fact = &Fact("SERVO_NO"), .group = SERVO },
    { .fact = &Fact("SERVO_MAPA"),
        .caption = "###Servo map##Servo-Kennfeld##Mapa serva",
        .group = SERVO,
        .choices = ServoMapKinds },
    { .fact = &Fact("POWER_OUT_MODE"), .caption = "###Mode##Modus##Režim", .group = POWER_OUT_NAME },
    { .fact = &Fact("POWER_OUT_HYST"), .group = POWER_OUT_NAME },
    { .fact = &Fact("TEST_SERVO"), .group = "###Servo test##Servotest##Test serva" },
};

const Naming* NamingOf(const FieldFact& f)
{
    const auto found
        = std::find_if(std::begin(NAMINGS), std::end(NAMINGS), [&](const Naming& n) { return n.fact == &f; });
    return found == std::end(NAMINGS) ? nullptr : found;
}

std::string Trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string CaptionOf(const FieldFact& f, const Naming* n, int element, int language)
{
    if (n && n->caption)
        return LangText(n->otherCaption && element % 2 ? n->otherCaption : n->caption, language);
    return Trimmed(f.CaptionIn(element, language));
}

// Whether the caption alone tells the element apart from the field's other elements.
bool CaptionTellsElementsApart(const FieldFact& f, int language)
{
    for (int e = 1; e < f.count; ++e)
        if (f.CaptionIn(e, language) == f.CaptionIn(0, language))
            return false;
    return true;
}

} // namespace

std::string SettingNames::Numbered(const char* langString, int number, int language)
{
    std::string text = LangText(langString, language);
    if (const size_t mark = text.find("%d"); mark != std::string::npos)
        text.replace(mark, 2, std::to_string(number));
    return text;
}

std::string SettingNames::Name(const FieldFact& f, int element, int language)
{
    if (f.kind == FieldKind::Reserved)
        return {};
    const Naming* n = NamingOf(f);
    const std::string caption = CaptionOf(f, n, element, language);
    if (n && n->group)
        return Numbered(n->group, element / n->perGroup + 1, language) + ", " + caption;
    if (f.count > 1 && !CaptionTellsElementsApart(f, language))
        return caption + " " + std::to_string(element + 1);
    return caption;
}

std::string SettingNames::NumberText(int value, const std::string& unit)
{
    if (unit == "deg")
        return std::to_string(value) + "°";
    return unit.empty() ? std::to_string(value) : std::to_string(value) + " " + unit;
}

std::string SettingNames::ValueText(const FieldFact& f, const ParamImage& img, int element, int language)
{
    const int value = f.UserValue(img, element);
    if (const Naming* n = NamingOf(f); n && n->choices)
        for (const CodedItem& item : n->choices())
            if (item.code == value)
                return LangText(item.text, language);
    if (f.kind == FieldKind::Number && !f.ChoiceText(value))
        return NumberText(value, f.UnitIn(img, element));
    return f.UserText(img, element, language);
}
