#include "app/ReplayGuard.h"

#include "app/EditCycle.h"
#include "app/MonitorHost.h"
#include "app/WindowUndo.h"
#include "files/ParamFileState.h"
#include "link/ConnectionManager.h"

ReplayGuard::ReplayGuard(EditCycle& edits, MonitorHost& host) : edits_(edits), host_(host) {}

ReplayGuard::~ReplayGuard() = default;

void ReplayGuard::Begin()
{
    if (aside_)
        return;
    edits_.FocusProgramAfterChange();
    edits_.CommitPendingEdit();
    const ConnectionManager& link = host_.Connection();
    const ParamFileState& files = host_.FileState();
    aside_ = std::make_unique<Aside>(Aside { edits_.Image(), link.unitMirror, link.unitMirrorValid,
        host_.ConnectedPort(), link.changedMap, host_.UndoSide().Ring(), files.currentFile, files.savedImage,
        files.unchanged, host_.ShownPages() });
    replayedMirror_.reset();
    edits_.UpdateCaption();
}

void ReplayGuard::End()
{
    if (!aside_)
        return;
    const std::unique_ptr<Aside> aside = std::move(aside_);
    edits_.Image() = aside->image;
    PutBackMirror(*aside);
    host_.Connection().changedMap = aside->changedMap;
    host_.UndoSide().PutBack(aside->undo);
    ParamFileState& files = host_.FileState();
    files.currentFile = aside->currentFile;
    files.savedImage = aside->savedImage;
    files.unchanged = aside->unchanged;
    host_.ShowPages(aside->pages);
    edits_.ImageReplaced();
    host_.Connection().CompareWithUnit();
    edits_.UpdateCaption();
}

const ParamImage* ReplayGuard::UserImage() const { return aside_ ? &aside_->image : nullptr; }

void ReplayGuard::PutBackMirror(const Aside& aside)
{
    ConnectionManager& link = host_.Connection();
    const bool stillReplayed = replayedMirror_ && link.unitMirrorValid && link.unitMirror == *replayedMirror_
        && host_.ConnectedPort() == aside.connectedPort;
    if (stillReplayed) {
        link.unitMirror = aside.unitMirror;
        link.unitMirrorValid = aside.unitMirrorValid;
    }
    replayedMirror_.reset();
}
