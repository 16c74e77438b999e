#pragma once

#include <string>

// Messages of the parameter-file commands. They are the runtime texts 32, 34 and 35 of the
// window's text table; until that table serves them they are resolved here through LangText.
enum class FileMessage { OpenFileError, OlderVersion, UnmatchedVersion };

// The LangString of a message (all three languages).
const char* FileMessageLangString(FileMessage message);

// The message in the current language.
std::string FileMessageText(FileMessage message);
