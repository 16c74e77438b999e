#include "model/FieldFacts.h"
#include "model/ImageDefaults.h"
#include "model/ImageValidation.h"

#include "lang/LangString.h"

#include <gtest/gtest.h>

#include <optional>
#include <set>
#include <string>

namespace {

std::string where(const FieldFact& f, int element) { return std::string(f.name) + "[" + std::to_string(element) + "]"; }

int lastByte(const FieldFact& f) { return f.FirstByte() + f.ByteCount() - 1; }

bool unusedByte(int b) { return (b >= 60 && b <= 80) || b == 83 || (b >= 156 && b <= 169) || (b >= 180 && b <= 189); }

} // namespace

TEST(FieldFacts, EveryRowLiesInsideItsAreaOfTheImage)
{
    for (const FieldFact& f : FieldFacts::All()) {
        SCOPED_TRACE(f.name);
        EXPECT_GE(f.count, 1);
        EXPECT_GE(f.FirstByte(), 0);
        EXPECT_LT(lastByte(f), RS_LEN_EXE);
        if (f.view == FieldRef::Word) {
            EXPECT_LT(lastByte(f), 2 * ADRW_END);
        } else {
            EXPECT_GE(f.FirstByte(), ADRB_FIRST);
        }
    }
}

TEST(FieldFacts, NoTwoRowsShareAByte)
{
    const auto all = FieldFacts::All();
    for (size_t i = 0; i < all.size(); ++i)
        for (size_t k = i + 1; k < all.size(); ++k) {
            const bool apart = lastByte(all[i]) < all[k].FirstByte() || lastByte(all[k]) < all[i].FirstByte();
            EXPECT_TRUE(apart) << all[i].name << " and " << all[k].name;
        }
}

TEST(FieldFacts, EveryByteMapsToItsRowAndElementOrToNothing)
{
    for (int b = 0; b < RS_LEN_EXE; ++b) {
        SCOPED_TRACE(b);
        const FieldFacts::Place p = FieldFacts::AtByte(b);
        EXPECT_EQ(p.fact == nullptr, unusedByte(b));
        if (!p.fact)
            continue;
        EXPECT_TRUE(p.fact->Covers(b));
        EXPECT_LT(p.element, p.fact->count);
    }
    EXPECT_EQ(FieldFacts::AtByte(-1).fact, nullptr);
    EXPECT_EQ(FieldFacts::AtByte(RS_LEN_EXE).fact, nullptr);

    struct Case {
        int byte;
        const char* name;
        int element;
    };
    for (const Case& c : { Case { 3, "TPS", 1 }, Case { 52, "POWER_OUT1_TP", 0 }, Case { 59, "POWER_OUT2_TP", 1 },
             Case { 96, "LIMITER", 0 }, Case { 112, "COMPENSATION", 1 }, Case { 140, "POWER_OUT2_RPM", 0 },
             Case { 223, "ADVANCE", 23 }, Case { 399, "SERVO_MV", 99 } }) {
        const FieldFacts::Place p = FieldFacts::AtByte(c.byte);
        ASSERT_NE(p.fact, nullptr) << c.byte;
        EXPECT_STREQ(p.fact->name, c.name) << c.byte;
        EXPECT_EQ(p.element, c.element) << c.byte;
    }
}

TEST(FieldFacts, NamesAndControlsAreUniqueAndFoundByName)
{
    std::set<std::string> names, controls;
    for (const FieldFact& f : FieldFacts::All()) {
        EXPECT_TRUE(names.insert(f.name).second) << f.name;
        EXPECT_EQ(FieldFacts::Find(f.name), &f);
        // One control may edit several elements (COMPENSATION), but never two rows.
        std::set<std::string> own;
        for (int e = 0; e < f.count && f.control; ++e)
            own.insert(f.ControlName(e));
        for (const std::string& c : own)
            EXPECT_TRUE(controls.insert(c).second) << c;
        if (f.kind == FieldKind::Choice) {
            EXPECT_NE(f.choices, nullptr) << f.name;
        }
    }
    EXPECT_EQ(FieldFacts::Find("NO_SUCH_FIELD"), nullptr);
    EXPECT_EQ(Fact("POWER_OUT_HYST").ControlName(1), "UpDownPOutHyster2");
}

