#include "update/UpdateCheck.h"

#include "base/TickClock.h"
#include "base/Trace.h"
#include "lang/LangString.h"
#include "update/UpdateDocument.h"

#include <QThread>

namespace {

constexpr const char* TRYING_UPDATES = "###Trying updates...####Zjišťuji aktualizace...";
constexpr const char* DOWNLOADING = "###Downloading####Stahování";
constexpr const char* RUN_INSTALLER = "###After downloading run new installer.####Po stažení spusťte nový instalátor.";
constexpr const char* COPY_IN_PLACE = "###After downloading store new version to suitable location instead of current "
                                      "version.####Po stažení novou verzi uložte do vhodné lokace namísto stávající "
                                      "verze.";

} // namespace

UpdateCheck::UpdateCheck(UpdateCheckHost& host, PatchSettings& settings, std::string compileDate)
    : host_(host)
    , settings_(settings)
    , compileDate_(std::move(compileDate))
{
    http_.stop = &stop_;
}

UpdateCheck::~UpdateCheck() { Stop(); }

void UpdateCheck::Start(bool noUpdateCheck)
{
    Stop();
    address_ = UpdateAddress(settings_.address);
    // A build without an update address (the maker's host is deployment data) asks nobody.
    noUpdateCheck_ = noUpdateCheck || address_.empty();
    document_.reset();
    dialogShown_ = false;
    stop_.store(false, std::memory_order_release);
    workerDone_.store(false, std::memory_order_release);
    state_.store(IDLE, std::memory_order_release);
    worker_.reset(QThread::create([this] { WorkerLoop(); }));
    worker_->setObjectName("PatchCheck");
    worker_->setStackSize(WORKER_STACK);
    worker_->start();
}

void UpdateCheck::Stop()
{
    stop_.store(true, std::memory_order_release);
    WakeWorker();
    if (worker_) {
        worker_->wait();
        // The worker's last store; pairs the end of its writes with what this thread does next.
        workerDone_.load(std::memory_order_acquire);
        worker_.reset();
    }
}

void UpdateCheck::WorkerLoop()
{
    while (!stop_.load(std::memory_order_acquire)) {
        const unsigned seen = wakes_.load(std::memory_order_acquire);
        if (state_.load(std::memory_order_acquire) == REQUESTED) {
            Download();
            state_.store(DOWNLOADED, std::memory_order_release);
            continue;
        }
        if (!stop_.load(std::memory_order_acquire))
            wakes_.wait(seen, std::memory_order_acquire);
    }
    workerDone_.store(true, std::memory_order_release);
}

// One attempt per run: any error leaves no document.
void UpdateCheck::Download()
{
    document_.reset();
    std::string body;
    if (HttpGet(address_, http_, body))
        document_ = std::move(body);
    TraceLinef("PATCH download %s", document_ ? "OK" : "failed");
}

void UpdateCheck::WakeWorker()
{
    wakes_.fetch_add(1, std::memory_order_acq_rel);
    wakes_.notify_all();
}

void UpdateCheck::Tick()
{
    const int s = state_.load(std::memory_order_acquire);
    if (s == IDLE) {
        if (TickMs.load() > REQUEST_AFTER_MS && !noUpdateCheck_ && worker_) {
            host_.SetStatusText(LangText(TRYING_UPDATES));
            state_.store(REQUESTED, std::memory_order_release);
            WakeWorker();
        }
        return;
    }
    if (s == DOWNLOADED && document_) {
        state_.store(EVALUATED, std::memory_order_release);
        Evaluate();
    }
}

void UpdateCheck::Evaluate()
{
    const std::optional<UpdateOffer> offer = EvaluateUpdateDocument(*document_, compileDate_, LanguageIndex);
    if (!offer || settings_.declinedUpdateNumber >= offer->updateNumber)
        return;
    dialogShown_ = true;
    const int result = host_.ShowPatchDialog(*offer);
    if (result == 3) {
        settings_.declinedUpdateNumber = offer->updateNumber;
        host_.SaveSettings();
    } else if (result == 1 && !offer->downloadLink.empty()) {
        host_.OpenLink(offer->downloadLink);
        const bool installer = offer->downloadLink.find("setup") != std::string::npos;
        host_.ShowMessage(LangText(DOWNLOADING), LangText(installer ? RUN_INSTALLER : COPY_IN_PLACE));
        host_.CloseMainWindow();
    }
    host_.SetStatusText("");
}
