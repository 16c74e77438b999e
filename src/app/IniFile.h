#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// A sectioned key file ("[SECTION]", "Key=Value") kept as 8-bit text. Keys are matched without
// regard to ASCII case, as the platform's profile functions do. Lines the program does not
// understand (comments, other sections) are kept, so saving changes only the keys it sets.
class IniFile {
public:
    static constexpr qint64 MAX_FILE_SIZE = 4 * 1024 * 1024;

    // Reads the file; a missing, unreadable or over-large file gives an empty one (false).
    bool Load(const QString& path);
    void Parse(const QByteArray& text);

    std::optional<QByteArray> Value(const QByteArray& section, const QByteArray& key) const;
    // The decimal integer of a key; a missing or malformed value gives fallback.
    int IntValue(const QByteArray& section, const QByteArray& key, int fallback) const;

    // Replaces the key's value in place or appends the key to its section (created when missing).
    void SetValue(const QByteArray& section, const QByteArray& key, const QByteArray& value);
    void SetInt(const QByteArray& section, const QByteArray& key, int value);
    void RemoveKey(const QByteArray& section, const QByteArray& key);

    // The text with CR LF line breaks.
    QByteArray Text() const;
    // Saves through a temporary file beside path; error receives the reason of a failure.
    bool Save(const QString& path, QString* error = nullptr) const;

private:
    struct Line {
        QByteArray section; // the section the line belongs to
        QByteArray key; // empty: a raw line (section header, comment, blank)
        QByteArray value;
        QByteArray raw;
    };

    std::vector<Line>::iterator Find(const QByteArray& section, const QByteArray& key);
    std::vector<Line>::const_iterator Find(const QByteArray& section, const QByteArray& key) const;

    std::vector<Line> lines_;
};