// A control steps in whole raw units, and its range ends on values the field can hold.
TEST(FieldFacts, RangesOfScaledRowsLandOnRawValues)
{
    for (const FieldFact& f : FieldFacts::All()) {
        if (f.kind != FieldKind::Number || !f.HasRange())
            continue;
        SCOPED_TRACE(f.name);
        for (int v : { f.minimum, f.maximum, f.step })
            EXPECT_EQ(v % f.scale, 0) << v;
        const int lowRaw = f.minimum / f.scale - f.offset;
        const int highRaw = f.maximum / f.scale - f.offset;
        const int rawMin = f.isSigned ? -(1 << (8 * f.Width() - 1)) : 0;
        const int rawMax = f.isSigned ? (1 << (8 * f.Width() - 1)) - 1 : (1 << (8 * f.Width())) - 1;
        EXPECT_GE(lowRaw, rawMin);
        EXPECT_LE(highRaw, rawMax);
    }
}

TEST(FieldFacts, RawToUserToRawIsExactForEveryScaledRow)
{
    for (const FieldFact& f : FieldFacts::All()) {
        if (f.kind != FieldKind::Number || (f.scale == 1 && f.offset == 0))
            continue;
        SCOPED_TRACE(f.name);
        const int last = f.count - 1;
        for (int raw = 0; raw < (1 << (8 * f.Width())) && raw < 0x10000; raw += f.Width() == 2 ? 7 : 1) {
            ParamImage img;
            f.Ref(last).Write(img, raw);
            const int user = f.UserValue(img, last);
            ParamImage back;
            f.StoreUser(back, last, user);
            ASSERT_EQ(back, img) << "raw " << raw << " user " << user;
        }
    }
}

namespace {

// The start-up image with every lobe number allowed, and optionally the byte set that switches
// f to its other reading.
ParamImage validatedImage(const FieldFact& f, bool switched)
{
    ParamImage img;
    img.Adrb(BIKE) = STARTUP_BIKE;
    ResetDefaults(img, PAGE_ALL);
    if (switched)
        img.Adrb(f.other.flagAddress)
            = static_cast<uint8_t>(f.other.flagValue == FieldUnitSwitch::ANY_NONZERO ? 1 : f.other.flagValue);
    ValidateImage(img);
    img.Adrb(LOBE_COUNT) = static_cast<uint8_t>(Fact("LOBE_COUNT").MaximumIn(img));
    return img;
}

// Stores value into one element, validates, and returns what the element then holds; nullopt
// when the field cannot hold the value at all.
std::optional<int> afterValidation(const FieldFact& f, bool switched, int element, int value)
{
    ParamImage img = validatedImage(f, switched);
    f.StoreUser(img, element, value);
    if (f.UserValue(img, element) != value)
        return std::nullopt;
    ValidateImage(img);
    return f.UserValue(img, element);
}

} // namespace

// The bounds a control offers survive validation, and a value beyond them that validation
// changes lands exactly on the bound. Series are tested at their first element for the lower
// bound and their last for the upper, where ascending order leaves room.
TEST(FieldFacts, RangesAgreeWithValidation)
{
    for (const FieldFact& f : FieldFacts::All()) {
        if (!f.HasRange())
            continue;
        for (bool switched : { false, true }) {
            if (switched && f.other.flagAddress < 0)
                continue;
            SCOPED_TRACE(std::string(f.name) + (switched ? " switched" : ""));
            const int low = f.minimum;
            const int high = f.MaximumIn(validatedImage(f, switched));
            const int last = f.count - 1;
            EXPECT_EQ(afterValidation(f, switched, 0, low), low);
            EXPECT_EQ(afterValidation(f, switched, last, high), high);
            if (const auto below = afterValidation(f, switched, 0, low - f.step)) {
                EXPECT_TRUE(*below == low - f.step || *below == low) << *below;
            }
            if (const auto above = afterValidation(f, switched, last, high + f.step)) {
                EXPECT_TRUE(*above == high + f.step || *above == high) << *above;
            }
        }
    }
}

