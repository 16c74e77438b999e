#pragma once

#include "files/IgnMessageSink.h"
#include "model/ImageValidation.h"
#include "model/ParamImage.h"

#include <QString>

class EditCycle;
class MapEditorList;

// File > "Open reference..." and "Clear reference": a second configuration kept beside the
// screen's, for the map editors to compare against. It is read as File > Open reads a file (the
// same two passes from the screen's configuration, the same checks and messages), but into an
// image of its own: the screen's configuration, its undo ring and its modified state stay as
// they are.
class ReferenceFile {
public:
    ReferenceFile(EditCycle& edits, MapEditorList& editors, IgnMessageSink errorSink, OutsideSettings* outside);

    // Opens path as the reference; a file Open would refuse gives Open's message and keeps the
    // reference there was.
    bool Open(const QString& path);
    void Clear();

    bool Loaded() const { return !path_.isEmpty(); }
    const QString& Path() const { return path_; }
    // What the window's title adds: the reference's file name in the present language, empty
    // while there is none.
    QString Caption() const;

private:
    void Changed();

    EditCycle& edits_;
    MapEditorList& editors_;
    IgnMessageSink errorSink_;
    OutsideSettings* outside_;
    QString path_;
    ParamImage image_;
};
