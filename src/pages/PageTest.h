#pragma once

#include "pages/SettingsPage.h"
#include "monitor/MonitorRequest.h"

#include <functional>

class QPushButton;

// The Test page: the test speed and servo time, and the buttons that send one-shot output tests
// with the next monitor request.
class PageTest : public SettingsPage {
    Q_OBJECT

public:
    using PressTest = std::function<void(MonitorRequest::TestButton)>;
    PageTest(ControlBinder& binder, PageHost& host, QWidget* sheet, PressTest press);

    void Store() override;
    void Load() override;
    void UpdateVisibility() override;
    void Retranslate() override;

private:
    QPushButton* MakeButton(const char* name, MonitorRequest::TestButton button);

    PressTest press_;
    UpDownSpinBox* upDownTestRpm_;
    UpDownSpinBox* upDownTestServo_;
};
