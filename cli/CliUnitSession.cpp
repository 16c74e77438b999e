#include "CliUnitSession.h"

#include "CliProgramSignals.h"
#include "app/SignalCloseTexts.h"
#include "lang/LangString.h"

#include <QThread>

#include <algorithm>
#include <chrono>

namespace {

constexpr uint32_t RED = 0x0000FF;
constexpr int RESULT_SLOT = 2;
// A command that has started runs to its end; only a unit that stops answering holds it up longer.
constexpr int MIN_COMMAND_MS = 30000;

} // namespace

CliUnitSession::CliUnitSession(const PortChoice& choice, int timeoutMs, CliIo& io, CliTicker* ticker)
    : io_(io)
    , timeoutMs_(timeoutMs)
    , ownTicker_(ticker ? nullptr : std::make_unique<CliTicker>())
    , ticker_(ticker ? *ticker : *ownTicker_)
{
    link.Search().SetStatusSlots(&status);
    ApplyPortChoice(link, choice);
}

void CliUnitSession::Step()
{
    const int tick = ticker_.Advance();
    if (tick == tick_)
        return;
    tick_ = tick;
    status.ExpireStatus();
    // Every second tick; a session that missed the even tick of a pair runs its pass on the odd one.
    if (tick / 2 != lastPass_) {
        lastPass_ = tick / 2;
        manager.Pass();
    }
}

bool CliUnitSession::RunUntil(const std::function<bool()>& done, int limitMs)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
    while (!done()) {
        // A session that is not programming gives way at once to a signal that asked the tool to end.
        if (std::chrono::steady_clock::now() >= end || (!programming_ && CliProgramSignals::EndRequested()))
            return false;
        Step();
        QThread::msleep(2);
    }
    return true;
}

bool CliUnitSession::Idle() const
{
    return manager.pendingCommand == 0
        && (manager.linkStep == ConnectionManager::StepIdle || manager.linkStep == ConnectionManager::StepMonitor);
}

bool CliUnitSession::FindUnit(ConnectionManager::ConnectReads reads)
{
    manager.connectReads = reads;
    const UnitSearch& search = link.Search();
    if (RunUntil([&] { return Connected() || search.NoPortCanOpen(); }, timeoutMs_) && Connected())
        return true;
    // The reason a port cannot be opened went to err as the search met it.
    if (search.NoPortCanOpen())
        io_.err << NO_PORT_OPENS_TEXT << "\n";
    else
        io_.err << "no unit found within " << timeoutMs_ / 1000.0 << " s\n";
    return false;
}

void CliUnitSession::ReportConnectFailure(const char* unread)
{
    if (boxShown_)
        return;
    if (resultFailed_)
        ReportResult(false);
    else
        io_.err << unread << "\n";
}

bool CliUnitSession::Connect()
{
    if (!FindUnit(ConnectionManager::ConnectReads::ReferenceAndConfiguration))
        return false;
    const bool settled = RunUntil([&] { return !Connected() || Idle(); }, std::max(timeoutMs_, MIN_COMMAND_MS));
    if (CliProgramSignals::EndRequested()) {
        io_.err << LangText(SignalCloseTexts::NOT_BEGUN) << "\n";
        return false;
    }
    if (settled && Connected() && manager.unitMirrorValid)
        return true;
    ReportConnectFailure("the unit's configuration could not be read");
    return false;
}

bool CliUnitSession::ConnectFor(const std::function<bool()>& start)
{
    // Queued as soon as the unit answers, the command follows the reference block at once
    // instead of a monitor exchange; start says itself why it refused.
    if (!FindUnit(ConnectionManager::ConnectReads::ReferenceOnce)) {
        connectReported_ = true;
        return false;
    }
    if (CliProgramSignals::EndRequested()) {
        io_.err << LangText(SignalCloseTexts::NOT_BEGUN) << "\n";
        connectReported_ = true;
        return false;
    }
    if (!start()) {
        connectReported_ = true;
        return false;
    }
    const bool settled = RunUntil([&] { return !Connected() || manager.pendingCommand == 0; },
        std::max(timeoutMs_, MIN_COMMAND_MS));
    // The manager drops the queued command when the reference block cannot be read or names
    // another program version; then it is idle instead of in the command's step.
    if (settled && Connected() && manager.linkStep >= ConnectionManager::StepRead)
        return true;
    ReportConnectFailure("the unit's reference block could not be read");
    connectReported_ = true;
    return false;
}

bool CliUnitSession::RunCommand(const std::function<bool()>& start)
{
    resultText_.clear();
    resultFailed_ = false;
    connectReported_ = false;
    if (Connected() ? !start() : !ConnectFor(start))
        return false;
    const int limit = std::max(timeoutMs_, MIN_COMMAND_MS);
    const bool began = RunUntil(
        [&] {
            return !Connected() || (manager.pendingCommand == 0 && manager.linkStep >= ConnectionManager::StepRead);
        },
        limit);
    const bool ended
        = began && RunUntil([&] { return !Connected() || manager.linkStep < ConnectionManager::StepReference; }, limit);
    if (!ended && Connected())
        io_.err << "the unit did not finish the command within " << limit / 1000 << " s\n";
    return ended && Connected() && !resultFailed_ && manager.failedJobs == 0;
}

