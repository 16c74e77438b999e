#pragma once

#include <QString>
#include <QStringList>

// The list of recent parameter files: at most ten entries, entry 0 the current file (empty
// after New), entries 1..9 shown in the File menu with the captions "%i %s".
class FileHistory {
public:
    static constexpr int MAX_ENTRIES = 10;
    static constexpr int MAX_CAPTION = 128;

    FileHistory() = default;
    // Takes at most MAX_ENTRIES entries as the settings store read them.
    explicit FileHistory(const QStringList& entries);

    // Puts name at the head: a known name moves up, a new one pushes the others down (the
    // tenth falls off). A non-empty name first removes every empty entry.
    void PutAtHead(const QString& name);
    // Removes a path that could not be opened.
    void Remove(const QString& path);

    int count() const { return static_cast<int>(entries_.size()); }
    const QStringList& entries() const { return entries_; }
    QString entry(int i) const { return i >= 0 && i < count() ? entries_[i] : QString(); }

    // "%i %s" with the file name of entry i without folder and last extension.
    QString Caption(int i) const;
    static QString Caption(int index, const QString& path);

    // Menu item k (1..9) is visible while k < count; the separator after them while count > 1.
    bool menuItemVisible(int k) const { return k >= 1 && k < count(); }
    bool separatorVisible() const { return count() > 1; }

private:
    QStringList entries_;
};
