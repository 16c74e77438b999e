#pragma once

#include "files/FileTexts.h"
#include "files/IgnMessageSink.h"
#include "model/LoadGroups.h"
#include "model/ParamImage.h"

#include <QByteArray>
#include <QString>

#include <bitset>
#include <string_view>

// The bytes of the image that the last read took from numbers in the file.
using IgnFileBytes = std::bitset<RS_LEN_EXE>;

// Outcome of reading a parameter file from disk.
enum class IgnLoadStatus { Loaded, CannotOpen, NotRegular, TooLarge, ReadError };

// The tolerant, positional reader of parameter files: it looks for known keys among the tokens
// of the text and takes the numbers each key needs from what follows. Versions 93 and 80 are
// accepted; 80 is converted on the way in. The reader keeps FileVersion and BikeRecordSeen
// between loads, as the Open command needs them.
class IgnReader {
public:
    static constexpr qint64 MAX_FILE_SIZE = 10 * 1024 * 1024;
    static constexpr int OLD_FILE_VERSION = 80;

    explicit IgnReader(ParamImage& image, IgnMessageSink sink = {});

    // Reads text (ending at its first NUL) into the image for the page selector (PAGE_ALL or
    // a page index). messages: whether the version messages may be shown.
    void ReadIgnText(int page, bool messages, std::string_view text);

    // Reads the whole file and passes it to ReadIgnText. Any failure leaves the image unchanged
    // and FileVersion as it was.
    IgnLoadStatus LoadIgnFile(const QString& path, int page, bool messages);

    // Reads a file of at most MAX_FILE_SIZE bytes into text.
    static IgnLoadStatus ReadFileText(const QString& path, QByteArray& text);

    int FileVersion() const { return fileVersion_; }
    bool BikeRecordSeen() const { return bikeRecordSeen_; }
    void ClearBikeRecordSeen() { bikeRecordSeen_ = false; }
    const LoadGroups& Groups() const { return groups_; }
    const IgnFileBytes& FileBytes() const { return fileBytes_; }
    ParamImage& Image() { return img_; }
    void SetMessageSink(IgnMessageSink sink) { sink_ = std::move(sink); }

private:
    void ConvertVersion80(bool messages);
    void Show(bool messages, FileMessage message);

    ParamImage& img_;
    IgnMessageSink sink_;
    int fileVersion_ = 0;
    bool bikeRecordSeen_ = false;
    LoadGroups groups_;
    IgnFileBytes fileBytes_;
};
