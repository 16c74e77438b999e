#include "mapedit/ui/MapEditor.h"

#include "monitor/IgnlogFile.h"

void MapEditor::ShowRecording(std::shared_ptr<const IgnlogFile> recording)
{
    if (recording == recording_)
        return;
    recording_ = std::move(recording);
    hits_.reset();
    RequestRepaint(REPAINT);
}

const MapHits* MapEditor::Hits()
{
    // Only maps the live operating point is marked on lie over the engine's speed and load.
    if (!recording_ || SheetCount() == 0 || !(Sheet().flags & SF_OPERATING_POINT)) {
        hits_.reset();
        return nullptr;
    }
    if (!hits_ || !hits_->CountedOn(Sheet()))
        hits_ = MapHits::Count(*recording_, Sheet());
    return &*hits_;
}
