#pragma once

#include <QString>

class QFileDialog;
class QWidget;

// The Open and Save dialog of monitor recordings, shared by the player and the log viewer: the
// file type in the user's language, the extension added to a name typed without it, and the
// folder of the last recording to start in.
class LogFileDialog {
public:
    static void Prepare(QFileDialog& dialog, bool forSaving);
    // Asks for a recording, starting in folder (the user's documents while it is empty); a chosen
    // file makes its folder the one to start in next time. Empty when cancelled.
    static QString Choose(QWidget* parent, bool forSaving, QString& folder);
};
