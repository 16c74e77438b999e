#include "pages/PageTest.h"

#include "lang/LangString.h"
#include "model/FieldFacts.h"
#include "pages/RoomyButton.h"
#include "pages/UpDownSpinBox.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

namespace {

struct TestButtonInfo {
    const char* name;
    MonitorRequest::TestButton button;
    bool visible;
};

// Outputs 3 and 4 and the N2O test do not exist in this unit family; the dwell calibration
// belongs to the hidden dwell functions.
constexpr TestButtonInfo kButtons[] = {
    {"ButtonTestIgn1", MonitorRequest::ButtonTestIgn1, true},
    {"ButtonTestIgn2", MonitorRequest::ButtonTestIgn2, true},
    {"ButtonTestIgn3", MonitorRequest::ButtonTestIgn3, true},
    {"ButtonTestIgn4", MonitorRequest::ButtonTestIgn4, true},
    {"ButtonTest01", MonitorRequest::ButtonTest01, true},
    {"ButtonTest02", MonitorRequest::ButtonTest02, true},
    {"ButtonTest03", MonitorRequest::ButtonTest03, false},
    {"ButtonTest04", MonitorRequest::ButtonTest04, false},
    {"ButtonTestRpm", MonitorRequest::ButtonTestRpm, true},
    {"ButtonTestServoPlus", MonitorRequest::ButtonTestServoPlus, true},
    {"ButtonTestServoMinus", MonitorRequest::ButtonTestServoMinus, true},
    {"ButtonCalibDwell", MonitorRequest::ButtonCalibDwell, false},
};

// Controls the caption tables leave without a caption.
struct OwnCaption {
    const char* name;
    const char* text;
};
constexpr OwnCaption kOwnCaptions[] = {
    {"ButtonTestServoPlus", "###Servo +##Servo +##Servo +"},
    {"ButtonTestServoMinus", "###Servo -##Servo -##Servo -"},
    {Fact("TEST_RPM").caption, Fact("TEST_RPM").captionText},
};

} // namespace

PageTest::PageTest(ControlBinder& binder, PageHost& host, QWidget* sheet, PressTest press)
    : SettingsPage(binder, host, sheet), press_(std::move(press))
{
    auto* grid = new QGridLayout(sheet_);
    auto* group = new QGroupBox(sheet_);
    group->setObjectName("GroupBoxTestIgn");
    auto* buttons = new QGridLayout(group);
    int i = 0;
    for (const TestButtonInfo& b : kButtons) {
        QPushButton* button = MakeButton(b.name, b.button);
        button->setParent(group);
        buttons->addWidget(button, i / 2, i % 2);
        ++i;
    }
    upDownTestRpm_ = MakeUpDown(Fact("TEST_RPM"));
    upDownTestServo_ = MakeUpDown(Fact("TEST_SERVO"));
    grid->addWidget(group, 0, 0, 1, 2);
    grid->addWidget(MakeCaptionLabel(Fact("TEST_RPM")), 1, 0);
    grid->addWidget(upDownTestRpm_, 1, 1);
    grid->addWidget(MakeCaptionLabel(Fact("TEST_SERVO")), 2, 0);
    grid->addWidget(upDownTestServo_, 2, 1);
    grid->setRowStretch(3, 1);
    grid->setColumnStretch(2, 1);
}

QPushButton* PageTest::MakeButton(const char* name, MonitorRequest::TestButton button)
{
    auto* b = new RoomyButton(sheet_);
    b->setObjectName(name);
    connect(b, &QPushButton::clicked, this, [this, button] {
        if (press_)
            press_(button);
    });
    return b;
}

void PageTest::Store()
{
    binder_.UpDownToImage(upDownTestRpm_, Fact("TEST_RPM"));
    binder_.UpDownToImage(upDownTestServo_, Fact("TEST_SERVO"));
}

void PageTest::Load()
{
    binder_.ImageToUpDown(upDownTestRpm_, Fact("TEST_RPM"));
    binder_.ImageToUpDown(upDownTestServo_, Fact("TEST_SERVO"));
}

void PageTest::UpdateVisibility()
{
    // The monitor display writes the output buttons' captions too; the marked ones stay hidden.
    for (const TestButtonInfo& b : kButtons)
        if (auto* w = sheet_->findChild<QPushButton*>(b.name)) {
            w->setProperty("hiddenInFamily", !b.visible);
            w->setVisible(b.visible);
        }
}

void PageTest::Retranslate()
{
    for (const OwnCaption& c : kOwnCaptions) {
        const QString text = QString::fromUtf8(LangText(c.text));
        if (auto* b = sheet_->findChild<QPushButton*>(c.name))
            b->setText(text);
        else if (auto* l = sheet_->findChild<QLabel*>(c.name))
            l->setText(text);
    }
}
