#include "model/ImageDefaults.h"
#include "monitor/MonitorDisplay.h"
#include "monitor/MonitorRequest.h"

#include <gtest/gtest.h>

#include <map>

namespace {

// English runtime texts used by the display.
const std::map<int, std::string> kTexts = {{18, "Advance"}, {19, "Base"}, {20, "Number of Programming"},
    {21, "Blocking"}, {22, "YES"}, {23, "NO"}, {26, "error"}, {29, ", positive polarity"},
    {30, ", negative polarity"}, {37, "Pick up system error                    "}, {38, "Pick-up (CKPS)"},
    {39, "is running"}, {40, "no signal"}, {45, "Quickshift"}, {46, "Input"}, {48, "Kill switch"}, {49, "Open"},
    {50, "Grounded"}, {52, "Fuel pump"}, {53, "Gear shift light"}, {55, "Special out"}, {56, "Not used"},
    {63, "Retard"}, {65, "Start limiter"}, {66, "Limiter"}, {67, ", polarity error"}, {69, "Hour meter"},
    {70, "[h:mm]"}};

struct DisplayFixture : testing::Test {
    ParamImage image;
    MonitorImage monitor;

    void SetUp() override
    {
        image.Adrb(BIKE) = STARTUP_BIKE;
        ResetDefaults(image, PAGE_ALL);
    }

    MonitorView refresh(bool live = true)
    {
        MonitorSources s{monitor, image, live, [](int n) { return kTexts.count(n) ? kTexts.at(n) : std::string(); }, "U", "D", "T"};
        return RefreshMonitorDisplay(s);
    }
    std::string text(const MonitorView& v, const char* name)
    {
        const MonitorLabel* l = v.label(name);
        return l ? l->text : "<missing " + std::string(name) + ">";
    }
};

} // namespace

TEST_F(DisplayFixture, WithoutLiveSourceEverythingReadsDashes)
{
    monitor.SetMonw(MON_RPM, 5000);
    const MonitorView v = refresh(false);
    EXPECT_EQ(monitor.Monw(MON_RPM), 0) << "the monitor image is cleared";
    EXPECT_EQ(text(v, "LabelRpm"), "RPM = ---");
    EXPECT_EQ(text(v, "LabelTpsMon"), "TP= ---");
    EXPECT_EQ(text(v, "LabelMonSnimac1"), "Pick-up (CKPS) 1 =  ---");
    EXPECT_EQ(text(v, "LabelNapeti"), "U = --- [V]");
    EXPECT_EQ(text(v, "LabelAdvance1"), "Advance 1 = --- [°]");
    EXPECT_EQ(text(v, "LabelMonLimiterOut"), "Limiter = ---");
    EXPECT_EQ(text(v, "LabelHourMeter"), "Hour meter = ---");
    EXPECT_EQ(text(v, "LabelServo"), "Servo = ---");
    EXPECT_EQ(v.gauge("CGaugeRpm")->value, 0);
    EXPECT_EQ(v.gauge("CGaugeTps")->value, 0);
}

TEST_F(DisplayFixture, SupplyVoltageColours)
{
    const struct {
        int mv;
        uint32_t colour;
        const char* text;
    } cases[] = {{7000, MonitorColour::RED, "U = 7.0 [V]"}, {7001, MonitorColour::YELLOW, "U = 7.0 [V]"},
        {11000, MonitorColour::YELLOW, "U = 11.0 [V]"}, {11001, MonitorColour::BUTTON_FACE, "U = 11.0 [V]"},
        {14998, MonitorColour::BUTTON_FACE, "U = 15.0 [V]"}, {14999, MonitorColour::YELLOW, "U = 15.0 [V]"},
        {17998, MonitorColour::YELLOW, "U = 18.0 [V]"}, {18000, MonitorColour::RED, "U = 18.0 [V]"}};
    for (const auto& c : cases) {
        monitor.SetMonw(MON_SUPPLY_MV, static_cast<uint16_t>(c.mv));
        const MonitorView v = refresh();
        EXPECT_EQ(v.label("LabelNapeti")->colour, c.colour) << c.mv;
        EXPECT_EQ(text(v, "LabelNapeti"), c.text);
    }
}

TEST_F(DisplayFixture, AdvanceLabels)
{
    image.Adrb(CHANNEL_COUNT) = 2;
    monitor.Monb(MON_ADV) = 100;
    monitor.Monb(MON_ADV + 1) = 0;
    monitor.Monb(MON_ADV + 2) = 130;
    MonitorView v = refresh();
    EXPECT_EQ(text(v, "LabelAdvance1"), "Advance 1 = 0 [°]");
    EXPECT_EQ(text(v, "LabelAdvance2"), "Advance = Base");
    EXPECT_FALSE(v.label("LabelAdvance3")->visible);

    monitor.SetMonw(MON_ADV_MAX, 25);
    monitor.Monb(MON_ADV) = 130;
    monitor.SetMonw(MON_ADV_MAX + 1, 12);
    v = refresh();
    EXPECT_EQ(text(v, "LabelAdvance1"), "Advance 1 = 30 [°] /max 25 [°]");
    EXPECT_EQ(v.label("LabelAdvance1")->colour, MonitorColour::YELLOW);
    EXPECT_EQ(text(v, "LabelAdvance2"), "Advance = Base/max 12 [°]");
}

