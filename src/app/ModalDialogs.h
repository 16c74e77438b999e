#pragma once

// Ends every dialog and message box the program shows. A dialog runs an event loop of its own
// and keeps the program alive while it is open, so a signal that ends the program closes them
// first; each then returns as if cancelled.
void CloseModalDialogs();
