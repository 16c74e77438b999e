#include "monitor/MonitorPlayer.h"

#include "base/AtomicFile.h"
#include "lang/LangString.h"
#include "model/ImageLayout.h"

#include <QFile>

#include <cstdio>
#include <ctime>

using namespace ignlog;

namespace {

// How often a running recording is saved: what a full disk or a crash can cost.
constexpr int64_t SAVE_INTERVAL_MS = 2000;

// The player's position line; the panel shows it anew every tick, so it follows a change of language.
constexpr const char* RECORDING_TEXT = "###Recording (%i) %i seconds##Aufnahme (%i) %i Sekunden##Záznam (%i) %i s";
constexpr const char* RECORDING_PAUSED_TEXT = "###Recording (%i) - pause##Aufnahme (%i) - Pause##Záznam (%i) - pauza";
constexpr const char* PLAYING_TEXT = "###Play (%i) %s##Wiedergabe (%i) %s##Přehrávání (%i) %s";
constexpr const char* PLAYING_PAUSED_TEXT
    = "###Play (%i) - pause %s##Wiedergabe (%i) - Pause %s##Přehrávání (%i) - pauza %s";

constexpr const char* kLogFull = "###The recording was ended because the monitor log is full.##"
                                 "Die Aufzeichnung wurde beendet, weil das Monitorprotokoll voll ist.##"
                                 "Záznam byl ukončen, protože záznam monitoru je plný.";
constexpr const char* kWriteFailed = "###The monitor log could not be written.##"
                                     "Das Monitorprotokoll konnte nicht geschrieben werden.##"
                                     "Záznam monitoru nelze zapsat.";

std::string formatWallTime(int64_t seconds, int millis)
{
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm local{};
    localtime_r(&t, &local);
    char buf[48];
    std::snprintf(buf, sizeof buf, "%04i_%02i_%02i %02i:%02i:%02i.%02i", local.tm_year + 1900, local.tm_mon + 1,
        local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, millis / 10);
    return buf;
}

} // namespace

MonitorPlayer::MonitorPlayer(Hooks hooks) : hooks_(std::move(hooks)) {}

// The owner that would take back its settings goes with the player.
MonitorPlayer::~MonitorPlayer()
{
    hooks_.replayEnded = nullptr;
    Stop();
}

const char* MonitorPlayer::DamagedText()
{
    return IgnlogFile::DamagedText();
}

void MonitorPlayer::Report(const char* langText, const std::string& caption)
{
    if (hooks_.message)
        hooks_.message(LangText(langText), caption);
}

bool MonitorPlayer::StartRecording(const std::string& path, const RecordingInfo& info)
{
    if (state_ != Idle)
        return false;
    fileName_ = path;
    pos_ = len_ = 0;
    replayedTime_.clear();
    log_.header.assign(MAX_HEADER, 0);
    log_.area.assign(MAX_AREA, 0);
    havePages_ = false;
    uint8_t* h = log_.header.data();
    put16(h + H_LENGTH, HEADER_BASE);
    put32(h + H_START_TIME, static_cast<uint32_t>(hooks_.wallSeconds()));
    recordingStart_ = now();
    lastSaveMs_ = recordingStart_;
    put32(h + H_OS_MAJOR, static_cast<uint32_t>(info.osMajor));
    put32(h + H_OS_MINOR, static_cast<uint32_t>(info.osMinor));
    put32(h + H_OS_BUILD, static_cast<uint32_t>(info.osBuild));
    put32(h + H_OS_PLATFORM, static_cast<uint32_t>(info.osPlatform));
    for (size_t m = 0; m < info.monitors.size() && m < 4; ++m) {
        const auto& mon = info.monitors[m];
        uint8_t* p = h + H_MONITORS + 8 * m;
        put16(p, static_cast<uint32_t>(mon.left));
        put16(p + 2, static_cast<uint32_t>(mon.width));
        put16(p + 4, static_cast<uint32_t>(mon.top));
        put16(p + 6, static_cast<uint32_t>(mon.height));
    }
    put32(h + H_LAYOUT, static_cast<uint32_t>(info.layoutValue));
    put16(h + H_RS_KEY, PROGRAM_KEY);
    std::snprintf(reinterpret_cast<char*>(h + H_IDENT), IDENT_SIZE, "%s   RSKEY=%i.%02i   COMPILE=%s", PRODUCT_WORD,
        PROGRAM_KEY, PROGRAM_SUBVERSION, info.compileDate.c_str());
    writePos_ = 0;

    state_ = Recording;
    LogUnit();
    if (hooks_.image)
        LogImage(hooks_.image());
    LogMirror();
    if (hooks_.pages)
        LogPages(hooks_.pages());
    if (state_ == Recording)
        put16(h + H_SNAPSHOT_COUNT, static_cast<uint32_t>(log_.totalCount()));
    // A file that cannot be written is refused at once rather than after the ride.
    if (!SaveRecording()) {
        FreeBuffers();
        state_ = Idle;
        return false;
    }
    return true;
}

