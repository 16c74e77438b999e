#pragma once

#include <functional>
#include <string>

// Where the parameter-file code shows its messages (the window: a plain message box; the CLI:
// a line on stderr). The text is already in the current language.
using IgnMessageSink = std::function<void(const std::string& text)>;
