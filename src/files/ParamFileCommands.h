#pragma once

#include "files/IgnMessageSink.h"
#include "files/IgnOpen.h"
#include "files/IgnReader.h"
#include "files/IgnUnitInfo.h"
#include "files/ParamFileState.h"
#include "model/ImageValidation.h"

// The file work of New, Open (and its history and drop variants) and Save, without dialogs
// or widgets. The window asks its questions, runs its dialogs, applies the active page before,
// and refreshes its pages, the caption and the history menu after each call.
class ParamFileCommands {
public:
    ParamFileCommands(
        ParamImage& image, ParamFileState& state, IgnMessageSink sink, OutsideSettings* outside = nullptr);

    IgnReader& reader() { return reader_; }

    // New after the user said Yes: defaults for all pages (PAGE_ALL) or the active page, no
    // current file, an empty head of the history.
    void New(int page);

    // OpenParameterFile: a file that cannot be read shows the open-file error and leaves the
    // history; otherwise the two-pass open, and for an accepted file the new-installation flag
    // is cleared and the path becomes the current file, the dialogs' folder and the history's
    // head. The window takes an undo snapshot and commits when the result is accepted.
    IgnOpenResult OpenParameterFile(int page, const QString& path);

    // Save to path: validates and writes the image; a file that cannot be written shows the
    // open-file error and changes nothing else.
    bool Save(const QString& path, const IgnUnitInfo& unit);

private:
    void TakeSavedImage();

    ParamImage& image_;
    ParamFileState& state_;
    IgnMessageSink sink_;
    OutsideSettings* outside_;
    IgnReader reader_;
};
