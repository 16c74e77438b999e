#pragma once

// Qt's own texts (the buttons of message boxes, file dialogs, context menus of edit fields) follow
// the program's language: 0 English, 1 German, 2 Czech. Returns false when the translation of Qt
// for that language is not installed; Qt's texts then stay English.
bool ApplyQtTranslations(int language);