TEST_F(DisplayFixture, LoadBySensorKind)
{
    monitor.SetMonw(MON_SENSOR_MV, 4012);
    monitor.SetMonw(MON_LOAD, 101);
    monitor.Monb(MON_SENSOR_KIND) = 0;
    MonitorView v = refresh();
    EXPECT_EQ(text(v, "LabelTpsMon"), "TP=error = 4012 [mV]");
    EXPECT_EQ(v.label("LabelTpsMon")->colour, MonitorColour::RED);
    EXPECT_FALSE(v.label("LabelTpsMon")->enabled);

    monitor.Monb(MON_SENSOR_KIND) = 1;
    v = refresh();
    EXPECT_EQ(text(v, "LabelTpsMon"), "TP= 101 [%]= 4012 [mV]");
    EXPECT_EQ(v.gauge("CGaugeTps")->value, 101);
    EXPECT_EQ(v.point.loadTenths, 1010);

    monitor.Monb(MON_SENSOR_KIND) = 7; // counts as IAP
    v = refresh();
    EXPECT_EQ(text(v, "LabelTpsMon"), "IAP= 101 [kPa]= 4012 [mV]");
    EXPECT_EQ(v.gauge("CGaugeTps")->maximum, 300);
    EXPECT_EQ(v.point.sensorKind, 2);
    EXPECT_EQ(v.point.loadKpa, 101);
    EXPECT_EQ(v.point.loadTenths, -1);

    monitor.Monb(MON_STATUS) = 0x80;
    v = refresh();
    EXPECT_EQ(text(v, "LabelTpsMon"), "IAP=error = 4012 [mV]");
    EXPECT_TRUE(v.point.sensorError);
}

TEST_F(DisplayFixture, PickupsAndStates)
{
    image.Adrb(INPUT1) = 1; // kill switch
    monitor.Monb(MON_PICKUPS) = 0x01 | 0x20 | 0x80 | 0x04;
    monitor.Monb(MON_STATUS) = 0x01 | 0x20;
    const MonitorView v = refresh();
    EXPECT_EQ(text(v, "LabelMonSnimac1"), "Pick-up (CKPS) 1 = is running, positive polarity, Pick up system error                    ");
    EXPECT_EQ(v.label("LabelMonSnimac1")->colour, MonitorColour::RED);
    EXPECT_EQ(text(v, "LabelMonSnimac2"), "Pick-up (CKPS) 2 = no signal, polarity error");
    EXPECT_EQ(text(v, "LabelKillSwitch"), "Kill switch = YES");
    EXPECT_EQ(v.label("LabelKillSwitch")->colour, MonitorColour::RED);
    EXPECT_EQ(text(v, "LabelBlocking"), "Blocking = ---");
    EXPECT_FALSE(v.label("LabelBlocking")->enabled);
    EXPECT_EQ(text(v, "LabelMonInput1In"), "Input = Grounded");
    EXPECT_EQ(v.label("LabelMonInput1In")->colour, MonitorColour::MAGENTA);
    EXPECT_EQ(text(v, "LabelMonInput2In"), "Input = Open");
}

TEST_F(DisplayFixture, HourMeterServoAndPowerOutputs)
{
    monitor.SetMonw(MON_HOURS_LOW, 125);
    image.Adrb(SERVO_ENABLE) = 1;
    monitor.SetMonw(MON_SERVO, 2000);
    monitor.SetMonw(MON_SERVO + 1, 2100);
    monitor.Monb(MON_POUT) = 0x02;
    const MonitorView v = refresh();
    EXPECT_EQ(text(v, "LabelHourMeter"), "Hour meter = 2:05 [h:mm]");
    EXPECT_EQ(text(v, "LabelServo"), "Servo = 2000/2100 [mV]");
    EXPECT_EQ(v.label("LabelServo")->colour, MonitorColour::RED) << "servo-in-order bit clear";
    EXPECT_EQ(text(v, "LabelMonPOut1"), "POUT1(Fuel pump) = NO");
    EXPECT_EQ(text(v, "LabelMonPOut2"), "POUT2(Gear shift light) = YES");
    EXPECT_EQ(v.label("LabelMonPOut2")->colour, MonitorColour::MAGENTA);
    EXPECT_EQ(text(v, "ButtonTest03"), "Power out 3 - Special out");
}

TEST(MonitorRequestTest, TestBitsAreSentOnce)
{
    MonitorRequest r;
    r.Press(MonitorRequest::ButtonTestIgn2);
    r.Press(MonitorRequest::ButtonTestRpm);
    auto first = r.Build();
    EXPECT_EQ(first[20], 0x02);
    EXPECT_EQ(first[21], 0x04);
    EXPECT_EQ(first[99], 93);
    auto second = r.Build();
    EXPECT_EQ(second[20], 0);
    EXPECT_EQ(second[21], 0);
}

TEST(MonitorRequestTest, DwellCalibrationSequence)
{
    MonitorRequest r;
    r.Press(MonitorRequest::ButtonCalibDwell);
    auto a = r.Build(), b = r.Build(), c = r.Build();
    EXPECT_EQ(a[20], 0x10);
    EXPECT_EQ(a[87], 0xA5);
    EXPECT_EQ(a[88], 0x5A);
    EXPECT_EQ(b[20], 0);
    EXPECT_EQ(b[87], 0x2C);
    EXPECT_EQ(b[88], 0xC2);
    EXPECT_EQ(c[87], 0);

    r.Press(MonitorRequest::ButtonCalibDwell);
    r.Press(MonitorRequest::ButtonTestServoPlus);
    EXPECT_EQ(r.calibrationSteps(), 0) << "another test button cancels the sequence";
    EXPECT_EQ(r.Build()[87], 0);
}