bool CliUnitSession::Read()
{
    const bool ok = RunCommand([&] {
        manager.ReadCommand();
        return true;
    }) && manager.unitMirrorValid;
    ReportResult(ok);
    return ok;
}

bool CliUnitSession::Verify()
{
    const bool ok = RunCommand([&] {
        manager.VerifyCommand();
        return true;
    });
    // The unit holds what was verified; its bytes need not be read again to be known.
    if (ok) {
        verifyRead_ = image;
        verifyReadValid_ = true;
    }
    ReportResult(ok);
    return ok;
}

bool CliUnitSession::Program(bool changedOnly)
{
    const bool ok = ProgramToTheEnd(changedOnly);
    if (programming_) {
        programming_ = false;
        CliProgramSignals::EndProgram();
    }
    return ok;
}

bool CliUnitSession::ProgramToTheEnd(bool changedOnly)
{
    bool ok = RunCommand([&] {
        // The Program begins when it is given to a found unit: a signal while the tool still looks
        // for one ends the tool at once, as nothing has been written.
        if (!CliProgramSignals::BeginProgram()) {
            io_.err << LangText(SignalCloseTexts::NOT_BEGUN) << "\n";
            return false;
        }
        programming_ = true;
        if (!manager.ProgramCommand()) {
            io_.err << "the unit refused the program command\n";
            return false;
        }
        if (changedOnly) {
            // Changed relative to what the unit holds, as read after connecting.
            manager.programAll = 0;
            for (int a = 0; a < RS_LEN_EXE; ++a)
                manager.changedMap[static_cast<size_t>(a)] = image.Adrb(a) != manager.unitMirror.Adrb(a) ? 1 : 0;
        }
        return true;
    });
    // After the read-back the unit stores the bytes; the program OK message follows its countdown.
    ok = ok && manager.programPending
        && RunUntil([&] { return !Connected() || !manager.programPending; }, std::max(timeoutMs_, MIN_COMMAND_MS))
        && Connected() && manager.unitMirrorValid && manager.unitMirror == image;
    ReportResult(ok);
    return ok;
}

bool CliUnitSession::Reset()
{
    // The reset has no result message of its own: the command was carried out when its job ended.
    const bool ok = RunCommand([&] {
        manager.ResetCommand();
        return true;
    });
    if (ok)
        io_.out << "Reset: OK\n";
    else
        io_.err << "Reset: the unit did not take the reset command\n";
    return ok;
}

void CliUnitSession::KeepVerifyRead()
{
    if (manager.linkStep != ConnectionManager::StepVerify)
        return;
    const uint8_t* received = link.jobRxFlags;
    if (std::find(received, received + RS_LEN_EXE, 0) != received + RS_LEN_EXE)
        return;
    std::copy_n(link.jobRxData, RS_LEN_EXE, verifyRead_.data());
    verifyReadValid_ = true;
}

bool CliUnitSession::UnitConfiguration(ParamImage& unit) const
{
    if (verifyReadValid_)
        unit = verifyRead_;
    else if (manager.unitMirrorValid)
        unit = manager.unitMirror;
    return verifyReadValid_ || manager.unitMirrorValid;
}

void CliUnitSession::ReportResult(bool ok)
{
    if (!ok && connectReported_)
        return;
    if (ok) {
        io_.out << resultText_ << "\n";
        return;
    }
    if (!Connected())
        io_.err << "the connection with the unit was lost\n";
    else if (resultFailed_)
        io_.err << resultText_ << "\n";
    else if (!resultText_.empty())
        io_.err << "the command did not end as expected; last message: " << resultText_ << "\n";
}

void CliUnitSession::ShowProgress(bool visible, uint32_t, int percent)
{
    if (!visible)
        return;
    // The bar moves back and forth while the unit stores; a line is printed only when it moved on.
    if ((percent == 100 && lastPrintedPercent_ != 100) || percent - lastPrintedPercent_ >= 10) {
        lastPrintedPercent_ = percent;
        io_.err << "  " << percent << " %\n";
    }
}

void CliUnitSession::ShowMessageBox(const std::string& text, const std::string& caption, MessageKind)
{
    boxShown_ = true;
    io_.err << caption << ": " << text << "\n";
}

void CliUnitSession::SetLabelComText(const std::string& text) { io_.err << text << "\n"; }

void CliUnitSession::FeedRecorder(const uint8_t*)
{
    if (onMonitor)
        onMonitor(monitor);
}

void CliUnitSession::CommandEnded(CommandKind kind, bool ok, const ParamImage* unit)
{
    if (onCommandEnded)
        onCommandEnded(kind, ok, unit);
}

void CliUnitSession::ShowLabel(int slot, const std::string& text, uint32_t, uint32_t backColour)
{
    shown_[static_cast<size_t>(slot & 3)] = true;
    if (slot == RESULT_SLOT) {
        if (backColour != COLOUR_UNCHANGED) {
            if (text != resultText_)
                lastPrintedPercent_ = -100;
            resultText_ = text;
            resultFailed_ = backColour == RED;
            // A failure ends the step's job: the bytes it read are still in the job area.
            if (resultFailed_)
                KeepVerifyRead();
        }
        return;
    }
    io_.err << text << "\n";
}
