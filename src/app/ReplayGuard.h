#pragma once

#include "model/ChangedMap.h"
#include "model/ParamImage.h"
#include "model/UndoRing.h"
#include "monitor/MonitorPlayer.h"

#include <QString>

#include <memory>
#include <optional>

class EditCycle;
class MonitorHost;

// A replayed recording shows the configuration it recorded. Meanwhile the user's own configuration,
// the unit's mirror, the undo history and the file the settings came from are kept aside, and Stop
// puts them back exactly: looking at a log never changes what the user set up, what Undo brings
// back, what the settings file keeps or what Program writes.
class ReplayGuard {
public:
    ReplayGuard(EditCycle& edits, MonitorHost& host);
    ~ReplayGuard();

    // The replay begins: an edit still waiting for its pause lands first, then everything is kept aside.
    void Begin();
    // The replay ended: the kept state comes back and every page shows it.
    void End();
    bool Active() const { return aside_ != nullptr; }
    // The user's configuration while a replay shows another one; nullptr otherwise.
    const ParamImage* UserImage() const;
    // The recording's unit mirror went into the link's mirror.
    void MirrorReplayed(const ParamImage& mirror) { replayedMirror_ = mirror; }

private:
    struct Aside {
        ParamImage image;
        ParamImage unitMirror;
        int32_t unitMirrorValid = 0;
        int connectedPort = 0;
        ChangedMap changedMap {};
        UndoRing undo;
        QString currentFile;
        ParamImage savedImage;
        bool unchanged = true;
        PageRecord pages;
    };
    // The unit's mirror comes back only while it still holds what the replay put there: a unit
    // that connected, was read or went away meanwhile leaves the link's own mirror in place.
    void PutBackMirror(const Aside& aside);

    EditCycle& edits_;
    MonitorHost& host_;
    std::unique_ptr<Aside> aside_;
    std::optional<ParamImage> replayedMirror_;
};
