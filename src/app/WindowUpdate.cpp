#include "app/WindowUpdate.h"

#include "app/EditCycle.h"
#include "app/WindowStatusBar.h"
#include "update/UpdateCheck.h"
#include "update/ui/PatchWindowHost.h"

WindowUpdate::WindowUpdate(QWidget& window, WindowStatusBar& status, EditCycle& edits)
    : window_(window)
    , status_(status)
    , edits_(edits)
{
}

WindowUpdate::~WindowUpdate() = default;

void WindowUpdate::Start(const std::string& compileDate, bool skip)
{
    host_ = std::make_unique<PatchWindowHost>(
        &window_, [this](const std::string& t) { status_.ShowHint(QString::fromUtf8(t.c_str())); },
        [this] { edits_.SaveSettings(); });
    check_ = std::make_unique<UpdateCheck>(*host_, settings_, compileDate);
    check_->Start(skip);
}

void WindowUpdate::Tick()
{
    if (check_)
        check_->Tick();
}

void WindowUpdate::Stop()
{
    if (check_)
        check_->Stop();
}
