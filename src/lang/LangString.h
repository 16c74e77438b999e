#pragma once

#include <functional>
#include <string>

// A LangString holds every language of one text: "###English##German##Czech".
// A text that does not begin with "#" is an ordinary text and is shown as it is.

enum Language : int { LANG_ENGLISH = 0, LANG_GERMAN = 1, LANG_CZECH = 2, LANG_COUNT = 3 };

// The program-wide language index (0 English, 1 German, 2 Czech).
extern int LanguageIndex;

// The variant of text for language (-1: the current one; outside 0..2 counts as 0).
// Malformed texts are reported through the report sink and returned raw. The returned
// pointer stays valid for the whole run.
const char* LangText(const char* text, int language = -1);
std::string LangText(const std::string& text, int language = -1);

// Where LangText reports malformed texts; the window shows a message box titled "Error".
// Without a sink the report goes to stderr.
using LangReportSink = std::function<void(const std::string&)>;
void SetLangReportSink(LangReportSink sink);
