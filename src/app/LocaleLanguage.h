#pragma once

#include <QProcessEnvironment>
#include <QString>

// The language a first start shows, before any is saved or named on the command line: the one
// of the desktop's locale.
class LocaleLanguage {
public:
    // The language index of a locale name: "de_AT.UTF-8" German, "cs_CZ" Czech, anything else English.
    static int FromLocaleName(const QString& name);
    // The locale that names the messages' language: LC_ALL, else LC_MESSAGES, else LANG (the first
    // one set), as the C library reads them.
    static int FromEnvironment(const QProcessEnvironment& env);
    // This program's locale (on Windows the system's).
    static int System();
};
