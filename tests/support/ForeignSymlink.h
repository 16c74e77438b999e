#pragma once

#include "base/SymlinkGuard.h"

#include <QString>

#include <string>

#include <unistd.h>

// A symbolic link that belongs to another user, as one planted in a shared folder. Where the test
// may give the link away (as root) it does; otherwise the save's check is told the other owner.
class ForeignSymlink {
public:
    static constexpr unsigned OTHER_UID = 54321;

    ForeignSymlink(const std::string& target, const std::string& link)
        : link_(QString::fromStdString(link))
    {
        created_ = ::symlink(target.c_str(), link.c_str()) == 0;
        if (created_ && ::lchown(link.c_str(), OTHER_UID, OTHER_UID) != 0) {
            previous_ = SymlinkGuard::linkOwner;
            SymlinkGuard::linkOwner = [foreign = link_, previous = previous_](const QString& path) {
                return path == foreign ? OTHER_UID : previous(path);
            };
            faked_ = true;
        }
    }
    ~ForeignSymlink()
    {
        if (faked_)
            SymlinkGuard::linkOwner = previous_;
    }
    ForeignSymlink(const ForeignSymlink&) = delete;
    ForeignSymlink& operator=(const ForeignSymlink&) = delete;

    bool created() const { return created_; }
    // Whether the link really belongs to another user, so that a program started by the test sees it too.
    bool given() const { return created_ && !faked_; }

private:
    QString link_;
    std::function<unsigned(const QString&)> previous_;
    bool created_ = false;
    bool faked_ = false;
};