bool MonitorPlayer::SaveRecording()
{
    lastSaveMs_ = now();
    const std::vector<uint8_t> bytes = log_.serialize();
    return SaveFileAtomically(QString::fromStdString(fileName_),
        QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
}

void MonitorPlayer::ResumeRecording()
{
    if (state_ != RecordingPaused)
        return;
    recordingStart_ += now() - pauseTime_;
    state_ = Recording;
}

void MonitorPlayer::Pause()
{
    if (state_ == Recording)
        state_ = RecordingPaused;
    else if (state_ == Playing)
        state_ = PlayingPaused;
    else
        return;
    pauseTime_ = now();
}

bool MonitorPlayer::Stop()
{
    bool ok = true;
    if ((state_ == Recording || state_ == RecordingPaused) && !log_.header.empty()) {
        ok = SaveRecording();
        if (!ok)
            Report(kWriteFailed, "Error");
    }
    const bool wasReplaying = replaying();
    FreeBuffers();
    state_ = Idle;
    if (wasReplaying && hooks_.replayEnded)
        hooks_.replayEnded();
    return ok;
}

void MonitorPlayer::FreeBuffers()
{
    log_.header.clear();
    log_.header.shrink_to_fit();
    log_.area.clear();
    log_.area.shrink_to_fit();
}

bool MonitorPlayer::StartPlaying(const std::string& path)
{
    if (state_ != Idle)
        return false;
    const std::string error = log_.Load(path);
    if (!error.empty()) {
        Report(error.c_str(), "Error");
        FreeBuffers();
        return false;
    }
    fileName_ = path;
    pos_ = 0;
    len_ = log_.totalCount() - log_.snapshotCount() + 1;
    replayedTime_.clear();
    stepClock_ = now();
    // Playing before the snapshot goes in, so that everything it replaces is known to be replayed.
    state_ = Playing;
    if (hooks_.replayStarted)
        hooks_.replayStarted();
    for (int i = 0; i < log_.snapshotCount(); ++i)
        ReplayLogRecord(i);
    return true;
}

void MonitorPlayer::ResumePlaying()
{
    if (state_ != PlayingPaused)
        return;
    if (log_.snapshotCount() + pos_ == log_.totalCount()) {
        replayedTime_.clear();
        stepClock_ = now();
        pos_ = 0;
    } else {
        stepClock_ += now() - pauseTime_;
    }
    state_ = Playing;
}

void MonitorPlayer::PlaybackTick()
{
    if (state_ != Playing)
        return;
    const int total = log_.totalCount();
    const int k = log_.snapshotCount() + pos_ - 1;
    const int64_t c = k >= 0 && k < total ? log_.recordTime(k) : 0;
    const int64_t elapsed = now() - stepClock_;
    int j = k;
    for (int i = std::max(k, 0); i < total; ++i)
        if (static_cast<int64_t>(log_.recordTime(i)) - c <= elapsed)
            j = i;
    if (j > k) {
        for (int i = k + 1; i <= j; ++i)
            ReplayLogRecord(i);
        pos_ = j - log_.snapshotCount() + 1;
        stepClock_ = now();
    }
    if (log_.snapshotCount() + pos_ - 1 >= total - 1) {
        state_ = PlayingPaused;
        pauseTime_ = now();
    }
}

void MonitorPlayer::SetPosition(int pos)
{
    if (!replaying() || pos < 0 || pos >= len_)
        return;
    pos_ = pos;
    if (pos == 0) {
        for (int i = 0; i < log_.snapshotCount(); ++i)
            ReplayLogRecord(i);
    } else {
        ReplayLogRecord(log_.snapshotCount() + pos - 1);
    }
}

void MonitorPlayer::ReplayLogRecord(int index)
{
    if (index < 0 || index >= log_.totalCount())
        return;
    const uint8_t* r = log_.record(index);
    const uint32_t t = get32(r + R_TIME);
    replayedTime_ = formatWallTime(static_cast<int64_t>(log_.startTime()) + t / 1000, static_cast<int>(t % 1000));
    const uint8_t* payload = r + R_PAYLOAD;
    switch (r[R_TYPE]) {
    case REC_IMAGE:
    case REC_MIRROR: {
        ParamImage img;
        std::copy_n(payload, RS_LEN_EXE, img.data());
        const auto& sink = r[R_TYPE] == REC_IMAGE ? hooks_.replayImage : hooks_.replayMirror;
        if (sink)
            sink(img);
        break;
    }
    case REC_MONITOR:
        if (hooks_.replayMonitor)
            hooks_.replayMonitor(payload);
        break;
    case REC_PAGES:
        if (hooks_.replayPages) {
            PageRecord p;
            p.page = payload[0];
            std::copy_n(payload + 4, MAX_MAPS, p.editorIds.begin());
            std::copy_n(payload + 4 + MAX_MAPS, MAX_MAPS, p.maps.begin());
            hooks_.replayPages(p);
        }
        break;
    default:
        break;
    }
}

bool MonitorPlayer::RoomFor(int length)
{
    if (log_.totalCount() < MAX_RECORDS && writePos_ <= MAX_OFFSET && writePos_ + length <= MAX_AREA)
        return true;
    // The offsets of the format are signed 16-bit: end the recording cleanly rather than write
    // offsets the player could not follow.
    Stop();
    Report(kLogFull);
    return false;
}

uint8_t* MonitorPlayer::BeginRecord(int type)
{
    const int length = recordLength(type);
    if (state_ != Recording || log_.area.empty() || !RoomFor(length))
        return nullptr;
    uint8_t* r = &log_.area[static_cast<size_t>(writePos_)];
    std::fill_n(r, length, uint8_t{0});
    put16(r + R_LENGTH, static_cast<uint32_t>(length));
    r[R_TYPE] = static_cast<uint8_t>(type);
    put32(r + R_TIME, static_cast<uint32_t>(now() - recordingStart_));
    return r;
}

void MonitorPlayer::AddLogRecord(int length)
{
    uint8_t* h = log_.header.data();
    const int count = log_.totalCount();
    put16(h + H_OFFSETS + 2 * count, static_cast<uint32_t>(writePos_));
    put16(h + H_LENGTH, static_cast<uint32_t>(get16(h + H_LENGTH) + 2));
    put16(h + H_TOTAL_COUNT, static_cast<uint32_t>(count + 1));
    writePos_ += length;
    put32(h + H_AREA_LENGTH, static_cast<uint32_t>(writePos_));
    len_ = pos_ = count + 1;
    if (now() - lastSaveMs_ >= SAVE_INTERVAL_MS && !SaveRecording()) {
        // The file keeps the recording as last saved; nothing more is taken that could not be kept.
        FreeBuffers();
        state_ = Idle;
        Report(kWriteFailed, "Error");
    }
}

void MonitorPlayer::LogUnit()
{
    if (uint8_t* r = BeginRecord(REC_UNIT)) {
        r[R_PAYLOAD] = static_cast<uint8_t>(hooks_.connectedPort ? hooks_.connectedPort() : 0);
        const std::string text = hooks_.unitPanelText ? hooks_.unitPanelText() : std::string();
        std::snprintf(reinterpret_cast<char*>(r + R_PAYLOAD + 1), 75, "%s", text.c_str());
        AddLogRecord(recordLength(REC_UNIT));
    }
}

void MonitorPlayer::LogImage(const ParamImage& image)
{
    if (uint8_t* r = BeginRecord(REC_IMAGE)) {
        std::copy_n(image.data(), RS_LEN_EXE, r + R_PAYLOAD);
        AddLogRecord(recordLength(REC_IMAGE));
    }
}

void MonitorPlayer::LogMirror()
{
    const ParamImage* mirror = hooks_.unitMirror ? hooks_.unitMirror() : nullptr;
    if (!mirror)
        return;
    if (uint8_t* r = BeginRecord(REC_MIRROR)) {
        std::copy_n(mirror->data(), RS_LEN_EXE, r + R_PAYLOAD);
        AddLogRecord(recordLength(REC_MIRROR));
    }
}

void MonitorPlayer::LogMonitor(const uint8_t* monitorBytes)
{
    if (uint8_t* r = BeginRecord(REC_MONITOR)) {
        std::copy_n(monitorBytes, 100, r + R_PAYLOAD);
        AddLogRecord(recordLength(REC_MONITOR));
    }
}

void MonitorPlayer::LogPages(const PageRecord& pages)
{
    if (state_ != Recording || (havePages_ && pages == lastPages_))
        return;
    if (uint8_t* r = BeginRecord(REC_PAGES)) {
        r[R_PAYLOAD] = pages.page;
        std::copy(pages.editorIds.begin(), pages.editorIds.end(), r + R_PAYLOAD + 4);
        std::copy(pages.maps.begin(), pages.maps.end(), r + R_PAYLOAD + 4 + MAX_MAPS);
        AddLogRecord(recordLength(REC_PAGES));
        lastPages_ = pages;
        havePages_ = true;
    }
}

PlayerDisplay MonitorPlayer::Display() const
{
    PlayerDisplay d;
    char buf[160] = "";
    switch (state_) {
    case Idle:
        return d;
    case Recording:
        // Pause is offered while recording: the pause the recorder knows how to take must be reachable.
        d.recordEnabled = d.playEnabled = false;
        d.pauseEnabled = true;
        d.stopEnabled = true;
        std::snprintf(
            buf, sizeof buf, LangText(RECORDING_TEXT), len_, static_cast<int>((now() - recordingStart_) / 1000));
        break;
    case RecordingPaused:
        d.playEnabled = d.pauseEnabled = false;
        d.recordEnabled = d.stopEnabled = true;
        std::snprintf(buf, sizeof buf, LangText(RECORDING_PAUSED_TEXT), len_);
        break;
    case Playing:
    case PlayingPaused:
        d.recordEnabled = false;
        d.playEnabled = state_ == PlayingPaused;
        d.pauseEnabled = state_ == Playing;
        d.stopEnabled = true;
        d.scrollVisible = d.deviceVisible = true;
        d.scrollMax = len_ - 1;
        d.scrollPos = pos_;
        std::snprintf(buf, sizeof buf, LangText(state_ == Playing ? PLAYING_TEXT : PLAYING_PAUSED_TEXT), pos_,
            replayedTime_.c_str());
        break;
    }
    d.labelsVisible = true;
    d.posText = buf;
    d.fileText = fileName_;
    return d;
}
