#pragma once

#include "files/IgnReader.h"
#include "model/ImageValidation.h"

#include <QString>

#include <string_view>

// Outcome of opening a parameter file.
struct IgnOpenResult {
    IgnLoadStatus status = IgnLoadStatus::CannotOpen;
    int fileVersion = 0;
    // Settings a current file holds that this file lacks or cuts short: they keep the defaults of
    // the file's bike (older files lack newer settings; a truncated file lacks its tail).
    int missingSettings = 0;

    // The file was read and its version accepted: the caller registers it (name, history).
    bool accepted() const { return status == IgnLoadStatus::Loaded && fileVersion != 0; }
};

// The two-pass open: a silent first pass finds the bike of the file; when the file has a BIKE
// record the fields of page (PAGE_ALL or the active page) are reset to that bike's defaults;
// the second pass, with messages, reads the file again over them; the image is then validated.
// The file is read from disk once, so both passes see the same text. On a read failure the
// image is left untouched.
IgnOpenResult OpenIgnTwoPass(IgnReader& reader, const QString& path, int page, OutsideSettings* outside = nullptr);

// How many settings a complete current file would set and these file bytes leave out.
int MissingSettings(const IgnFileBytes& fileBytes);

// The same over a text already in memory.
IgnOpenResult ReadIgnTwoPass(IgnReader& reader, std::string_view text, int page, OutsideSettings* outside = nullptr);
