#pragma once

#include <QLocale>

// Qt's own texts (the buttons of message boxes, file dialogs, context menus of edit fields) follow
// the program's language: 0 English, 1 German, 2 Czech. Returns false when the translation of Qt
// for that language is not installed; Qt's texts then stay English. The default locale follows the
// language as well, so numbers are grouped as the language writes them (9,000 / 9.000 / 9 000).
bool ApplyQtTranslations(int language);

// The locale whose numbers the language's readers expect.
QLocale LanguageLocale(int language);
