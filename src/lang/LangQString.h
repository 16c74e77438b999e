#pragma once

#include "lang/LangString.h"

#include <QString>

// A language string ("###English##German##Czech") in the present language, as Qt text.
inline QString LangQString(const char* lang) { return QString::fromUtf8(LangText(lang)); }
