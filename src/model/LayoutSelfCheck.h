#pragma once

#include <functional>
#include <string>
#include <vector>

// The start-up check that the image and monitor layouts fit their blocks. Each failed check
// produces one message (text followed by the slack); this layout produces none.
std::vector<std::string> LayoutSelfCheck();

// Runs the check and hands every message to show (the window shows a message box).
void LayoutSelfCheck(const std::function<void(const std::string&)>& show);
