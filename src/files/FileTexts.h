#pragma once

#include <string>

// Messages of the parameter-file commands: the runtime texts 32, 34 and 35.
enum class FileMessage { OpenFileError = 32, OlderVersion = 34, UnmatchedVersion = 35 };

// The message in the current language.
std::string FileMessageText(FileMessage message);