TEST(FieldFacts, UserTextNamesChoicesAndGivesNumbersTheirUnit)
{
    ParamImage img;
    img.Adrb(LIMITER) = 110;
    img.Adrb(RPM_PULSES) = 255;
    img.Adrb(RPM_CORR) = 95;
    img.Adrb(PICKUP_POLARITY + 1) = 2;
    img.Adrb(INPUT2) = 3;
    img.Adrb(SERVO_ENABLE) = 1;
    img.Adrw(IAP_SENSOR + 1) = 2305;
    img.Adrw(POWER_OUT_TP + 1) = 90;
    img.Adrb(SERVO_MV + 7) = 125;
    img.Adrb(BIKE) = 99;
    struct Case {
        const char* name;
        int element;
        const char* text;
    };
    const auto check = [&](std::initializer_list<Case> cases) {
        for (const Case& c : cases) {
            const FieldFact* f = FieldFacts::Find(c.name);
            ASSERT_NE(f, nullptr) << c.name;
            EXPECT_EQ(f->UserText(img, c.element, LANG_ENGLISH), c.text) << where(*f, c.element);
        }
    };
    check({ { "LIMITER", 0, "11000 rpm" }, { "RPM_PULSES", 0, "pickup 1" }, { "RPM_CORR", 0, "-5 %" },
        { "PICKUP_POLARITY", 1, "Auto" }, { "INPUT2", 0, "Quickshift" }, { "SERVO_ENABLE", 0, "On" },
        { "SERVO_PERCENT", 0, "Off" }, { "IAP_SENSOR", 1, "2305 mV" }, { "IAP_SENSOR", 2, "0 kPa" },
        { "POWER_OUT1_TP", 1, "90 %" }, { "SERVO_MV", 7, "2500 mV" }, { "BIKE", 0, "99" } });
    EXPECT_EQ(Fact("INPUT2").UserText(img, 0, LANG_GERMAN), "Schaltautomat");

    img.Adrb(TPSIAP_SENSOR) = 2;
    img.Adrb(SERVO_PERCENT) = 1;
    img.Adrb(SERVO_MV + 7) = 50;
    check({ { "POWER_OUT1_TP", 1, "90 kPa" }, { "SERVO_MV", 7, "50 %" } });

    // A lobe byte 0xC5 is lobe 69 with the second edge under trigger system 14, else lobe 5 with both flags.
    img.Adrb(LOBE_END + 2) = 0xC5;
    img.Adrb(PICKUP_SYSTEM) = 14;
    check({ { "LOBE_END", 2, "69, 2nd Edge" } });
    img.Adrb(PICKUP_SYSTEM) = 5;
    check({ { "LOBE_END", 2, "5, 2nd Edge, 2nd Pick-up" } });
    img.Adrb(POWER_OUT_CELLS + 4) = 0b1010;
    check({ { "POWER_OUT2_CELLS", 1, "0 1 0 1" } });
}

TEST(FieldFacts, FileValuesAreUnsignedAndScaledAsTheFileHoldsThem)
{
    ParamImage img;
    img.Adrb(RPM_PULSES) = 254;
    img.Adrb(LIMITER) = 110;
    img.Adrb(SERVO_NO) = 9;
    img.Adrb(CLUTCH_PAUSE) = 50;
    img.Adrb(CORR_ADVANCE + 3) = 95;
    EXPECT_EQ(Fact("RPM_PULSES").FileValue(img), 254);
    EXPECT_EQ(Fact("RPM_PULSES").UserValue(img), -2);
    EXPECT_EQ(Fact("LIMITER").FileValue(img), 110);
    EXPECT_EQ(Fact("SERVO_NO").FileValue(img), 9);
    EXPECT_EQ(Fact("CLUTCH_PAUSE").FileValue(img), 500);
    EXPECT_EQ(Fact("CORR_ADVANCE").FileValue(img, 3), -5);
}

TEST(FieldFacts, CaptionsComeFromTheCaptionTableElseTheRowElseTheName)
{
    EXPECT_EQ(Fact("LIMITER").CaptionIn(0, LANG_GERMAN), "Begrenzer [rpm]");
    EXPECT_EQ(Fact("PICKUPS_INTERCHANGE").CaptionIn(0, LANG_ENGLISH), "Pickups interchange (pin 9 and 20)");
    EXPECT_EQ(Fact("POWER_OUT_HYST").CaptionIn(1, LANG_ENGLISH), "Hysteresis [RPM]");
    EXPECT_EQ(Fact("TEST_RPM").CaptionIn(0, LANG_CZECH), "Testovací otáčky [rpm]");
    EXPECT_EQ(Fact("ADV_MAPA").CaptionIn(0, LANG_ENGLISH), "ADV_MAPA");
    // A caption key named explicitly must exist, or the row must carry its own text.
    for (const FieldFact& f : FieldFacts::All()) {
        for (int e = 0; e < f.count && f.caption; ++e) {
            EXPECT_NE(f.CaptionIn(e, LANG_ENGLISH), f.name) << where(f, e);
        }
    }
}
