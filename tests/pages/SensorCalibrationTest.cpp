#include "app/MainWindow.h"
#include "lang/LangString.h"
#include "mapedit/ui/MapEditorList.h"
#include "mapedit/ui/MapEditor.h"
#include "model/ImageDefaults.h"
#include "pages/PageMisc.h"
#include "pages/RadioGroup.h"

#include "TempDir.h"

#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>

#include <gtest/gtest.h>

namespace {

// A page owner that commits by storing the page, as the window does for its active page.
struct CommittingHost : PageHost {
    PageMisc* page = nullptr;
    int commits = 0;
    void RequestCommit(QObject*, int) override
    {
        ++commits;
        page->Store();
    }
    void MarkEditorsForReload() override { }
    Answer AskYesNoCancel(const char*) override { return ANSWER_CANCEL; }
    void NewWithoutAsking() override { }
    void RefreshActivePage() override { }
    void FocusProgramAfterChange() override { }
};

struct SensorPageFixture : testing::Test {
    ParamImage image;
    ControlBinder binder { image };
    CommittingHost host;
    MapEditorList editors;
    QWidget sheet;
    std::optional<int> reading;
    std::unique_ptr<PageMisc> page;

    void SetUp() override
    {
        LanguageIndex = LANG_ENGLISH;
        ResetDefaults(image, PAGE_ALL);
        page = std::make_unique<PageMisc>(binder, host, &sheet, editors, [this] { return reading; });
        host.page = page.get();
        page->Load();
        page->UpdateVisibility();
    }
    QPushButton* button(const char* name) { return sheet.findChild<QPushButton*>(name); }
};

TEST_F(SensorPageFixture, TpButtonsTakeTheMonitorVoltage)
{
    reading = 4012;
    button("BitBtnTps100")->click();
    EXPECT_EQ(image.Adrw(TPS + 1), 4012);
    EXPECT_EQ(host.commits, 1);
    reading = 612;
    button("BitBtnTps0")->click();
    EXPECT_EQ(image.Adrw(TPS), 612);
    EXPECT_EQ(image.Adrw(TPS + 1), 4012);
}

TEST_F(SensorPageFixture, TpButtonsWithoutLiveDataKeepTheCalibration)
{
    const ParamImage before = image;
    reading.reset();
    button("BitBtnTps0")->click();
    button("BitBtnTps100")->click();
    EXPECT_TRUE(image == before);
    EXPECT_EQ(host.commits, 0);
}

TEST_F(SensorPageFixture, ImplausibleVoltageIsHeldToTheTableRange)
{
    reading = 65535;
    button("BitBtnTps100")->click();
    EXPECT_EQ(image.Adrw(TPS + 1), 5000);
}

TEST_F(SensorPageFixture, SensorKindChoosesTheCalibrationShown)
{
    struct Case {
        int sensor;
        bool tp, iap;
    };
    for (const Case c : { Case { 0, false, false }, Case { 1, true, false }, Case { 2, false, true } }) {
        image.Adrb(TPSIAP_SENSOR) = static_cast<uint8_t>(c.sensor);
        page->Load();
        page->UpdateVisibility();
        EXPECT_EQ(!page->tpSensorEditor()->isHidden(), c.tp) << c.sensor;
        EXPECT_EQ(!button("BitBtnTps0")->isHidden(), c.tp) << c.sensor;
        EXPECT_EQ(!button("BitBtnTps100")->isHidden(), c.tp) << c.sensor;
        EXPECT_EQ(!page->iapSensorEditor()->isHidden(), c.iap) << c.sensor;
    }
}

TEST_F(SensorPageFixture, CalibrationTablesRoundTripThroughTheImage)
{
    const int iap[4] = { 40, 1900, 110, 4100 };
    for (int k = 0; k < 4; ++k)
        image.Adrw(IAP_SENSOR + k) = static_cast<uint16_t>(iap[k]);
    image.Adrw(TPS) = 650;
    image.Adrw(TPS + 1) = 3900;
    page->Load();
    const MapSheet& s = page->iapSensorEditor()->SheetAt(0);
    EXPECT_EQ(s.axisY.values[0], 40);
    EXPECT_EQ(s.axisY.values[1], 110);
    for (int k = 0; k < 4; ++k)
        image.Adrw(IAP_SENSOR + k) = 0;
    image.Adrw(TPS) = image.Adrw(TPS + 1) = 0;
    page->Store();
    for (int k = 0; k < 4; ++k)
        EXPECT_EQ(image.Adrw(IAP_SENSOR + k), iap[k]) << k;
    EXPECT_EQ(image.Adrw(TPS), 650);
    EXPECT_EQ(image.Adrw(TPS + 1), 3900);
}

TEST(SensorPageInWindow, TpButtonWithoutAUnitLeavesTheImageAlone)
{
    ScopedWorkDir dir;
    LanguageIndex = LANG_ENGLISH;
    MainWindow form({}, [](const std::string&) {});
    form.Image().Adrb(TPSIAP_SENSOR) = 1;
    form.Edits().RefreshPages(true);
    form.MonitorData().SetMonw(MON_SENSOR_MV, 4012);
    const ParamImage before = form.Image();
    form.findChild<QPushButton*>("BitBtnTps100")->click();
    EXPECT_TRUE(form.Image() == before);
}

} // namespace
