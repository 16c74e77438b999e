#pragma once

#include <QString>

#include <functional>

// Where a save may go when its target is a symbolic link. In a folder others may write to (a
// shared folder, the temporary folder), another user can plant a link under the name a save is
// about to use and so make the program overwrite a file of the saving user, or create one in a
// folder only that user may write to. A link is therefore followed only when it belongs to the
// user who saves or to the owner of the folder that holds it, in every folder and whatever the
// kernel's own rule says; the user's own links keep working.
class SymlinkGuard {
public:
    // The path a save to path writes: path itself when it is no link (or does not exist yet), else
    // the end of its chain of links, each link checked. False, with the reason, for a link of
    // another user or a chain that does not end.
    static bool Resolve(const QString& path, QString& target, QString* error = nullptr);

    // The owner of a link (from the file system); a test that cannot give a link to another user
    // names one here.
    static std::function<unsigned(const QString& link)> linkOwner;
};
